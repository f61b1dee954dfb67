// The 39 sound slots: effects synthesised as 16-bit WAV, music loops encoded as Ogg Vorbis.
#include "content.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <stdexcept>

namespace content {

namespace {

constexpr int kRate = 22050;
using Wave = std::vector<float>;

int pick(std::initializer_list<int> list, int i) {
    return *(list.begin() + i);
}

float env(double t, double attack, double decay) {
    if (t < attack) return float(t / attack);
    return float(std::exp(-(t - attack) / decay));
}

double note(int semitone) {
    return 440.0 * std::pow(2.0, semitone / 12.0);
}

// Bell-like tone: a few inharmonic partials with their own decays.
void add_bell(Wave& w, double start, double freq, double amp, double decay) {
    const double partials[4][2] = {{1, 1}, {2.01, 0.5}, {2.76, 0.3}, {5.4, 0.12}};
    const size_t s0 = size_t(start * kRate);
    const size_t len = size_t(decay * 5 * kRate);
    if (w.size() < s0 + len) w.resize(s0 + len, 0.f);
    for (size_t i = 0; i < len; ++i) {
        const double t = double(i) / kRate;
        double v = 0;
        for (auto& p : partials)
            v += p[1] * std::sin(2 * M_PI * freq * p[0] * t) * std::exp(-t / (decay / p[0]));
        w[s0 + i] += float(amp * v * std::min(1.0, t * 400));
    }
}

void add_tone(Wave& w, double start, double len, double f0, double f1, double amp, double attack,
              double decay, int shape = 0) {
    const size_t s0 = size_t(start * kRate), n = size_t(len * kRate);
    if (w.size() < s0 + n) w.resize(s0 + n, 0.f);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        const double f = f0 + (f1 - f0) * t / len;
        phase += 2 * M_PI * f / kRate;
        double v = std::sin(phase);
        if (shape == 1) v = v > 0 ? 0.6 : -0.6;                                              // hollow square
        if (shape == 2) v = 2 * (phase / (2 * M_PI) - std::floor(phase / (2 * M_PI) + 0.5)); // saw
        w[s0 + i] += float(amp * v * env(t, attack, decay));
    }
}

void add_noise(Wave& w, double start, double len, double amp, double attack, double decay, double lowpass,
               uint64_t seed) {
    Rng rng(seed);
    const size_t s0 = size_t(start * kRate), n = size_t(len * kRate);
    if (w.size() < s0 + n) w.resize(s0 + n, 0.f);
    double y = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        y += lowpass * (rng.range(-1, 1) - y);
        w[s0 + i] += float(amp * y * env(t, attack, decay));
    }
}

void add_bubble(Wave& w, double start, double f, double amp) {
    add_tone(w, start, 0.09, f, f * 2.2, amp, 0.004, 0.03);
}

std::string wav_bytes(const Wave& w) {
    std::string s;
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s.push_back(char((v >> (8 * i)) & 255));
    };
    auto u16 = [&](uint16_t v) {
        s.push_back(char(v & 255));
        s.push_back(char(v >> 8));
    };
    const uint32_t data = uint32_t(w.size() * 2);
    s += "RIFF";
    u32(36 + data);
    s += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    s += "data";
    u32(data);
    float peak = 0.01f;
    for (float v : w)
        peak = std::max(peak, std::abs(v));
    const float gain = 0.85f / peak; // every effect peaks at the same level
    for (size_t i = 0; i < w.size(); ++i) {
        float v = w[i] * gain;
        const double fade = std::min(1.0, double(w.size() - i) / (0.005 * kRate)); // no click at the end
        u16(uint16_t(int16_t(std::lround(std::clamp(v * fade, -1.0, 1.0) * 32000))));
    }
    return s;
}

