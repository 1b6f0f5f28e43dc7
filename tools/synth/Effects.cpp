#include "Effects.h"

#include "Levels.h"
#include "PulseOscillator.h"
#include "Shaping.h"
#include "StateVariableFilter.h"
#include "Xorshift.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace synth {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double timeOf(std::size_t index) {
    return static_cast<double>(index) / kSampleRate;
}

// Exponential glide from `from` to `to` as x goes 0..1: pitch moves evenly by ear.
double glide(double from, double to, double x) {
    return from * std::pow(to / from, x);
}

// Every effect ends here: click-free edges, its sharpest peaks limited, then
// the common peak level (see Levels.h).
Signal finish(Signal signal) {
    fadeEdges(signal, 0.003, 0.012);
    limitCrest(signal, kEffectMaxCrestDb);
    normalisePeak(signal, kEffectPeakDbfs);
    return signal;
}

// Noise through a band-pass whose centre follows `centreAt(x)` (x = 0..1 over
// the sound) and whose level follows `levelAt(x)`: the basis of every whoosh.
// Two filters in series give steeper skirts, so the sweep is heard as a pitch.
template <typename CentreFn, typename LevelFn>
Signal sweptNoise(double seconds, std::uint32_t seed, double q, CentreFn centreAt,
                  LevelFn levelAt) {
    Signal out = silence(seconds);
    Xorshift noise(seed);
    StateVariableFilter first;
    StateVariableFilter second;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(out.size());
        const double centre = centreAt(x);
        first.tune(centre, q);
        second.tune(centre, q);
        const double band = second.process(first.process(noise.nextBipolar()).bandPass).bandPass;
        out[i] = band * levelAt(x);
    }
    return out;
}

// A sine whose pitch drops quickly from `startHz` to `endHz`: the body of a punch.
Signal thump(double seconds, double startHz, double endHz, double pitchTau, double decayTau) {
    Signal out = silence(seconds);
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        const double frequency = endHz + (startHz - endHz) * std::exp(-t / pitchTau);
        out[i] = std::sin(kTwoPi * phase) * std::exp(-t / decayTau) * gate(t, seconds, 0.001, 0.0);
        phase += frequency / kSampleRate;
    }
    return out;
}

// A quick burst of filtered noise: the skin-and-glove part of a punch.
Signal noiseBurst(double seconds, std::uint32_t seed, double cutoffHz, double q, bool highPass,
                  double decayTau) {
    Signal out = silence(seconds);
    Xorshift noise(seed);
    StateVariableFilter filter;
    filter.tune(cutoffHz, q);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        const StateVariableFilter::Outputs o = filter.process(noise.nextBipolar());
        const double shaped = highPass ? o.highPass : o.bandPass;
        out[i] = shaped * std::exp(-t / decayTau) * gate(t, seconds, 0.0005, 0.0);
    }
    return out;
}

// Gentle saturation that rounds the peaks of the punches and makes them denser.
void saturate(Signal& signal, double drive) {
    for (double& sample : signal)
        sample = std::tanh(drive * sample);
}

// A struck, decaying sine partial starting at `start` seconds.
void addPartial(Signal& out, double start, double frequency, double level, double decayTau) {
    for (std::size_t i = samplesFor(start); i < out.size(); ++i) {
        const double t = timeOf(i) - start;
        out[i] += level * std::sin(kTwoPi * frequency * t) * std::exp(-t / decayTau) *
                  smoothRise(t / 0.002);
    }
}

// The hero steps aside: a medium whoosh that sweeps up and falls back, peaking early.
Signal heroDodge() {
    constexpr double kSeconds = 0.25;
    return finish(sweptNoise(
        kSeconds, 0x1D0D6E01u, 1.8,
        [](double x) { return glide(600.0, 2800.0, std::sin(std::numbers::pi * x * 0.9)); },
        [](double x) { return swell(x, 1.0, 0.4); }));
}

// The hero's punch: short, bright and rising, with a hard front.
Signal heroSwing() {
    constexpr double kSeconds = 0.2;
    Signal body = sweptNoise(
        kSeconds, 0x5A1E6001u, 3.0, [](double x) { return glide(900.0, 4800.0, x); },
        [](double x) { return x < 0.2 ? smoothRise(x / 0.2) : std::exp(-(x - 0.2) * 6.0); });
    const Signal air = sweptNoise(
        kSeconds, 0x5A1E6002u, 0.7, [](double x) { return glide(5000.0, 8000.0, x); },
        [](double x) { return swell(x, 1.0, 0.3) * 0.35; });
    mixInto(body, air, 0, 1.0);
    return finish(body);
}

