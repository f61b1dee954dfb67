#include "render/particles.h"

#include "app/log.h"
#include "app/options.h"
#include "app/textfile.h"
#include "engine/random.h"
#include "platform/files.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <numbers>

namespace velmora {

namespace {

constexpr float cTwoPi = 2.0f * std::numbers::pi_v<float>;
constexpr int cMaxValues = 5;

uint32_t PackColor(const float c[4]) {
    uint32_t out = 0;
    for (int ch = 0; ch < 4; ++ch) {
        const float v = std::clamp(c[ch], 0.0f, 255.0f);
        out = out << 8 | static_cast<uint32_t>(std::lround(v));
    }
    return out;
}

void UnpackColor(uint32_t argb, float out[4]) {
    for (int ch = 0; ch < 4; ++ch)
        out[ch] = static_cast<float>(argb >> (24 - 8 * ch) & 0xFF);
}

void MixColors(const float a[4], const float b[4], float f, float out[4]) {
    for (int ch = 0; ch < 4; ++ch)
        out[ch] = a[ch] + (b[ch] - a[ch]) * f;
}

// Splits at blanks; the file format says single spaces, but doubled ones cost nothing to accept.
int SplitWords(const std::string& line, std::string* words, int maxWords) {
    int n = 0;
    size_t i = 0;
    while (i < line.size() && n < maxWords) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start) words[n++] = line.substr(start, i - start);
    }
    return n;
}

} // namespace

uint32_t ParseHexColor(const std::string& text) {
    uint32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return value;
}

TParticles::TParticles() {
    for (int32_t i = 0; i < cMaxParticles; ++i)
        Order[i] = &Parts[i];
    SetTrail(false);
}

// ---- Reading ------------------------------------------------------------------------------------

namespace {

// A particle file holds one value per key, a few dozen lines; more is not a particle file.
constexpr size_t cMaxParticleKeyLines = 64;

// A file's faults are told when it is first read, not again at every explosion made from it.
bool FaultsTold = false;

void TellFault(const std::string& text) {
    if (!FaultsTold) Log(text);
}

struct TParticleFile {
    bool Read = false;
    bool Applied = false;
    std::vector<std::string> Lines;
};

// Every explosion starts a system from a file: each file is read (and its faults told) once per run.
std::map<std::string, TParticleFile>& ParticleFiles() {
    static std::map<std::string, TParticleFile> files;
    return files;
}

TParticleFile& ParticleFileOnce(const std::string& fileName) {
    auto [it, fresh] = ParticleFiles().try_emplace(fileName);
    TParticleFile& file = it->second;
    if (!fresh) return file;
    file.Read = ReadTextLines(ResolvePath(fileName), file.Lines);
    if (!file.Read)
        Log("TParticles.LoadFromFile: File not exists \"" + fileName + "\"");
    else
        CapDataLines(file.Lines, cMaxParticleKeyLines, "TParticles.LoadFromFile", fileName);
    return file;
}

} // namespace

void ForgetParticleFiles() {
    ParticleFiles().clear();
}

bool TParticles::LoadFromFile(const std::string& fileName) {
    TParticleFile& file = ParticleFileOnce(fileName);
    if (!file.Read) return false;
    FaultsTold = file.Applied;
    LoadFromLines(file.Lines, fileName);
    FaultsTold = false;
    file.Applied = true;
    return true;
}

void TParticles::LoadFromLines(const std::vector<std::string>& lines, const std::string& fileName) {
    std::string words[1 + cMaxValues];
    for (const std::string& line : lines) {
        if (IsCommentLine(line)) continue;
        const int n = SplitWords(line, words, 1 + cMaxValues);
        if (n == 0) continue;
        for (int i = n; i < 1 + cMaxValues; ++i)
            words[i].clear(); // missing values read as 0
        ReadKey(words[0], words + 1, fileName);
    }
    if (LifeTime <= 0) {
        TellFault("TParticles.LoadFromFile: LifeTime missing or not above zero in \"" + fileName +
                  "\"; particles live one step");
    }
}