Wave effect(const std::string& name) {
    Wave w;
    if (name == "Button1")
        add_tone(w, 0, 0.08, 900, 700, 0.5, 0.002, 0.02);
    else if (name == "Button2") {
        add_bell(w, 0, note(3), 0.4, 0.08);
        add_bell(w, 0.06, note(10), 0.35, 0.1);
    } else if (name == "Bonus")
        for (int i = 0; i < 4; ++i)
            add_bell(w, i * 0.06, note(i * 4 + 3), 0.3, 0.15);
    else if (name == "ExtraLife")
        for (int i = 0; i < 6; ++i)
            add_bell(w, i * 0.08, note(pick({0, 4, 7, 12, 16, 19}, i)), 0.3, 0.25);
    else if (name == "Match1") {
        add_bubble(w, 0, 300, 0.6);
        add_bubble(w, 0.04, 420, 0.4);
        add_noise(w, 0, 0.12, 0.15, 0.002, 0.03, 0.3, 1);
    } else if (name == "Match2") {
        add_bubble(w, 0, 420, 0.6);
        add_bubble(w, 0.04, 560, 0.5);
        add_bell(w, 0.05, note(15), 0.2, 0.1);
    } else if (name == "MatchLock") {
        add_bell(w, 0, 620, 0.4, 0.06);
        add_bell(w, 0.05, 930, 0.3, 0.05);
        add_noise(w, 0, 0.15, 0.3, 0.001, 0.03, 0.6, 2);
    } else if (name == "Mismatch")
        add_tone(w, 0, 0.25, 160, 110, 0.5, 0.005, 0.1, 1);
    else if (name == "Typing")
        add_noise(w, 0, 0.04, 0.5, 0.001, 0.008, 0.7, 3);
    else if (name == "TrackBarMove")
        add_tone(w, 0, 0.04, 1400, 1400, 0.3, 0.001, 0.01);
    else if (name == "HelpAppear")
        for (int i = 0; i < 6; ++i)
            add_bell(w, i * 0.035, note(i * 2 + 5), 0.2, 0.2);
    else if (name == "Click")
        add_noise(w, 0, 0.03, 0.6, 0.0005, 0.006, 0.9, 4);
    else if (name == "ChangeChips")
        add_noise(w, 0, 0.5, 0.5, 0.2, 0.15, 0.08, 5);
    else if (name == "StartLevel_FallDown") {
        add_tone(w, 0, 0.12, 180, 90, 0.6, 0.002, 0.04);
        add_noise(w, 0, 0.1, 0.2, 0.001, 0.02, 0.2, 6);
    } else if (name == "StartLevel_Go") {
        add_bell(w, 0, note(-12), 0.5, 0.6);
        add_bell(w, 0, note(-5), 0.3, 0.5);
    } else if (name == "EndLevel_Explode") {
        add_noise(w, 0, 0.5, 0.7, 0.002, 0.12, 0.15, 7);
        add_tone(w, 0, 0.3, 120, 50, 0.5, 0.002, 0.1);
    } else if (name == "EndLevel_GameWin1")
        for (int i = 0; i < 5; ++i)
            add_bell(w, i * 0.12, note(pick({0, 4, 7, 12, 7}, i)), 0.35, 0.3);
    else if (name == "EndLevel_GameWin2") {
        for (int i = 0; i < 4; ++i)
            add_bell(w, i * 0.15, note(pick({-5, 0, 4, 7}, i)), 0.35, 0.3);
        add_bell(w, 0.6, note(12), 0.4, 0.8);
        add_bell(w, 0.6, note(7), 0.25, 0.8);
    } else if (name == "FallenArtefact")
        for (int i = 0; i < 8; ++i)
            add_bell(w, i * 0.05, note(24 - i * 2), 0.15, 0.3);
    else if (name == "FallenVisBonus")
        for (int i = 0; i < 5; ++i)
            add_bell(w, i * 0.04, note(19 + i * 3), 0.18, 0.12);
    else if (name == "FallenBonusXX") {
        add_bell(w, 0, note(7), 0.3, 0.2);
        add_bell(w, 0.1, note(14), 0.3, 0.3);
    } else if (name == "FallenMoney") {
        Rng r(8);
        for (int i = 0; i < 9; ++i)
            add_bell(w, r.range(0, 0.4), r.range(2500, 4200), 0.12, 0.06);
    } else if (name == "FallenAngryChip") {
        add_tone(w, 0, 0.9, 90, 60, 0.5, 0.05, 0.4, 2);
        add_noise(w, 0, 0.9, 0.2, 0.1, 0.3, 0.05, 9);
    } else if (name == "Scores") {
        add_bell(w, 0, note(12), 0.3, 0.08);
        add_bell(w, 0.05, note(19), 0.25, 0.1);
    } else if (name == "LowTime")
        for (int i = 0; i < 4; ++i)
            add_tone(w, i * 0.25, 0.1, i % 2 ? 700 : 950, i % 2 ? 700 : 950, 0.4, 0.002, 0.03);
    else if (name == "ArtMagic") {
        for (int i = 0; i < 24; ++i)
            add_bell(w, i * 0.12, note((i * 7) % 24 + 5), 0.12, 0.5);
        add_noise(w, 0, 3.2, 0.08, 1.0, 1.2, 0.03, 10);
    } else if (name == "No") {
        add_tone(w, 0, 0.12, 220, 200, 0.4, 0.003, 0.05, 1);
        add_tone(w, 0.14, 0.15, 180, 160, 0.4, 0.003, 0.06, 1);
    } else if (name == "HammerUsed") {
        add_noise(w, 0, 0.3, 0.8, 0.001, 0.05, 0.5, 11);
        add_bell(w, 0, 420, 0.4, 0.12);
    } else if (name == "SapUsed")
        for (int i = 0; i < 10; ++i)
            add_bubble(w, i * 0.05, 250 + (i * 97) % 400, 0.4);
    else if (name == "MagicLampUsed") {
        add_noise(w, 0, 1.0, 0.2, 0.4, 0.4, 0.05, 12);
        for (int i = 0; i < 8; ++i)
            add_bell(w, 0.1 + i * 0.08, note(12 + i * 2), 0.15, 0.3);
    } else if (name == "ClockUsed")
        for (int i = 0; i < 6; ++i)
            add_noise(w, i * 0.16, 0.05, 0.6, 0.0005, 0.01, i % 2 ? 0.5 : 0.8, 13 + uint64_t(i));
    else
        add_tone(w, 0, 0.1, 440, 440, 0.3, 0.005, 0.05);
    return w;
}

