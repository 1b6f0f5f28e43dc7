// mw_synth: renders the game's sound effects and theme music as WAV files.
//
//   mw_synth <output-directory>    writes <output-directory>/audio/<name>.wav
//
// The output is the same, byte for byte, on every run.

#include "Effects.h"
#include "Theme.h"
#include "WavWriter.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>

namespace {

bool writeOne(const std::filesystem::path& directory, std::string_view name,
              const synth::Signal& signal) {
    const std::filesystem::path path = directory / (std::string(name) + ".wav");
    if (!synth::writeWav(path, signal)) {
        std::cerr << "mw_synth: cannot write " << path.string() << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: mw_synth <output-directory>\n";
        return 2;
    }
    const std::filesystem::path audioDirectory = std::filesystem::path(argv[1]) / "audio";
    std::error_code error;
    std::filesystem::create_directories(audioDirectory, error);
    if (error) {
        std::cerr << "mw_synth: cannot create " << audioDirectory.string() << ": "
                  << error.message() << '\n';
        return 1;
    }
    try {
        for (const synth::EffectRecipe& effect : synth::effectRecipes()) {
            if (!writeOne(audioDirectory, effect.name, effect.render()))
                return 1;
        }
        if (!writeOne(audioDirectory, synth::kThemeName, synth::renderTheme()))
            return 1;
    } catch (const std::exception& failure) {
        std::cerr << "mw_synth: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}