// The opponent slips: a lower whoosh that falls, with a cloth-like flutter.
Signal opponentDodge() {
    constexpr double kSeconds = 0.25;
    return finish(sweptNoise(
        kSeconds, 0x0DD6E002u, 1.4, [](double x) { return glide(2200.0, 350.0, x); },
        [kSeconds](double x) {
            const double flutter = 0.75 + 0.25 * std::cos(kTwoPi * 28.0 * x * kSeconds);
            return swell(x, 1.0, 0.55) * flutter;
        }));
}

// The opponent's heavy swing: a slow, dark whoosh with a low rumble under it.
Signal opponentSwing() {
    constexpr double kSeconds = 0.3;
    Signal out = sweptNoise(
        kSeconds, 0x5EA71003u, 1.1,
        [](double x) { return glide(220.0, 1400.0, std::sin(std::numbers::pi * x)); },
        [](double x) { return swell(x, 1.0, 0.5); });
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(out.size());
        out[i] += 0.25 * std::sin(kTwoPi * phase) * swell(x, 1.0, 0.5);
        phase += glide(55.0, 80.0, std::sin(std::numbers::pi * x)) / kSampleRate;
    }
    return finish(out);
}

// The hero takes a blow: a deep, dull thud.
Signal heroHit() {
    constexpr double kSeconds = 0.3;
    Signal out = thump(kSeconds, 150.0, 45.0, 0.035, 0.09);
    mixInto(out, noiseBurst(kSeconds, 0x417E0001u, 900.0, 0.8, false, 0.03), 0, 0.9);
    saturate(out, 1.6);
    return finish(out);
}

// The opponent takes a blow: a brighter smack with a crack on top.
Signal opponentHit() {
    constexpr double kSeconds = 0.3;
    Signal out = thump(kSeconds, 240.0, 95.0, 0.025, 0.06);
    mixInto(out, noiseBurst(kSeconds, 0x417E0002u, 2600.0, 0.9, false, 0.02), 0, 1.6);
    mixInto(out, noiseBurst(kSeconds, 0x417E0003u, 5000.0, 0.7, true, 0.004), 0, 0.8);
    saturate(out, 2.2);
    return finish(out);
}

// Dizzy opponent: two warbling voices a third apart, sliding down together.
Signal opponentStunned() {
    constexpr double kSeconds = 0.8;
    Signal out = silence(kSeconds);
    double phaseLow = 0.0;
    double phaseHigh = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        const double x = t / kSeconds;
        const double wobble = std::sin(kTwoPi * 8.0 * t);
        // Wide vibrato (1.5 semitones) makes the warble cartoonish.
        const double low = glide(620.0, 380.0, x) * std::exp2(1.5 * wobble / 12.0);
        const double high = low * 1.26 * std::exp2(-0.8 * wobble / 12.0);
        const double voiceLow = std::sin(kTwoPi * phaseLow) + 0.3 * std::sin(3 * kTwoPi * phaseLow);
        const double voiceHigh = std::sin(kTwoPi * phaseHigh);
        const double tremolo = 0.75 + 0.25 * wobble;
        out[i] = (voiceLow + 0.5 * voiceHigh) * tremolo * gate(t, kSeconds, 0.02, 0.15);
        phaseLow = std::fmod(phaseLow + low / kSampleRate, 1.0);
        phaseHigh = std::fmod(phaseHigh + high / kSampleRate, 1.0);
    }
    return finish(out);
}

// The wind-up: a buzzy tone climbing over the whole charge, trembling faster
// and growing louder as the punch gets closer.
Signal opponentCharge() {
    constexpr double kSeconds = 0.9;
    constexpr int kHarmonics = 10;
    Signal out = silence(kSeconds);
    double phase = 0.0;
    double tremoloPhase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        const double x = t / kSeconds;
        double saw = 0.0;
        for (int k = 1; k <= kHarmonics; ++k)
            saw += std::sin(kTwoPi * k * phase) / k;
        const double tremolo = 0.8 + 0.2 * std::sin(kTwoPi * tremoloPhase);
        const double level = 0.4 + 0.6 * x;
        out[i] = saw * tremolo * level * gate(t, kSeconds, 0.01, 0.04);
        phase = std::fmod(phase + glide(110.0, 660.0, x) / kSampleRate, 1.0);
        tremoloPhase = std::fmod(tremoloPhase + (6.0 + 16.0 * x) / kSampleRate, 1.0);
    }
    return finish(out);
}