// A music loop: pad chords, a bass line and an arpeggio in a mode, exactly `bars` bars long so
// that it loops without a seam.
Wave music(int slot) {
    struct Style {
        int root;
        std::vector<int> scale;
        double bpm;
        int bars;
    };
    static const Style styles[8] = {
        {-9, {0, 2, 3, 5, 7, 9, 10}, 84, 6},   // menu: dorian, calm
        {-7, {0, 2, 4, 7, 9, 11, 12}, 76, 5},  // map: bright
        {-10, {0, 1, 4, 5, 7, 8, 10}, 96, 6},  // game 1: phrygian dominant
        {-5, {0, 2, 3, 5, 7, 8, 10}, 100, 6},  // game 2: aeolian
        {-12, {0, 2, 4, 5, 7, 9, 10}, 92, 6},  // game 3: mixolydian
        {-8, {0, 2, 3, 5, 7, 9, 10}, 104, 7},  // game 4
        {-3, {0, 3, 5, 7, 10, 12, 15}, 88, 6}, // game 5: pentatonic
        {-6, {0, 2, 3, 6, 7, 8, 11}, 98, 6},   // game 6: exotic
    };
    const Style& st = styles[(slot - 32) % 8];
    const double beat = 60.0 / st.bpm;
    const double total = st.bars * 4 * beat;
    Wave w(size_t(total * kRate), 0.f);
    Rng rng{uint64_t(slot)};
    const int progression[4] = {0, 5, 3, 4};
    auto degree = [&](int d) { return st.root + st.scale[size_t(d % 7)] + 12 * (d / 7); };
    for (int bar = 0; bar < st.bars; ++bar) {
        const int chord = progression[bar % 4];
        const double t0 = bar * 4 * beat;
        for (int k = 0; k < 3; ++k)
            add_tone(w, t0, 4 * beat, note(degree(chord + 2 * k)), note(degree(chord + 2 * k)), 0.07, 0.6,
                     2.5);
        add_tone(w, t0, 2 * beat, note(degree(chord) - 24), note(degree(chord) - 24), 0.22, 0.01, 0.5);
        add_tone(w, t0 + 2 * beat, 2 * beat, note(degree(chord + 4) - 24), note(degree(chord + 4) - 24), 0.18,
                 0.01, 0.5);
        for (int s = 0; s < 8; ++s) {
            const int d = chord + pick({0, 2, 4, 7, 4, 2, 4, 9}, s) + (rng.below(5) == 0 ? 1 : 0);
            add_bell(w, t0 + s * beat / 2, note(degree(d) + 12), 0.09, 0.25);
        }
    }
    // fold the tail of the last notes back to the start so the loop is seamless
    if (w.size() > size_t(total * kRate)) {
        const size_t n = size_t(total * kRate);
        for (size_t i = n; i < w.size(); ++i)
            w[i - n] += w[i];
        w.resize(n);
    }
    return w;
}

