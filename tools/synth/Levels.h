#pragma once

namespace synth {

// The levels of the finished files, chosen together. The game plays up to
// three effects at once (a punch into the tell: the swing, the hit and the
// stun) over the theme, so three effects' peaks and the theme's add up to
// 3 * 10^(-12/20) + 10^(-14/20) = 0.95 of full scale, wherever they fall.

// Every effect is normalised to this peak (dBFS).
inline constexpr double kEffectPeakDbfs = -12.0;

// The theme is normalised to this peak (dBFS); its RMS is about 15 dB lower.
inline constexpr double kThemePeakDbfs = -14.0;

// An effect's loudest sample stands at most this far above the RMS of its
// loudest 20 ms (dB); a limiter shaves the spikes of the noisier ones, so
// that a lone spike does not hold a whole effect down.
inline constexpr double kEffectMaxCrestDb = 8.0;

} // namespace synth
