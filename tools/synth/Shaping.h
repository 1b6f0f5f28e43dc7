#pragma once

#include "Signal.h"

#include <cstddef>

namespace synth {

// Number of samples in the given duration, rounded to the nearest sample.
std::size_t samplesFor(double seconds);

// A silent signal of the given duration.
Signal silence(double seconds);

// Frequency of a MIDI note number (69 is A4 at 440 Hz); fractional notes bend.
double noteFrequency(double midiNote);

// A smooth 0..1 rise for x in 0..1 (half a cosine): it starts and ends with
// zero slope, so envelopes built from it never click.
double smoothRise(double x);

// 0 before the start, a smooth rise over `attack` seconds, 1 in between and a
// smooth fall that reaches 0 exactly at `length`. Used to gate every note.
double gate(double t, double length, double attack, double release);

// A swell that rises smoothly to 1 at `peakAt` (fraction 0..1 of `length`) and
// falls smoothly back to 0 at `length`.
double swell(double t, double length, double peakAt);

// Largest absolute sample value.
double peakOf(const Signal& signal);

// Root-mean-square level of the whole signal (0 for an empty one).
double rmsOf(const Signal& signal);

// Scales the signal so that its largest sample sits at the given level in dBFS.
void normalisePeak(Signal& signal, double peakDbfs);

// A look-ahead peak limiter: no sample leaves louder than `ceiling`. The gain
// falls smoothly over the 2 ms before a peak and recovers within about 5 ms
// after it, so it shaves spikes and barely reshapes the sound's envelope.
void limitPeaks(Signal& signal, double ceiling);

// RMS level of the loudest stretch of the given length (the whole signal
// when it is shorter): how loud a short sound is heard.
double loudestRmsOf(const Signal& signal, double seconds);

// Limits the peaks (as limitPeaks) just enough that the loudest sample stands
// at most `maxCrestDb` above the RMS of the loudest 20 ms; a signal already
// within it is left as it is. Rounds off lone spikes that would otherwise set
// the level of a whole sound once it is normalised by its peak.
void limitCrest(Signal& signal, double maxCrestDb);

// Short smooth fades at both ends so the sound starts and stops without a click.
void fadeEdges(Signal& signal, double fadeInSeconds, double fadeOutSeconds);

// Adds `source` into `target` starting at sample `offset`, dropping what falls
// beyond the end of `target`.
void mixInto(Signal& target, const Signal& source, std::size_t offset, double gain);

} // namespace synth
