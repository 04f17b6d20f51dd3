// A host for tests that run the engine's start-up (GameInit) on Win32: it
// reads no music folder and no preferences file, loads no credits bitmap and
// starts no play timer.
#pragma once

#include "engine/host.h"

inline void HostQuietStartup(GameHost& host) {
    host.MIDIFindFiles = [] { return 0; };
    host.LoadPrefs = [] { return 0; };
    host.LoadCreditsBitmap = [] { return 0; };
    host.StartPlayTimer = [] { return 0; };
}
