#pragma once

namespace synth {

// A pulse wave with a fixed duty cycle, band-limited with polynomial steps so
// that high notes do not alias, and centred so that it carries no DC.
class PulseOscillator {
public:
    // duty is the fraction of each period spent high, 0 < duty < 1.
    explicit PulseOscillator(double duty);

    // Advances by one sample at the given frequency and returns -1..+1 (about).
    double next(double frequencyHz);

private:
    double m_duty;
    double m_phase = 0.0;
};

} // namespace synth
