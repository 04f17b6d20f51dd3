// What the browser's platform files share: sound, music, storage and the
// main loop's repaint. Each lives in a web/*_web.cpp file of its own.
#pragma once

#include <cstdint>

#include "engine/host.h"

// --- Sound (audio_web.cpp) -------------------------------------------------------
// Plays an effect by name unless the Sound option is off; stops the one before.
// Returns its length in milliseconds when it plays, else 0.
int WebPlaySound(const char* szName, int bAsync);
int WebBeep();
// 1 when the page can make sound at all (a Web Audio context exists).
int WebHasAudio();
// Installs the built-in synthesizer as the music's device.
void WebAudioInstall();
// Lists the tunes of the data folder; returns how many.
int WebMusicFindFiles();
// Sends the end-of-track notice once the page has played a track's end.
void WebMusicPoll(HostWindow hwndNotify);

// --- Storage (storage_web.cpp) ----------------------------------------------------
int WebLoadHighScores();
int WebSaveHighScores();

// --- The main loop (host_web.cpp) --------------------------------------------------
// The whole picture is painted again before the next step.
void WebRepaint();
// The seed of the rand() sequence: the clock, or the page's fixed test seed.
int64_t WebSeed();

extern "C" int WebTick();