void TParticles::ReadKey(const std::string& key, const std::string* v, const std::string& fileName) {
    if (key == "Queue") {
        const int32_t q = ParseInt(v[0]);
        if (q < 0 || q > 3)
            TellFault("TParticles.LoadFromFile: Invalid Queue in \"" + fileName + "\"; Queue=" + v[0]);
        Queue = static_cast<uint8_t>(q >= 0 && q <= 3 ? q : 0);
    } else if (key == "Blend") {
        Blend = static_cast<uint8_t>(std::clamp(ParseInt(v[0]), 0, 255));
    } else if (key == "BornRadius") {
        BornRadius = ParseFloat(v[0]);
    } else if (key == "StartSpeed") {
        StartSpeed = ParseFloat(v[0]);
    } else if (key == "LifeTime") {
        LifeTime = ParseInt(v[0]);
    } else if (key == "PartsPerStep") {
        PartsPerStep = std::max(0.0f, ParseFloat(v[0]));
    } else if (key == "Count") {
        const int32_t c = ParseInt(v[0]);
        if (c < 0 || c > cMaxParticles) {
            TellFault("TParticles.LoadFromFile: Count out of range in \"" + fileName + "\"; Count=" + v[0]);
        }
        Count = std::clamp(c, 0, cMaxParticles);
    } else if (key == "Wind") {
        WindStrength = ParseFloat(v[0]);
        WindAngle = ParseFloat(v[1]);
        WindX = std::cos(WindAngle) * WindStrength;
        WindY = std::sin(WindAngle) * WindStrength;
    } else if (key == "Grav") {
        GravStrength = ParseFloat(v[0]);
        GravAngle = ParseFloat(v[1]);
        GravX = std::cos(GravAngle) * GravStrength;
        GravY = std::sin(GravAngle) * GravStrength;
    } else if (key == "UVIndex") {
        UVIndex = ParseInt(v[0]);
        SpriteSize = 32;
        if (UVIndex >= 0 && UVIndex < cMaxParticlesUV) {
            SpriteUV = ParticlesUV[UVIndex];
        } else {
            TellFault("TParticles.LoadFromFile: UVIndex out of range in \"" + fileName +
                      "\"; UVIndex=" + v[0]);
            SpriteUV = TUVRect{};
        }
    } else if (key == "Colors") {
        for (int k = 0; k < 4; ++k)
            UnpackColor(ParseHexColor(v[k]), Colors[k]);
    } else if (key == "Size") {
        for (int k = 0; k < 3; ++k)
            Sizes[k] = ParseFloat(v[k]);
    } else if (key == "EnableAxisRotate") {
        AxisRotateOn = ParseBool(v[0]);
    } else if (key == "AxisRotate") {
        for (int k = 0; k < 3; ++k)
            AxisRotate[k] = ParseFloat(v[k]);
    } else if (key == "EnableCenterRotate") {
        CenterRotateOn = ParseBool(v[0]);
    } else if (key == "CenterRotate") {
        for (int k = 0; k < 5; ++k)
            CenterRotate[k] = ParseFloat(v[k]);
    }
}

// ---- Set-up -------------------------------------------------------------------------------------

// A life of zero steps has no reciprocal: such particles get an age step of 1 and so live one step.
void TParticles::BuildRamps() {
    AgeStep = LifeTime > 0 ? 1.0f / static_cast<float>(LifeTime) : 1.0f;
    for (int32_t i = 0; i < cRampSize; ++i) {
        const float t = static_cast<float>(i) / 256.0f;
        float c[4];
        if (t <= 0.33f) {
            MixColors(Colors[0], Colors[1], std::min(3 * t, 1.0f), c);
        } else if (t <= 0.67f) {
            MixColors(Colors[1], Colors[2], std::min(3 * (t - 0.33f), 1.0f), c);
        } else {
            MixColors(Colors[2], Colors[3], std::min(3 * (t - 0.67f), 1.0f), c);
        }
        ColorRamp[i] = PackColor(c);
        float s = (Sizes[0] + (Sizes[1] - Sizes[0]) * t) * static_cast<float>(SpriteSize) * PixelSize;
        if (!AxisRotateOn) s *= 0.7071f;
        SizeRamp[i] = s;
    }
}

void TParticles::Reset() {
    for (TParticle& p : Parts)
        p.Age = 1.1f;
    ToBorn = Queue == qmBurst ? static_cast<float>(Count) : 0.0f;
}

