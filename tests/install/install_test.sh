#!/usr/bin/env bash
# Installs the game into a temporary DESTDIR and checks it as a desktop and a player would:
# the installed file list, the launcher entry, the AppStream data and the manual page through the
# desktop's own validators; then the installed binary plays the first level with a temporary home.
# The player's files must appear in the XDG folders, and not one file of the installed data folder
# may be created or changed (compared by size and time: the tests run as root, so permissions
# prove nothing). Last, a save that hits a file-size limit is told once and the old Game.dat stays.
#   install_test.sh CMAKE BUILD_DIR SOURCE_DIR APP_ID BINDIR DATADIR
set -euo pipefail
CMAKE=$1 BUILD=$2 SOURCE=$3 APP_ID=$4 BINDIR=$5 DATADIR=$6

WORK=$(mktemp -d /tmp/velmora_install_XXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in desktop-file-validate appstreamcli man; do
  command -v "$tool" >/dev/null || fail "$tool is missing (the README's test command installs it)"
done

# ---- install ------------------------------------------------------------------------------------
ROOT=$WORK/root
PREFIX=$ROOT/usr
DESTDIR=$ROOT "$CMAKE" --install "$BUILD" --prefix /usr >"$WORK/install.log" 2>&1 ||
  { cat "$WORK/install.log"; fail "cmake --install"; }
DATA=$PREFIX/$DATADIR

expected=("$BINDIR/velmora" "share/applications/$APP_ID.desktop" "share/metainfo/$APP_ID.metainfo.xml"
  "share/man/man6/velmora.6" "share/icons/hicolor/scalable/apps/$APP_ID.svg")
for size in 16 22 24 32 48 64 128 256 512; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$APP_ID.png")
done
listed=$(cd "$PREFIX" && find . -type f -not -path "./$DATADIR/*" | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$listed" = "$wanted" ] || fail "installed files outside the data folder differ:
$(diff <(echo "$wanted") <(echo "$listed"))"
for f in Levels/Countries.txt Texts/TextResourses.txt Textures/tga2jpgANDmask.txt Textures/Chips.tga; do
  [ -f "$DATA/$f" ] || fail "the data folder has no $f"
done
for f in Options.txt Error.log PlayerData/Game.dat Textures/Glares1.tga Textures/Arts/Greece/Body.tga; do
  [ ! -e "$DATA/$f" ] || fail "the data folder ships $f, which a run makes"
done
# Each PNG is as large as its folder says (width and height in the IHDR chunk).
for size in 16 22 24 32 48 64 128 256 512; do
  dims=$(od -An -t u1 -j 16 -N 8 "$PREFIX/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png" | xargs)
  [ "$dims" = "0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] ||
    fail "icon ${size}x${size} has the header bytes $dims"
done

# ---- the desktop's validators -------------------------------------------------------------------
out=$(desktop-file-validate "$PREFIX/share/applications/$APP_ID.desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$PREFIX/share/metainfo/$APP_ID.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate: $out"
! grep -E '^[EW]:' <<<"$out" || fail "appstreamcli validate: $out"
err=$(MANWIDTH=80 man --warnings -l "$PREFIX/share/man/man6/velmora.6" 2>&1 >/dev/null)
[ -z "$err" ] || fail "man --warnings: $err"
page=$(MANWIDTH=200 man -l "$PREFIX/share/man/man6/velmora.6" 2>/dev/null)
for option in $(grep -oE '^\| `--[a-z-]+' "$SOURCE/README.md" | sed 's/^| `//'); do
  grep -qe "$option" <<<"$page" || fail "the manual page does not list $option of the README"
done

# ---- the installed binary with a temporary home -------------------------------------------------
HOMEDIR=$WORK/home
mkdir -p "$HOMEDIR" "$WORK/cwd"
listing() { find "$1" -printf '%P %y %s %T@\n' | sort; }
listing "$DATA" >"$WORK/data.before"
game() {
  (cd "$WORK/cwd" && env -u VELMORA_DATA HOME="$HOMEDIR" XDG_CONFIG_HOME="$HOMEDIR/config" \
    XDG_DATA_HOME="$HOMEDIR/data" XDG_STATE_HOME="$HOMEDIR/state" XDG_CACHE_HOME="$HOMEDIR/cache" \
    SDL_AUDIODRIVER=dummy VELMORA_MSGBOX_ANSWER=1 timeout 600 "$PREFIX/$BINDIR/velmora" \
    --windowed --fixed-step --draw-shots-only "$@")
}
# Lines of the log that report a failure.
failures() { grep -iE 'error|fail|not exist|can.t|cannot|not found|invalid' "$1" | grep -v 'succeeded' || true; }

# A new player from the first start to the map after level 1, as the campaign test plays it.
game --seed 5 --autoplay --settings-ok --frames 30000 --screens "$WORK/screens" --quit-after-screens 12 \
  >"$WORK/run1.out" 2>&1 || { cat "$WORK/run1.out"; fail "the first run did not end cleanly"; }
[ -f "$WORK/screens/09_TW_Game.png" ] && [ -f "$WORK/screens/12_TW_MenuMap.png" ] ||
  fail "the bot did not play level 1 through: $(ls "$WORK/screens")"
LOG=$HOMEDIR/state/velmora/Error.log
GAMEDAT=$HOMEDIR/data/velmora/PlayerData/Game.dat
CACHE=$HOMEDIR/cache/velmora
[ -f "$HOMEDIR/config/velmora/Options.txt" ] || fail "no Options.txt in \$XDG_CONFIG_HOME/velmora"
[ -f "$LOG" ] || fail "no Error.log in \$XDG_STATE_HOME/velmora"
[ "$(stat -c %s "$GAMEDAT")" = 100032 ] || fail "no Game.dat in \$XDG_DATA_HOME/velmora/PlayerData"
level=$(od -An -t d4 -j 36 -N 4 "$GAMEDAT" | xargs)
[ "$level" = 2 ] || fail "the saved player is at level $level, not 2"
for f in Textures/Glares1.tga Textures/Glares2.tga Textures/ResCreator/Background.tga \
  Textures/Arts/Greece/Body.tga Textures/Arts/Greece/001/Slice.tga Textures/Arts/Greece/001/Glow.tga; do
  [ -f "$CACHE/$f" ] || fail "the derived picture $f is not in \$XDG_CACHE_HOME/velmora"
done
grep -q "^Project: installed data '$DATA'" "$LOG" || fail "the log does not name the installed data folder"
[ -z "$(failures "$LOG")" ] || fail "the log reports failures:
$(failures "$LOG")"
[ -z "$(ls -A "$WORK/cwd")" ] || fail "the run wrote into its current folder: $(ls -A "$WORK/cwd")"
listing "$DATA" >"$WORK/data.after"
diff "$WORK/data.before" "$WORK/data.after" >&2 || fail "the installed data folder changed"

# A second start reads the player's files first: the derived pictures are not made again and
# the options come from the player's folder (the first start wrote them after its log began).
listing "$CACHE" | grep -v '!!!.tga' >"$WORK/cache.before"
game --seed 1 --frames 200 >"$WORK/run2.out" 2>&1 || { cat "$WORK/run2.out"; fail "the second run"; }
listing "$CACHE" | grep -v '!!!.tga' >"$WORK/cache.after"
diff "$WORK/cache.before" "$WORK/cache.after" >&2 || fail "the second run made derived pictures again"
[ "$(grep -c 'Options.txt------' "$LOG")" = 1 ] || fail "the second run did not read the player's Options.txt"

# A save that hits the file-size limit (64 KiB, below Game.dat's size): logged with file and reason,
# told once, the old file kept.
# The player is renamed "Kept" first: a new player of the bot's would be "Bot".
printf '\004Kept' | dd of="$GAMEDAT" bs=1 seek=24 conv=notrunc status=none
cp "$GAMEDAT" "$WORK/Game.dat.kept"
(ulimit -f 64 && game --seed 3 --autoplay --frames 2500 >"$WORK/run3.out" 2>&1) ||
  { cat "$WORK/run3.out"; fail "the run with a file-size limit did not end cleanly"; }
grep -q "^uGameDat.SaveGameDat: Cann't save data to \"$GAMEDAT\": File too large" "$LOG" ||
  fail "the failed save is not logged with its file and reason"
boxes=$(grep -c '^MessageBox "Velmora": Your progress could not be saved' "$WORK/run3.out" || true)
[ "$boxes" = 1 ] || fail "the player was told $boxes times, not once"
cmp -s "$GAMEDAT" "$WORK/Game.dat.kept" || fail "the old Game.dat changed"
# Without the limit the old file loads: the bot plays on as "Kept" from level 2, and this time the
# save succeeds.
game --seed 3 --autoplay --frames 2500 >"$WORK/run4.out" 2>&1 || { cat "$WORK/run4.out"; fail "the fourth run"; }
cmp -s "$GAMEDAT" "$WORK/Game.dat.kept" && fail "the run after the limit saved nothing"
[ "$(od -An -t d4 -j 16 -N 4 "$GAMEDAT" | xargs)" = 1 ] || fail "the player count changed"
[ "$(dd if="$GAMEDAT" bs=1 skip=24 count=5 status=none)" = $'\004Kept' ] || fail "the old player is gone"
level=$(od -An -t d4 -j 36 -N 4 "$GAMEDAT" | xargs)
[ "$level" -ge 2 ] || fail "after the failed save the player is at level $level, not 2 or more"
listing "$DATA" >"$WORK/data.after"
diff "$WORK/data.before" "$WORK/data.after" >&2 || fail "the installed data folder changed"
echo "installed, validated, played: the player's files are in the XDG folders, the data folder is untouched"
