// mw_synth: renders the game's sound effects and theme music as WAV files.
//
//   mw_synth <output-directory>    writes <output-directory>/audio/<name>.wav
//
// The output is the same, byte for byte, on every run.

#include "Effects.h"
#include "Theme.h"
#include "WavWriter.h"

#include <exception>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: mw_synth <output-directory>\n";
        return 2;
    }
    try {
        for (const synth::EffectRecipe& effect : synth::effectRecipes()) {
            if (!synth::writeAudio(argv[1], std::string(effect.name), effect.render(), "mw_synth"))
                return 1;
        }
        if (!synth::writeAudio(argv[1], std::string(synth::kThemeName), synth::renderTheme(),
                               "mw_synth"))
            return 1;
    } catch (const std::exception& failure) {
        std::cerr << "mw_synth: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}