// The opponent's tell: a bright two-note chime, a fifth upward.
Signal opponentTell() {
    constexpr double kSeconds = 0.4;
    Signal out = silence(kSeconds);
    const double notes[] = {noteFrequency(88), noteFrequency(95)}; // E6, B6
    const double starts[] = {0.0, 0.11};
    for (int n = 0; n < 2; ++n) {
        addPartial(out, starts[n], notes[n], 1.0, 0.22);
        addPartial(out, starts[n], notes[n] * 2.0, 0.35, 0.1);
        addPartial(out, starts[n], notes[n] * 3.01, 0.15, 0.05);
    }
    return finish(out);
}

// The end-of-fight bell: three strikes on a bright bell whose inharmonic
// partials keep ringing and beating under the next strike.
Signal tko() {
    constexpr double kSeconds = 0.98;
    struct Mode {
        double ratio;
        double level;
        double decayTau;
    };
    constexpr Mode kModes[] = {
        {1.00, 1.00, 0.90}, {1.59, 0.60, 0.55}, {2.14, 0.45, 0.35},
        {2.66, 0.35, 0.25}, {3.24, 0.25, 0.18}, {4.11, 0.15, 0.10},
    };
    constexpr double kFundamentalHz = 830.0;
    constexpr double kStrikes[] = {0.0, 0.27, 0.54};
    Signal out = silence(kSeconds);
    for (double strike : kStrikes) {
        for (const Mode& mode : kModes) {
            addPartial(out, strike, kFundamentalHz * mode.ratio, mode.level, mode.decayTau);
            // A slightly detuned twin makes the slow beating of a real bell.
            addPartial(out, strike, kFundamentalHz * mode.ratio + 2.3, mode.level * 0.4,
                       mode.decayTau);
        }
        const Signal clang = noiseBurst(0.03, 0xB311u + static_cast<std::uint32_t>(strike * 100),
                                        4200.0, 1.5, false, 0.004);
        mixInto(out, clang, samplesFor(strike), 1.5);
    }
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] *= gate(timeOf(i), kSeconds, 0.0, 0.08);
    return finish(out);
}

// The reward: four quick square-wave blips climbing a major arpeggio.
Signal successfulDodge() {
    constexpr double kSeconds = 0.4;
    constexpr double kNotes[] = {84, 88, 91, 96}; // C6 E6 G6 C7
    constexpr double kSpacing = 0.06;
    Signal out = silence(kSeconds);
    for (int n = 0; n < 4; ++n) {
        const bool last = n == 3;
        const double start = n * kSpacing;
        const double length = last ? kSeconds - start : kSpacing;
        const double decayTau = last ? 0.09 : 0.05;
        PulseOscillator square(0.5);
        const std::size_t first = samplesFor(start);
        for (std::size_t i = first; i < out.size() && i < first + samplesFor(length); ++i) {
            const double t = timeOf(i) - start;
            // Each blip chirps up a little as it starts.
            const double frequency = noteFrequency(kNotes[n] - 0.4 * std::exp(-t / 0.008));
            const double sparkle = 0.3 * std::sin(kTwoPi * 2.0 * frequency * t);
            out[i] += (0.5 * square.next(frequency) + sparkle) * std::exp(-t / decayTau) *
                      gate(t, length, 0.002, 0.006);
        }
    }
    return finish(out);
}

} // namespace

const std::vector<EffectRecipe>& effectRecipes() {
    static const std::vector<EffectRecipe> recipes = {
        {"hero-dodge", heroDodge},
        {"hero-hit", heroHit},
        {"hero-swing", heroSwing},
        {"opponent-dodge", opponentDodge},
        {"opponent-hit", opponentHit},
        {"opponent-swing", opponentSwing},
        {"opponent-stunned", opponentStunned},
        {"opponent-charge", opponentCharge},
        {"opponent-tell", opponentTell},
        {"tko", tko},
        {"successful-dodge", successfulDodge},
    };
    return recipes;
}

} // namespace synth
