#!/usr/bin/env bash
# Velmora's two commands on a Debian 12 machine:
#   ./velmora.sh play [game options]   install what is missing, build, make the data folder, play
#   ./velmora.sh test                  the same set-up, then every test under a virtual display
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
BUILD=$ROOT/build

PACKAGES=(g++ cmake pkg-config ccache libsdl2-dev libsdl2-mixer-dev libgl-dev libopengl-dev libegl-dev
  libgl1-mesa-dri libegl-mesa0 libgtk-3-dev libfreetype-dev libjpeg62-turbo-dev zlib1g-dev
  fonts-dejavu-core libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth libcairo2-dev libvorbis-dev
  desktop-file-utils appstream man-db groff-base dpkg-dev file)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  cmake --preset release >/dev/null
  cmake --build --preset release
}

case "${1:-}" in
  play)
    shift
    install_missing
    build
    cd "$BUILD/data"
    exec "$BUILD/velmora" "$@"
    ;;
  test)
    install_missing
    build
    export SDL_AUDIODRIVER=dummy
    # The game follows the desktop's language; tests expect the data folder's default one.
    export LANG=C.UTF-8
    unset LANGUAGE LC_ALL LC_MESSAGES
    export LIBGL_ALWAYS_SOFTWARE=1
    cd "$BUILD"
    xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j2 --timeout 900
    ;;
  *)
    echo "usage: $0 play [options] | test" >&2
    exit 2
    ;;
esac