void TParticles::SetBornRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    RectWidth = static_cast<float>(right - left + 1) * PixelSize;
    RectHeight = static_cast<float>(bottom - top + 1) * PixelSize;
    // The pixel tables hold the same formula for every integer pixel.
    const float leftX = static_cast<float>(left) * PixelSize - ViewRight + HalfPixel;
    const float topY = -static_cast<float>(top) * PixelSize + ViewTop + HalfPixel;
    EmitFrom[0] = leftX + RectWidth / 2;
    EmitFrom[1] = topY - RectHeight / 2;
    UseRect = true;
}

void TParticles::MoveTo(float x, float y) {
    EmitTo[0] = EmitFrom[0];
    EmitTo[1] = EmitFrom[1];
    EmitFrom[0] = x;
    EmitFrom[1] = y;
}

void TParticles::SetTrail(bool on) {
    Trail = on;
    EmitTo[0] = EmitFrom[0];
    EmitTo[1] = EmitFrom[1];
}

// ---- Birth --------------------------------------------------------------------------------------

void TParticles::Born(TParticle& p) {
    p.Age = 0;
    p.RampIndex = 0;
    p.AgeStep = AgeStep;
    float bx = EmitFrom[0], by = EmitFrom[1];
    if (Trail) {
        const float t = Random();
        bx = EmitTo[0] + (EmitFrom[0] - EmitTo[0]) * t;
        by = EmitTo[1] + (EmitFrom[1] - EmitTo[1]) * t;
    }
    const float w = UseRect ? RectWidth : BornRadius;
    const float h = UseRect ? RectHeight : BornRadius;
    p.X = bx + (Random() - 0.5f) * w;
    p.Y = by + (Random() - 0.5f) * h;
    const float a = Random() * cTwoPi;
    const float v = Random() * StartSpeed;
    p.VX = std::cos(a) * v;
    p.VY = std::sin(a) * v;
    std::copy(Colors[0], Colors[0] + 4, p.Color0);
    std::copy(Colors[1], Colors[1] + 4, p.Color1);
    if (AxisRotateOn) {
        p.Spin = AxisRotate[0];
        p.SpinStep = (AxisRotate[1] - AxisRotate[0]) * AgeStep;
    }
    p.GX = p.GY = 0;
    if (CenterRotateOn) {
        p.OrbitRadius = CenterRotate[3];
        p.OrbitRadiusStep = (CenterRotate[4] - CenterRotate[3]) * AgeStep;
        p.OrbitAngle = (Random() - 0.5f) * cTwoPi + CenterRotate[0];
        p.OrbitAngleStep = (CenterRotate[1] - CenterRotate[0]) * AgeStep;
    }
}

int32_t TParticles::CountToBorn() {
    int32_t n = 0;
    for (int32_t i = 0; i < Count && ToBorn >= 1; ++i) {
        if (Order[i]->Alive()) continue;
        ToBorn -= 1;
        ++n;
    }
    return n;
}

// Order becomes: the remaining dead, the live ones in their order, then the n newborn on top.
void TParticles::EmitNewestOnTop() {
    const int32_t n = CountToBorn();
    if (n == 0) return;
    int32_t k = 0;
    for (int32_t i = 0; i < Count; ++i)
        if (!Order[i]->Alive()) Scratch[k++] = Order[i];
    for (int32_t i = 0; i < Count; ++i)
        if (Order[i]->Alive()) Scratch[k++] = Order[i];
    for (int32_t i = 0; i < Count; ++i)
        Order[i] = Scratch[(i + n) % Count];
    for (int32_t i = Count - n; i < Count; ++i)
        Born(*Order[i]);
}

// Order becomes: the n newborn first, the live ones in their order, then the remaining dead.
void TParticles::EmitNewestBelow() {
    const int32_t n = CountToBorn();
    if (n == 0) return;
    int32_t k = 0;
    for (int32_t i = 0; i < Count; ++i)
        if (Order[i]->Alive()) Scratch[k++] = Order[i];
    for (int32_t i = 0; i < Count; ++i)
        if (!Order[i]->Alive()) Scratch[k++] = Order[i];
    for (int32_t i = 0; i < Count; ++i)
        Order[i] = Scratch[(i + Count - n) % Count];
    for (int32_t i = 0; i < n; ++i)
        Born(*Order[i]);
}

