#pragma once

namespace synth {

// A two-pole state variable filter in trapezoidal form: it stays stable while
// its cutoff is swept every sample, which the whooshes rely on.
class StateVariableFilter {
public:
    struct Outputs {
        double lowPass;
        double bandPass;
        double highPass;
    };

    // Sets the cutoff (Hz, clamped below Nyquist) and the resonance Q (> 0).
    void tune(double cutoffHz, double q);
    Outputs process(double input);

private:
    double m_g = 0.0;
    double m_k = 1.0;
    double m_a1 = 1.0;
    double m_a2 = 0.0;
    double m_a3 = 0.0;
    double m_state1 = 0.0;
    double m_state2 = 0.0;
};

} // namespace synth
