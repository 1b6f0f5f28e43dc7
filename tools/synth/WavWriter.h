#pragma once

#include "Signal.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace synth {

// Converts -1..+1 samples to 16-bit PCM, rounding to nearest and saturating.
std::vector<std::int16_t> toPcm16(const Signal& signal);

// Builds a complete RIFF/WAVE file image: 16-bit PCM, mono, kSampleRate.
std::vector<std::uint8_t> encodeWav(const Signal& signal);

// Writes the WAV file through a temporary name and a rename, so that a failed
// run never leaves a half-written file looking up to date. Returns false on
// any I/O error.
bool writeWav(const std::filesystem::path& path, const Signal& signal);

// Writes the signal as <root>/audio/<name>.wav, making the folder when it is
// missing. On a failure it says what failed on standard error, after the
// program's name, and returns false.
bool writeAudio(const std::filesystem::path& root, const std::string& name, const Signal& signal,
                const char* program);

} // namespace synth
