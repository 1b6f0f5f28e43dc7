#include "Shaping.h"

#include <algorithm>
#include <cmath>
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

void normalisePeak(Signal& signal, double peakDbfs) {
    const double peak = peakOf(signal);
    if (peak <= 0.0)
        return;
    const double scale = std::pow(10.0, peakDbfs / 20.0) / peak;
    for (double& sample : signal)
        sample *= scale;
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
