// The background music: a small composition routine and the tunes it is fed.
#pragma once

#include <cstdint>
#include <vector>

#include "midi.h"

namespace tune {

struct TuneFile {
    const char* szFile;  // name in dist/, below 32 characters
    const char* szTitle; // the sequence name inside the file
    double bpm;
    std::vector<uint8_t> aBytes; // the Standard MIDI File
};

// Composes every tune. Deterministic: the same files on every run.
std::vector<TuneFile> ComposeAll();

} // namespace tune
