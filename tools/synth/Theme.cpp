#include "Theme.h"

#include "Levels.h"
#include "PulseOscillator.h"
#include "Shaping.h"
#include "StateVariableFilter.h"
#include "Xorshift.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace synth {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// 150 BPM in sixteenth-note steps: one step is exactly 4410 samples, so bars
// and the loop length are whole numbers of samples with no rounding drift.
constexpr int kBeatsPerMinute = 150;
constexpr int kStepsPerBeat = 4;
constexpr int kStepsPerBar = 16;
static_assert(kSampleRate * 60 % (kBeatsPerMinute * kStepsPerBeat) == 0);
constexpr std::size_t kSamplesPerStep = kSampleRate * 60 / (kBeatsPerMinute * kStepsPerBeat);

constexpr double stepSeconds(int steps) {
    return static_cast<double>(steps) * static_cast<double>(kSamplesPerStep) / kSampleRate;
}

constexpr int kBars = 16;
constexpr int kSectionBars = 8;

// Two eight-bar sections in A minor: a riff (A) and a climbing answer (B).
// Melody bars are "pitch:steps" tokens, "-" a rest; every bar must fill 16 steps.
constexpr std::array<std::string_view, kBars> kLeadBars = {
    // A: the riff, twice, the second time reaching higher.
    "A4:2 A4:1 C5:1 E5:2 A4:2 G5:2 E5:2 D5:1 C5:1 D5:2",
    "C5:2 C5:1 F5:1 A5:2 F5:2 E5:2 C5:2 A4:2 C5:2",
    "B4:2 B4:1 D5:1 G5:2 D5:2 F5:2 E5:2 D5:2 B4:2",
    "E5:3 G#5:1 B5:2 G#5:2 E5:4 -:2 B4:2",
    "A4:2 A4:1 C5:1 E5:2 A4:2 G5:2 E5:2 D5:1 C5:1 D5:2",
    "C5:2 C5:1 F5:1 A5:2 C6:2 A5:2 F5:2 E5:2 F5:2",
    "G5:2 F5:2 E5:2 D5:2 B4:2 D5:2 G5:4",
    "G#5:2 B5:2 E6:4 D6:2 B5:2 G#5:2 E5:2",
    // B: longer notes over a moving bass, then a run back down into the riff.
    "D5:4 F5:2 A5:4 F5:2 D5:2 F5:2",
    "E5:4 C5:2 A4:4 C5:2 E5:2 A5:2",
    "F5:3 E5:1 F5:2 A5:2 C6:4 A5:2 F5:2",
    "G#5:4 E5:2 B4:4 D5:2 E5:2 G#5:2",
    "A5:2 A5:1 G5:1 F5:2 E5:2 D5:2 F5:2 A5:2 D6:2",
    "C6:2 C6:1 B5:1 A5:2 G5:2 E5:2 G5:2 A5:4",
    "B5:2 A5:2 G5:2 F5:2 D5:2 B4:2 D5:2 G5:2",
    "G#5:2 B5:2 E6:2 D6:2 B5:2 G#5:2 E5:2 B4:2",
};

// One chord per bar: bass root (MIDI) and the chord tones for the arpeggio.
struct Chord {
    int root;
    std::array<int, 3> tones;
};
constexpr Chord kAm{45, {69, 72, 76}};
constexpr Chord kF{41, {65, 69, 72}};
constexpr Chord kG{43, {67, 71, 74}};
constexpr Chord kE{40, {68, 71, 76}};
constexpr Chord kDm{38, {62, 65, 69}};
constexpr std::array<Chord, kBars> kChords = {kAm, kF,  kG, kE, kAm, kF,  kG, kE,
                                              kDm, kAm, kF, kE, kDm, kAm, kG, kE};

// Drum patterns, one character per step ('x' hit, 'o' soft hit, '.' rest).
// The last step of every pattern is left empty so nothing rings over the seam.
struct DrumBar {
    std::string_view kick;
    std::string_view snare;
    std::string_view hat;

    constexpr bool fillsBar() const {
        return kick.size() == kStepsPerBar && snare.size() == kStepsPerBar &&
               hat.size() == kStepsPerBar && kick.back() == '.' && snare.back() == '.' &&
               hat.back() == '.';
    }
};
constexpr DrumBar kRiffDrums{"x.....x.x.....x.", "....x.......x...", "x.o.x.o.x.o.x.o."};
constexpr DrumBar kRiffFill{"x.....x.x.x.....", "....x.......xxx.", "x.o.x.o.x.o....."};
constexpr DrumBar kDriveDrums{"x...x...x...x...", "....x.......x...", "xoooxoooxoooxoo."};
constexpr DrumBar kDriveFill{"x...x...x.x.....", "....x...o.o.xxx.", "xoooxoooxooo...."};
static_assert(kRiffDrums.fillsBar() && kRiffFill.fillsBar() && kDriveDrums.fillsBar() &&
              kDriveFill.fillsBar());

struct Note {
    int midi; // negative for a rest
    int startStep;
    int lengthSteps;
};

