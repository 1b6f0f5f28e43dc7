#include "WavWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <string_view>
#include <system_error>

namespace synth {

namespace {

constexpr std::uint16_t kChannels = 1;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::uint16_t kBytesPerFrame = kChannels * kBitsPerSample / 8;

// WAV is little-endian whatever the host is, so bytes are written one by one.
void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i)
        out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFFu));
}

void putTag(std::vector<std::uint8_t>& out, std::string_view tag) {
    out.insert(out.end(), tag.begin(), tag.end());
}

} // namespace

std::vector<std::int16_t> toPcm16(const Signal& signal) {
    std::vector<std::int16_t> pcm;
    pcm.reserve(signal.size());
    for (double sample : signal) {
        const double scaled = std::clamp(std::round(sample * 32767.0), -32768.0, 32767.0);
        pcm.push_back(static_cast<std::int16_t>(scaled));
    }
    return pcm;
}

std::vector<std::uint8_t> encodeWav(const Signal& signal) {
    const std::vector<std::int16_t> pcm = toPcm16(signal);
    const auto dataBytes = static_cast<std::uint32_t>(pcm.size() * kBytesPerFrame);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);

    putTag(out, "RIFF");
    putLittleEndian(out, 36 + dataBytes, 4);
    putTag(out, "WAVE");

    putTag(out, "fmt ");
    putLittleEndian(out, 16, 4);
    putLittleEndian(out, 1, 2); // PCM
    putLittleEndian(out, kChannels, 2);
    putLittleEndian(out, kSampleRate, 4);
    putLittleEndian(out, kSampleRate * kBytesPerFrame, 4);
    putLittleEndian(out, kBytesPerFrame, 2);
    putLittleEndian(out, kBitsPerSample, 2);

    putTag(out, "data");
    putLittleEndian(out, dataBytes, 4);
    for (std::int16_t sample : pcm)
        putLittleEndian(out, static_cast<std::uint16_t>(sample), 2);
    return out;
}

bool writeWav(const std::filesystem::path& path, const Signal& signal) {
    const std::vector<std::uint8_t> bytes = encodeWav(signal);
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file)
            return false;
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file)
            return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

bool writeAudio(const std::filesystem::path& root, const std::string& name, const Signal& signal,
                const char* program) {
    const std::filesystem::path directory = root / "audio";
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        std::cerr << program << ": cannot create " << directory.string() << ": " << error.message()
                  << '\n';
        return false;
    }
    const std::filesystem::path path = directory / (name + ".wav");
    if (!writeWav(path, signal)) {
        std::cerr << program << ": cannot write " << path.string() << '\n';
        return false;
    }
    return true;
}

} // namespace synth
