// The resource creator: four tasks tried in order each frame; the first that does work ends the
// frame, and when none has work left the window closes and the logo follows.
#include "startup/w_rescreator.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "app/log.h"
#include "app/options.h"
#include "app/textfile.h"
#include "board/countries.h"
#include "board/gamevis.h"
#include "engine/group.h"
#include "platform/files.h"
#include "render/blocks.h"
#include "render/tex.h"
#include "render/tga.h"

namespace velmora {

namespace {

constexpr int32_t cBarLeft = 194, cBarTop = 524, cBarWidth = 416, cBarHeight = 14;
constexpr int32_t cGlareCell = 40, cGlareCells = 6, cGlareSheet = 256;
constexpr int32_t cChipRowWidth = cGlareCell * cGlareCells;
// The game ships a few dozen pictures to unpack; a list far longer is damaged.
constexpr size_t cMaxUnpackListLines = 256;

std::string InTextures(const std::string& rel) {
    return Paths.Textures + "\\" + rel;
}

std::string ArtFolderOf(int32_t country) {
    return Paths.Textures + "\\Arts\\" + Countries.CountryNames[country];
}

std::string WithExtension(const std::string& name, const std::string& ext) {
    const size_t slash = name.find_last_of("\\/");
    const size_t dot = name.find_last_of('.');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExt ? name.substr(0, dot) : name) + ext;
}

// A list name stays inside the textures folder: no root, no drive, no step up.
bool InsideTextures(const std::string& name) {
    if (name.empty() || name[0] == '\\' || name[0] == '/' || name.find(':') != std::string::npos)
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        const size_t end = std::min(name.find_first_of("\\/", start), name.size());
        if (name.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

std::string FirstWord(const std::string& text) {
    const size_t end = text.find_first_of(" \t");
    return end == std::string::npos ? text : text.substr(0, end);
}

// Where the chip sheet has a pixel, the glare is white with the mask's transparency.
void WhitenByMask(TTgaImage& sheet, const TTgaImage& mask) {
    for (int32_t y = 0; y < sheet.Height(); ++y)
        for (int32_t x = 0; x < sheet.Width(); ++x) {
            uint32_t& p = sheet.At(x, y);
            p = (p >> 24) != 0 ? (mask.At(x, y) & 0xFF000000u) | 0x00FFFFFFu : 0;
        }
}

// One chip row of the chip sheet repeated in every row of the glare sheet.
bool WriteGlareSheet(const TTgaImage& chips, const TTgaImage& mask, int32_t chipRow,
                     const std::string& file) {
    TTgaImage sheet;
    if (!NewTgaImage(sheet, cGlareSheet, cGlareSheet)) return false;
    FillTgaImage(sheet, 0);
    for (int32_t i = 0; i < cGlareCells; ++i)
        ComposeTgaRect(chips, sheet, 0, cGlareCell * i, 0, cGlareCell * chipRow, cChipRowWidth, cGlareCell);
    WhitenByMask(sheet, mask);
    if (FileExists(file)) DeleteFile(file);
    return SaveTgaImage(file, sheet, 1);
}

} // namespace

TW_ResCreator::TW_ResCreator() {
    const std::string back = InTextures("ResCreator\\Background.tga");
    if (!FileExists(back)) JpgToTga(InTextures("ResCreator\\Background.jpg"), back);
    Background = Add(new TTexRect256(0, 0, back, false, 128));
    Background->Block1 = sbTexture;
    ProgressBar = Add(new TTexRect());
    ProgressBar->TexId = tiResCreatorBack;
    ProgressBar->Block1 = sbTexAlpha;
    ShowProgress(Progress);
    SetStateInfo(1, &TW_ResCreator::OnWorking, cInfinitePeriod);
    SetStateInfo(2, &TW_ResCreator::OnDone, cInfinitePeriod);
    if (!ReadCountries())
        ReportOnce("TW_ResCreator.Create: the country table cannot be read; no artefact is made");
    SetState(1);
}

void TW_ResCreator::ReportOnce(const std::string& text) {
    if (Reported.insert(text).second) Report(text);
}

void TW_ResCreator::OnWorking(TStateEvent e) {
    if (e == seRunning) {
        if (!UnpackNextPicture() && !MakeGlareSheets() && !MakeArtefactBodies() && !MakeNextSlice())
            SetState(2);
    } else if (e == seFinish) {
        Progress = 1;
        ShowProgress(Progress);
        Dead = true;
        if (RootGroup) RootGroup->NextWindow = 10;
    }
}

void TW_ResCreator::OnDone(TStateEvent) {}

std::vector<std::string> ReadUnpackList(const std::string& list,
                                        const std::function<void(const std::string&)>& report) {
    std::vector<std::string> names;
    std::vector<std::string> raw;
    if (!FileExists(list) || !ReadTextLines(ResolvePath(list), raw)) {
        report("TW_ResCreator.UnpackNextPicture: file '" + list + "' doesn't exist; nothing is unpacked");
        return names;
    }
    CapDataLines(raw, cMaxUnpackListLines, "TW_ResCreator.UnpackNextPicture", list);
    for (size_t i = 0; i < raw.size(); ++i) {
        if (IsCommentLine(raw[i])) continue;
        const std::string name = FirstWord(SplitDataLine(raw[i]).Value);
        const std::string where =
            "TW_ResCreator.UnpackNextPicture: line " + std::to_string(i + 1) + " of '" + list + "'";
        if (name.empty())
            report(where + " names no file; skipped");
        else if (!InsideTextures(name))
            report(where + " names '" + name + "' outside the textures folder; skipped");
        else
            names.push_back(name);
    }
    return names;
}

// The list is read once; each picture on it is looked at once, in order.
bool TW_ResCreator::UnpackNextPicture() {
    if (!UnpackListRead) {
        UnpackList =
            ReadUnpackList(InTextures("tga2jpgANDmask.txt"), [this](const std::string& t) { ReportOnce(t); });
        UnpackListRead = true;
    }
    while (NextUnpack < UnpackList.size()) {
        const std::string path = InTextures(UnpackList[NextUnpack++]);
        if (FileExists(WithExtension(path, ".tga")) || FailedPictures.count(path)) continue;
        // A name without its picture costs no frame: a long damaged list passes in one.
        if (!FileExists(WithExtension(path, ".jpg"))) {
            FailedPictures.insert(path);
            ReportOnce("TW_ResCreator.UnpackNextPicture: '" + WithExtension(path, ".jpg") +
                       "' doesn't exist; skipped");
            continue;
        }
        Progress += cUnpackStep;
        if (!BuildTgaFromJpg(path)) {
            FailedPictures.insert(path);
            ReportOnce("TW_ResCreator.UnpackNextPicture: '" + WithExtension(path, ".tga") +
                       "' cannot be made from '" + WithExtension(path, ".jpg") + "'; skipped");
        }
        ShowProgress(Progress);
        return true;
    }
    return false;
}

bool TW_ResCreator::MakeGlareSheets() {
    const std::string glares1 = InTextures("Glares1.tga"), glares2 = InTextures("Glares2.tga");
    if (GlaresFailed || (FileExists(glares1) && FileExists(glares2))) return false;
    TTgaImage maskPicture, chips, mask;
    const std::string maskFile = InTextures("GlaresMask.tga"), chipsFile = InTextures("Chips.tga");
    if (!LoadTgaImage(maskFile, maskPicture, 1) || !LoadTgaImage(chipsFile, chips, 1) ||
        !NewTgaImage(mask, cGlareSheet, cGlareSheet)) {
        GlaresFailed = true;
        ReportOnce("TW_ResCreator.MakeGlareSheets: '" + maskFile + "' or '" + chipsFile +
                   "' cannot be read; no glare sheet is made");
        return false;
    }
    FillTgaImage(mask, 0);
    for (int32_t i = 0; i < cGlareCells; ++i)
        ComposeTga(maskPicture, mask, cGlareCell * i, 0);
    if (!WriteGlareSheet(chips, mask, 0, glares1) || !WriteGlareSheet(chips, mask, 1, glares2)) {
        GlaresFailed = true;
        ReportOnce("TW_ResCreator.MakeGlareSheets: the glare sheets cannot be written");
    }
    Progress = cGlaresProgress;
    ShowProgress(Progress);
    return true;
}

bool TW_ResCreator::MakeArtefactBodies() {
    bool made = false;
    for (int32_t c = 1; c <= Countries.CountryCount; ++c) {
        const std::string folder = ArtFolderOf(c), body = folder + "\\Body.tga";
        if (FileExists(body) || FailedPictures.count(body)) continue;
        TTgaImage norm, split;
        if (!LoadTgaImage(folder + "\\Norm.tga", norm, 1) ||
            !LoadTgaImage(folder + "\\Split.tga", split, 1)) {
            FailedPictures.insert(body);
            ReportOnce("TW_ResCreator.MakeArtefactBodies: '" + folder +
                       "\\Norm.tga' or 'Split.tga' cannot be read; no body is made");
            continue;
        }
        ComposeTga(split, norm, 0, 0);
        if (!SaveTgaImage(body, norm, 1)) {
            FailedPictures.insert(body);
            ReportOnce("TW_ResCreator.MakeArtefactBodies: '" + body + "' cannot be written");
            continue;
        }
        made = true;
    }
    if (made) {
        Progress = cBodiesProgress;
        ShowProgress(Progress);
    }
    return made;
}

bool TW_ResCreator::MakeNextSlice() {
    const std::string brush = InTextures("BlurPen.tga");
    for (int32_t c = 1; c <= Countries.CountryCount; ++c) {
        const std::string folder = ArtFolderOf(c);
        const TColourList& list = ColourListOf(c);
        if (!list.Read) continue;
        for (int32_t k = 1; k <= std::min(list.Count, cMaxSlices); ++k) {
            const std::string slice = SliceFolder(folder, k);
            if (DirectoryExists(slice) || FailedSlices.count(slice)) continue;
            // Reported by the slice maker; skipped for the rest of the run so the window closes.
            if (!MakeSliceFolder(folder, k, list.Colours[k], brush)) {
                FailedSlices.insert(slice);
                continue;
            }
            Progress += cSliceStep;
            ShowProgress(Progress);
            return true;
        }
    }
    return false;
}

// Each country's colour list is read (and its bad lines told) once per run, not once per slice.
const TW_ResCreator::TColourList& TW_ResCreator::ColourListOf(int32_t country) {
    TColourList& list = ColourLists[country];
    if (list.Tried) return list;
    list.Tried = true;
    const std::string colourFile = ArtFolderOf(country) + "\\!Colors.txt";
    list.Read = ReadMaskColorsFile(colourFile, list.Colours, list.Count);
    if (!list.Read) ReportOnce("TArtMaster.ReadMaskColors: file '" + colourFile + "' doesn't exists");
    return list;
}

void TW_ResCreator::ShowProgress(float v) {
    if (v < 1) {
        const auto shown = static_cast<int32_t>(std::lround(cBarWidth * std::max(v, 0.0f)));
        ProgressBar->SetRectLTRB(cBarLeft, cBarTop, cBarLeft + shown, cBarTop + cBarHeight);
        ProgressBar->SetUVPixels(0, 0, shown, cBarHeight);
    } else {
        ProgressBar->PlaceTexture(cBarLeft, cBarTop, false);
        ProgressBar->FitTexture();
    }
    ProgressBar->UploadVertices();
}

TBasic* CreateResCreator() {
    return new TW_ResCreator();
}

} // namespace velmora