int parsePitch(std::string_view name) {
    static constexpr int kLetterSemitones[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        throw std::logic_error("theme: bad pitch '" + std::string(name) + "'");
    int semitone = kLetterSemitones[name[0] - 'A'];
    std::size_t pos = 1;
    if (name[pos] == '#' || name[pos] == 'b') {
        semitone += name[pos] == '#' ? 1 : -1;
        ++pos;
    }
    if (pos + 1 != name.size() || name[pos] < '0' || name[pos] > '9')
        throw std::logic_error("theme: bad octave in '" + std::string(name) + "'");
    return 12 * (name[pos] - '0' + 1) + semitone;
}

std::vector<Note> parseLead() {
    std::vector<Note> notes;
    for (std::size_t bar = 0; bar < kLeadBars.size(); ++bar) {
        int step = static_cast<int>(bar) * kStepsPerBar;
        const int barEnd = step + kStepsPerBar;
        std::size_t begin = 0;
        const std::string_view text = kLeadBars[bar];
        while (begin < text.size()) {
            std::size_t end = text.find(' ', begin);
            if (end == std::string_view::npos)
                end = text.size();
            const std::string_view token = text.substr(begin, end - begin);
            begin = end + 1;
            const std::size_t colon = token.find(':');
            if (colon == std::string_view::npos)
                throw std::logic_error("theme: token without length '" + std::string(token) + "'");
            const std::string_view pitch = token.substr(0, colon);
            const std::string_view digits = token.substr(colon + 1);
            int length = 0;
            const auto [last, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), length);
            if (error != std::errc() || last != digits.data() + digits.size() || length <= 0)
                throw std::logic_error("theme: bad length in '" + std::string(token) + "'");
            notes.push_back({pitch == "-" ? -1 : parsePitch(pitch), step, length});
            step += length;
        }
        if (step != barEnd)
            throw std::logic_error("theme: bar " + std::to_string(bar + 1) +
                                   " does not fill 16 steps");
    }
    return notes;
}

// How many of `wanted` samples fit in the loop from `start`. Every renderer
// closes its own envelope at the length it is given, so an event cut short by
// the end of the loop still fades to zero instead of clicking at the seam.
std::size_t room(const Signal& loop, std::size_t start, std::size_t wanted) {
    return start >= loop.size() ? 0 : std::min(wanted, loop.size() - start);
}

double timeOf(std::size_t index) {
    return static_cast<double>(index) / kSampleRate;
}

// Pulse-wave lead with a little delayed vibrato on held notes.
Signal leadNote(int midi, std::size_t length, double duty) {
    Signal out(length, 0.0);
    PulseOscillator pulse(duty);
    const double seconds = timeOf(length);
    const double base = noteFrequency(midi);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = timeOf(i);
        const double vibratoDepth = 0.15 * smoothRise((t - 0.12) / 0.1); // semitones
        const double frequency = base * std::exp2(vibratoDepth * std::sin(kTwoPi * 5.5 * t) / 12.0);
        const double decay = 0.7 + 0.3 * std::exp(-t / 0.08);
        out[i] = pulse.next(frequency) * decay * gate(t, seconds, 0.005, 0.02);
    }
    return out;
}

// Triangle bass: smooth enough that it needs no band-limiting.
Signal bassNote(int midi, std::size_t length) {
    Signal out(length, 0.0);
    const double seconds = timeOf(length);
    const double increment = noteFrequency(midi) / kSampleRate;
    double phase = 0.25; // the triangle crosses zero here, rising
    for (std::size_t i = 0; i < length; ++i) {
        const double t = timeOf(i);
        const double triangle = 1.0 - 4.0 * std::abs(phase - 0.5);
        out[i] = triangle * (0.75 + 0.25 * std::exp(-t / 0.05)) * gate(t, seconds, 0.004, 0.015);
        phase = std::fmod(phase + increment, 1.0);
    }
    return out;
}

// A short plucked blip for the background arpeggio.
Signal arpeggioBlip(int midi, std::size_t length) {
    Signal out(length, 0.0);
    PulseOscillator pulse(0.125);
    const double seconds = timeOf(length);
    const double frequency = noteFrequency(midi);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = timeOf(i);
        out[i] = pulse.next(frequency) * std::exp(-t / 0.045) * gate(t, seconds, 0.003, 0.01);
    }
    return out;
}

// Kick: a sine whose pitch drops fast, for a round low hit.
Signal kick(std::size_t length) {
    Signal out(length, 0.0);
    const double seconds = timeOf(length);
    double phase = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        const double t = timeOf(i);
        const double frequency = 50.0 + 120.0 * std::exp(-t / 0.03);
        out[i] = std::sin(kTwoPi * phase) * std::exp(-t / 0.09) * gate(t, seconds, 0.002, 0.02);
        phase += frequency / kSampleRate;
    }
    return out;
}

