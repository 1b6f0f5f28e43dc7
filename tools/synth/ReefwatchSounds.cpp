// reefwatch_synth: renders the sounds of the example game in examples/reefwatch
// from the same building blocks as mw_synth.
//
//   reefwatch_synth <output-directory>    writes <output-directory>/audio/reefwatch-<name>.wav
//
// The output is the same, byte for byte, on every run.

#include "PulseOscillator.h"
#include "Shaping.h"
#include "Signal.h"
#include "StateVariableFilter.h"
#include "WavWriter.h"
#include "Xorshift.h"

#include <cmath>
#include <cstddef>
#include <iostream>
#include <numbers>
#include <string>

namespace {

using synth::Signal;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double timeOf(std::size_t index) {
    return static_cast<double>(index) / synth::kSampleRate;
}

Signal finish(Signal signal) {
    synth::fadeEdges(signal, 0.003, 0.015);
    synth::normalisePeak(signal, -1.0);
    return signal;
}

// A flare leaves the lamp: a hiss that climbs, with a crackle of sparks in it.
Signal flare() {
    constexpr double kSeconds = 0.4;
    Signal out = synth::silence(kSeconds);
    synth::Xorshift noise(0x0F1A2E01u);
    synth::StateVariableFilter band;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(out.size());
        band.tune(700.0 * std::pow(9.0, x), 2.2);
        const double hiss = band.process(noise.nextBipolar()).bandPass;
        const double spark = (noise.next() % 900u == 0u) ? 0.8 : 0.0;
        out[i] = (hiss + spark) * synth::swell(x, 1.0, 0.25);
    }
    return finish(out);
}

// A boat has seen the flare: a small ship's bell, struck once.
Signal bell() {
    constexpr double kSeconds = 0.9;
    Signal out = synth::silence(kSeconds);
    const double base = synth::noteFrequency(81.0);
    const double partials[][3] = {{1.0, 1.0, 0.35}, {2.76, 0.45, 0.18}, {5.40, 0.25, 0.08}};
    for (const auto& partial : partials)
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double t = timeOf(i);
            out[i] += partial[1] * std::sin(kTwoPi * base * partial[0] * t) *
                      std::exp(-t / partial[2]) * synth::smoothRise(t / 0.002);
        }
    return finish(out);
}

// A boat is home: two low notes of a horn, through a soft low-pass.
Signal horn() {
    constexpr double kSeconds = 0.95;
    Signal out = synth::silence(kSeconds);
    synth::PulseOscillator reed(0.3);
    synth::StateVariableFilter tone;
    tone.tune(900.0, 0.8);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        const bool second = t >= 0.4;
        const double note = second ? synth::noteFrequency(50.0) : synth::noteFrequency(45.0);
        const double level =
            second ? synth::gate(t - 0.4, 0.55, 0.03, 0.2) : synth::gate(t, 0.38, 0.03, 0.06);
        out[i] = tone.process(reed.next(note)).lowPass * level;
    }
    return finish(out);
}

// A boat on the reef: a dull blow of timber on rock and a spray of splinters.
Signal crash() {
    constexpr double kSeconds = 0.8;
    Signal out = synth::silence(kSeconds);
    synth::Xorshift noise(0x0C4A5E01u);
    synth::StateVariableFilter spray;
    spray.tune(1800.0, 0.9);
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        const double frequency = 40.0 + 110.0 * std::exp(-t / 0.05);
        const double thud = std::sin(kTwoPi * phase) * std::exp(-t / 0.18);
        phase += frequency / synth::kSampleRate;
        const double splinters = spray.process(noise.nextBipolar()).bandPass * std::exp(-t / 0.25);
        out[i] = (thud + 0.9 * splinters) * synth::smoothRise(t / 0.001);
    }
    return finish(out);
}

// Notes played one after another on a pulse voice: the night's end.
Signal tune(const double (*notes)[2], std::size_t count, double duty) {
    double total = 0.0;
    for (std::size_t n = 0; n < count; ++n)
        total += notes[n][1];
    Signal out = synth::silence(total);
    synth::PulseOscillator voice(duty);
    double start = 0.0;
    for (std::size_t n = 0; n < count; ++n) {
        const double length = notes[n][1];
        const double frequency = synth::noteFrequency(notes[n][0]);
        for (std::size_t i = synth::samplesFor(start);
             i < out.size() && i < synth::samplesFor(start + length); ++i) {
            const double t = timeOf(i) - start;
            out[i] = voice.next(frequency) * synth::gate(t, length, 0.005, 0.04) *
                     std::exp(-t / (length * 1.5));
        }
        start += length;
    }
    // A pulse wave is loud for its peak: these sit lower than the effects.
    Signal finished = finish(out);
    synth::normalisePeak(finished, -6.0);
    return finished;
}

// Dawn and a full harbour: a rising call.
Signal win() {
    const double notes[][2] = {{72.0, 0.11}, {76.0, 0.11}, {79.0, 0.11}, {84.0, 0.45}};
    return tune(notes, 4, 0.25);
}

// The third wreck: a slow fall.
Signal lose() {
    const double notes[][2] = {{67.0, 0.2}, {63.0, 0.2}, {60.0, 0.2}, {55.0, 0.4}};
    return tune(notes, 4, 0.5);
}

struct Recipe {
    const char* name;
    Signal (*render)();
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: reefwatch_synth <output-directory>\n";
        return 2;
    }
    const Recipe recipes[] = {{"flare", flare}, {"bell", bell}, {"horn", horn},
                              {"crash", crash}, {"win", win},   {"lose", lose}};
    for (const Recipe& recipe : recipes) {
        if (!synth::writeAudio(argv[1], "reefwatch-" + std::string(recipe.name), recipe.render(),
                               "reefwatch_synth"))
            return 1;
    }
    return 0;
}
