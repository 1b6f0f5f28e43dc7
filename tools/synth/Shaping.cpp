#include "Shaping.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>

namespace synth {

std::size_t samplesFor(double seconds) {
    return static_cast<std::size_t>(std::lround(std::max(seconds, 0.0) * kSampleRate));
}

Signal silence(double seconds) {
    return Signal(samplesFor(seconds), 0.0);
}

double noteFrequency(double midiNote) {
    return 440.0 * std::exp2((midiNote - 69.0) / 12.0);
}

double smoothRise(double x) {
    const double clamped = std::clamp(x, 0.0, 1.0);
    return 0.5 - 0.5 * std::cos(std::numbers::pi * clamped);
}

double gate(double t, double length, double attack, double release) {
    if (t < 0.0 || t >= length)
        return 0.0;
    double level = 1.0;
    if (attack > 0.0 && t < attack)
        level = smoothRise(t / attack);
    const double untilEnd = length - t;
    if (release > 0.0 && untilEnd < release)
        level = std::min(level, smoothRise(untilEnd / release));
    return level;
}

double swell(double t, double length, double peakAt) {
    if (t < 0.0 || t >= length || length <= 0.0)
        return 0.0;
    const double peakTime = std::clamp(peakAt, 0.01, 0.99) * length;
    if (t < peakTime)
        return smoothRise(t / peakTime);
    return smoothRise((length - t) / (length - peakTime));
}

double peakOf(const Signal& signal) {
    double peak = 0.0;
    for (double sample : signal)
        peak = std::max(peak, std::abs(sample));
    return peak;
}

double rmsOf(const Signal& signal) {
    if (signal.empty())
        return 0.0;
    double power = 0.0;
    for (double sample : signal)
        power += sample * sample;
    return std::sqrt(power / static_cast<double>(signal.size()));
}

void normalisePeak(Signal& signal, double peakDbfs) {
    const double peak = peakOf(signal);
    if (peak <= 0.0)
        return;
    const double scale = std::pow(10.0, peakDbfs / 20.0) / peak;
    for (double& sample : signal)
        sample *= scale;
}

void limitPeaks(Signal& signal, double ceiling) {
    const std::size_t count = signal.size();
    const std::size_t reach = samplesFor(0.001); // a 2 ms window around each sample
    const double recovery = 1.0 - std::exp(-1.0 / (0.005 * kSampleRate));
    // The gain each sample needs on its own, 1 beyond the ends.
    const auto needed = [&](std::size_t padded) {
        if (padded < 2 * reach || padded >= count + 2 * reach)
            return 1.0;
        const double magnitude = std::abs(signal[padded - 2 * reach]);
        return magnitude > ceiling ? ceiling / magnitude : 1.0;
    };
    // least[p]: the smallest gain needed within `reach` of sample p - reach,
    // for p over the signal and `reach` either side (a sliding minimum).
    std::vector<double> least(count + 2 * reach);
    std::deque<std::size_t> window;
    for (std::size_t padded = 0; padded < count + 4 * reach; ++padded) {
        while (!window.empty() && needed(window.back()) >= needed(padded))
            window.pop_back();
        window.push_back(padded);
        if (padded < 2 * reach)
            continue;
        const std::size_t p = padded - 2 * reach;
        while (window.front() < p)
            window.pop_front();
        least[p] = needed(window.front());
    }
    // The mean of the minima over the same window: every minimum in it saw
    // the sample, so the mean is no more than the sample needs, and it ramps.
    double sum = 0.0;
    for (std::size_t p = 0; p < 2 * reach; ++p)
        sum += least[p];
    double gain = 1.0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += least[i + 2 * reach];
        const double smooth = sum / static_cast<double>(2 * reach + 1);
        sum -= least[i];
        gain = std::min(smooth, gain + (1.0 - gain) * recovery);
        signal[i] *= gain;
    }
}

double loudestRmsOf(const Signal& signal, double seconds) {
    const std::size_t length =
        std::min(std::max<std::size_t>(samplesFor(seconds), 1), signal.size());
    if (length == 0)
        return 0.0;
    double power = 0.0;
    for (std::size_t i = 0; i < length; ++i)
        power += signal[i] * signal[i];
    double loudest = power;
    for (std::size_t i = length; i < signal.size(); ++i) {
        power += signal[i] * signal[i] - signal[i - length] * signal[i - length];
        loudest = std::max(loudest, power);
    }
    return std::sqrt(std::max(loudest, 0.0) / static_cast<double>(length));
}

void limitCrest(Signal& signal, double maxCrestDb) {
    const double ratio = std::pow(10.0, maxCrestDb / 20.0);
    const auto crestOf = [](const Signal& s) { return peakOf(s) / loudestRmsOf(s, 0.02); };
    if (signal.empty() || peakOf(signal) <= 0.0 || crestOf(signal) <= ratio)
        return;
    // The crest shrinks as the ceiling comes down: bisect for the highest
    // ceiling that meets it.
    double low = 0.0;
    double high = peakOf(signal);
    Signal best = signal;
    for (int step = 0; step < 40; ++step) {
        const double ceiling = 0.5 * (low + high);
        Signal trial = signal;
        limitPeaks(trial, ceiling);
        if (crestOf(trial) <= ratio) {
            low = ceiling;
            best = std::move(trial);
        } else {
            high = ceiling;
        }
    }
    signal = std::move(best);
}

void fadeEdges(Signal& signal, double fadeInSeconds, double fadeOutSeconds) {
    const std::size_t count = signal.size();
    const std::size_t fadeIn = std::min(samplesFor(fadeInSeconds), count);
    const std::size_t fadeOut = std::min(samplesFor(fadeOutSeconds), count);
    // The first and last samples become exactly zero.
    for (std::size_t i = 0; i < fadeIn; ++i)
        signal[i] *= smoothRise(static_cast<double>(i) / static_cast<double>(fadeIn));
    for (std::size_t i = 0; i < fadeOut; ++i)
        signal[count - 1 - i] *= smoothRise(static_cast<double>(i) / static_cast<double>(fadeOut));
}

void mixInto(Signal& target, const Signal& source, std::size_t offset, double gain) {
    if (offset >= target.size())
        return;
    const std::size_t count = std::min(source.size(), target.size() - offset);
    for (std::size_t i = 0; i < count; ++i)
        target[offset + i] += gain * source[i];
}

} // namespace synth
