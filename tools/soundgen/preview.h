// The tunes rendered by the game's own synthesizer (audio/synth.h), to check
// them by measuring and by ear: a 16-bit stereo WAV and a loudness profile,
// or the speed of rendering.
#pragma once

#include <string>
#include <vector>

namespace preview {

// Renders the first seconds of the file (0: all of it) to wavPath.
// Returns 0 on success, else a process exit code.
int Render(const std::string& midPath, const std::string& wavPath, double seconds);

// Renders each file whole on this thread and prints how many times faster
// than real time that went. Returns 0 when every file could be read.
int Bench(const std::vector<std::string>& midPaths);

} // namespace preview
