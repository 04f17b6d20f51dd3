// A tiny General MIDI renderer, only to check the tunes by measuring: it
// turns a Standard MIDI File into a mono WAV and prints its loudness profile.
#pragma once

#include <string>

namespace preview {

// Renders the first seconds of the file (0: all of it) to wavPath.
// Returns 0 on success, else a process exit code.
int Render(const std::string& midPath, const std::string& wavPath, double seconds);

} // namespace preview