// Snare: band-passed noise over a short tone.
Signal snare(Xorshift& noise, std::size_t length) {
    Signal out(length, 0.0);
    const double seconds = timeOf(length);
    StateVariableFilter filter;
    filter.tune(2000.0, 0.8);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = timeOf(i);
        const double rattle = filter.process(noise.nextBipolar()).bandPass * std::exp(-t / 0.05);
        const double tone = 0.5 * std::sin(kTwoPi * 190.0 * t) * std::exp(-t / 0.03);
        out[i] = (1.6 * rattle + tone) * gate(t, seconds, 0.002, 0.02);
    }
    return out;
}

// Hi-hat: high-passed noise, a few tens of milliseconds.
Signal hat(Xorshift& noise, std::size_t length) {
    Signal out(length, 0.0);
    const double seconds = timeOf(length);
    StateVariableFilter filter;
    filter.tune(7000.0, 0.7);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = timeOf(i);
        out[i] = filter.process(noise.nextBipolar()).highPass * std::exp(-t / 0.018) *
                 gate(t, seconds, 0.002, 0.01);
    }
    return out;
}

std::size_t stepStart(int step) {
    return static_cast<std::size_t>(step) * kSamplesPerStep;
}

void addLead(Signal& loop) {
    for (const Note& note : parseLead()) {
        if (note.midi < 0)
            continue;
        const bool riff = note.startStep < kSectionBars * kStepsPerBar;
        const std::size_t start = stepStart(note.startStep);
        const std::size_t length =
            room(loop, start, static_cast<std::size_t>(note.lengthSteps) * kSamplesPerStep);
        // The riff is a thinner 25% pulse; the answer a rounder square.
        mixInto(loop, leadNote(note.midi, length, riff ? 0.25 : 0.5), start, riff ? 0.24 : 0.2);
    }
}

void addBass(Signal& loop) {
    // Eighth notes: octave pumping under the riff, a rising figure under the answer.
    constexpr int kRiffFigure[] = {0, 12, 0, 12, 0, 12, 7, 12};
    constexpr int kDriveFigure[] = {0, 0, 12, 0, 7, 0, 12, 10};
    for (int bar = 0; bar < kBars; ++bar) {
        const bool riff = bar < kSectionBars;
        for (int eighth = 0; eighth < 8; ++eighth) {
            const int interval = riff ? kRiffFigure[eighth] : kDriveFigure[eighth];
            const std::size_t start = stepStart(bar * kStepsPerBar + eighth * 2);
            const std::size_t length = room(loop, start, 2 * kSamplesPerStep);
            const int root = kChords[static_cast<std::size_t>(bar)].root;
            mixInto(loop, bassNote(root + interval, length), start, 0.42);
        }
    }
}

void addArpeggio(Signal& loop) {
    // Only under the answer section, to lift it above the riff.
    constexpr int kOrder[] = {0, 1, 2, 1};
    for (int bar = kSectionBars; bar < kBars; ++bar) {
        for (int step = 0; step < kStepsPerBar; ++step) {
            const Chord& chord = kChords[static_cast<std::size_t>(bar)];
            const int midi = chord.tones[static_cast<std::size_t>(kOrder[step % 4])] + 12;
            const std::size_t start = stepStart(bar * kStepsPerBar + step);
            const std::size_t length = room(loop, start, kSamplesPerStep);
            mixInto(loop, arpeggioBlip(midi, length), start, 0.08);
        }
    }
}

void addDrums(Signal& loop) {
    Xorshift noise(0xD2A11u);
    for (int bar = 0; bar < kBars; ++bar) {
        const bool riff = bar < kSectionBars;
        const bool fill = bar % kSectionBars == kSectionBars - 1;
        const DrumBar& pattern =
            riff ? (fill ? kRiffFill : kRiffDrums) : (fill ? kDriveFill : kDriveDrums);
        for (int step = 0; step < kStepsPerBar; ++step) {
            const std::size_t start = stepStart(bar * kStepsPerBar + step);
            const auto at = static_cast<std::size_t>(step);
            if (pattern.kick[at] != '.')
                mixInto(loop, kick(room(loop, start, samplesFor(0.22))), start, 0.7);
            if (pattern.snare[at] != '.') {
                const double level = pattern.snare[at] == 'x' ? 0.4 : 0.2;
                mixInto(loop, snare(noise, room(loop, start, samplesFor(0.16))), start, level);
            }
            if (pattern.hat[at] != '.') {
                const double level = pattern.hat[at] == 'x' ? 0.3 : 0.15;
                mixInto(loop, hat(noise, room(loop, start, samplesFor(0.05))), start, level);
            }
        }
    }
}

} // namespace

Signal renderTheme() {
    static_assert(stepSeconds(kBars * kStepsPerBar) >= 20.0 &&
                  stepSeconds(kBars * kStepsPerBar) <= 40.0);
    Signal theme(stepStart(kBars * kStepsPerBar), 0.0);
    addLead(theme);
    addBass(theme);
    addArpeggio(theme);
    addDrums(theme);
    normalisePeak(theme, kThemePeakDbfs);
    return theme;
}

} // namespace synth