void TParticles::EmitRandomSlots() {
    int32_t dead = 0;
    for (int32_t i = 0; i < Count; ++i)
        if (!Order[i]->Alive()) Scratch[dead++] = Order[i];
    std::fill(Used.begin(), Used.begin() + dead, false);
    for (int32_t left = dead; left > 0 && ToBorn >= 1; --left) {
        ToBorn -= 1;
        int32_t j = RandomInt(dead);
        while (Used[j])
            j = (j + 1) % dead;
        Used[j] = true;
        Born(*Scratch[j]);
    }
}

void TParticles::EmitBurst() {
    if (static_cast<float>(Count) <= ToBorn) {
        for (int32_t i = 0; i < Count; ++i)
            Born(Parts[i]);
        ToBorn -= static_cast<float>(Count);
    }
    if (OneShot) Emitting = false;
}

// ---- Stepping -----------------------------------------------------------------------------------

void TParticles::MoveParticle(TParticle& p) const {
    p.RampIndex = std::clamp(static_cast<int32_t>(std::lround(p.Age * 255.0f)), 0, cRampSize - 1);
    p.Color = ColorRamp[p.RampIndex];
    p.X += (p.VX + WindX) * Delta + p.GX;
    p.Y += (p.VY + WindY) * Delta + p.GY;
    if (AxisRotateOn) p.Spin += p.SpinStep * Delta;
    if (CenterRotateOn) {
        p.OrbitRadius += p.OrbitRadiusStep * Delta;
        p.OrbitAngle += p.OrbitAngleStep * Delta;
    }
    p.GX += GravX * DeltaSq;
    p.GY += GravY * DeltaSq;
    p.Age += p.AgeStep * Delta;
}

int32_t TParticles::AliveCount() const {
    int32_t n = 0;
    for (int32_t i = 0; i < Count; ++i)
        n += Parts[i].Alive() ? 1 : 0;
    return n;
}

void TParticles::Step() {
    ToBorn += PartsPerStep * Delta;
    if (Emitting) {
        switch (Queue) {
        case qmNewestOnTop:
            EmitNewestOnTop();
            break;
        case qmNewestBelow:
            EmitNewestBelow();
            break;
        case qmRandomSlots:
            EmitRandomSlots();
            break;
        default:
            EmitBurst();
            break;
        }
    }
    if (!Emitting && AliveCount() == 0) {
        Dead = true;
        return;
    }
    for (int32_t i = 0; i < Count; ++i) {
        if (Order[i]->Alive()) MoveParticle(*Order[i]);
    }
}

// ---- Quads --------------------------------------------------------------------------------------

void TParticles::FillQuads(TVertexDiffuseTex* dest, int32_t limit) const {
    const int32_t n = std::min(Count, limit);
    for (int32_t i = 0; i < n; ++i, dest += 6) {
        const TParticle& p = *Order[i];
        if (!p.Alive()) {
            for (int k = 0; k < 6; ++k)
                dest[k].Color = 0;
            continue;
        }
        const float h = SizeRamp[p.RampIndex];
        float s = h, c = h;
        if (AxisRotateOn) {
            s = std::sin(p.Spin) * h;
            c = std::cos(p.Spin) * h;
        }
        float cx = p.X, cy = p.Y;
        if (CenterRotateOn) {
            cx += std::cos(p.OrbitAngle) * p.OrbitRadius;
            cy += std::sin(p.OrbitAngle) * p.OrbitRadius;
        }
        const TVertexDiffuseTex corners[4] = {
            {cx - c, cy + s, 0, p.Color, SpriteUV.Left, SpriteUV.Top},
            {cx + s, cy + c, 0, p.Color, SpriteUV.Right, SpriteUV.Top},
            {cx - s, cy - c, 0, p.Color, SpriteUV.Left, SpriteUV.Bottom},
            {cx + c, cy - s, 0, p.Color, SpriteUV.Right, SpriteUV.Bottom},
        };
        dest[0] = corners[0];
        dest[1] = corners[1];
        dest[2] = corners[2];
        dest[3] = corners[1];
        dest[4] = corners[2];
        dest[5] = corners[3];
    }
}

} // namespace velmora