std::string ogg_bytes(const Wave& w, uint64_t serial) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 1, kRate, 0.3f) != 0)
        throw std::runtime_error("vorbis encoder refused its settings");
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, int(serial));
    std::string out;
    ogg_page og;
    ogg_packet op, h1, h2;
    vorbis_analysis_headerout(&vd, &vc, &op, &h1, &h2);
    ogg_stream_packetin(&os, &op);
    ogg_stream_packetin(&os, &h1);
    ogg_stream_packetin(&os, &h2);
    while (ogg_stream_flush(&os, &og)) {
        out.append(reinterpret_cast<char*>(og.header), size_t(og.header_len));
        out.append(reinterpret_cast<char*>(og.body), size_t(og.body_len));
    }
    float peak = 0.01f;
    for (float v : w)
        peak = std::max(peak, std::abs(v));
    const float gain = 0.8f / peak;
    size_t pos = 0;
    bool eos = false;
    while (!eos) {
        const size_t chunk = std::min<size_t>(4096, w.size() - pos);
        if (chunk == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buf = vorbis_analysis_buffer(&vd, int(chunk));
            for (size_t i = 0; i < chunk; ++i)
                buf[0][i] = w[pos + i] * gain;
            vorbis_analysis_wrote(&vd, int(chunk));
            pos += chunk;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og)) {
                    out.append(reinterpret_cast<char*>(og.header), size_t(og.header_len));
                    out.append(reinterpret_cast<char*>(og.body), size_t(og.body_len));
                    if (ogg_page_eos(&og)) eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

const char* const kSlotNames[39] = {"Button1",
                                    "Button2",
                                    "Bonus",
                                    "ExtraLife",
                                    "Match1",
                                    "Match2",
                                    "MatchLock",
                                    "Mismatch",
                                    "Typing",
                                    "TrackBarMove",
                                    "HelpAppear",
                                    "Click",
                                    "ChangeChips",
                                    "StartLevel_FallDown",
                                    "StartLevel_Go",
                                    "EndLevel_Explode",
                                    "EndLevel_GameWin1",
                                    "EndLevel_GameWin2",
                                    "FallenArtefact",
                                    "FallenVisBonus",
                                    "FallenBonusXX",
                                    "FallenMoney",
                                    "FallenAngryChip",
                                    "Scores",
                                    "LowTime",
                                    "ArtMagic",
                                    "No",
                                    "HammerUsed",
                                    "SapUsed",
                                    "MagicLampUsed",
                                    "ClockUsed",
                                    "Music_Menu",
                                    "Music_Map",
                                    "Music_Game10",
                                    "Music_Game11",
                                    "Music_Game20",
                                    "Music_Game21",
                                    "Music_Game30",
                                    "Music_Game31"};

} // namespace

void write_sounds(const Context& ctx) {
    const auto snd = ctx.out / "Sound" / "Snd";
    std::ostringstream list;
    list << "; Velmora sounds: one file per line, the rest of the line is a note\n";
    for (int i = 0; i < 39; ++i) {
        const std::string name = kSlotNames[i];
        const int slot = i + 1;
        if (slot >= 32) {
            write_file(snd / (name + ".ogg"), ogg_bytes(music(slot), uint64_t(slot)));
            list << name << ".ogg slot " << slot << " music loop\n";
        } else {
            write_file(snd / (name + ".wav"), wav_bytes(effect(name)));
            list << name << ".wav slot " << slot << "\n";
        }
    }
    write_file(snd / "descr.txt", list.str());
    write_file(ctx.out / "Sound" / "Mus" / "descr.txt",
               "; module music: none is shipped, the music loops live in Sound/Snd\n");
}

} // namespace content
