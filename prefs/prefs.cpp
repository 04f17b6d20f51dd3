#include "prefs/prefs.h"

#include <cstring>

#include "engine/game.h"

Prefs prefs;

void PrefsSetDefaults() {
    prefs.nSpeed = 1;
    prefs.bSound = 1;
    prefs.bMusic = 0;
    prefs.bContinuous = 0;
    prefs.bUseMenu = 1;
    prefs.bPatterns = 1;
    prefs.szLastPlayer[0] = '\0';
    prefs.nZoom = 0; // the largest that fits
    prefs.bFullScreen = 0;
    prefs.nMusicDevice = 0; // automatic
}

int32_t SpeedNormalize(int32_t nRead) {
    if (nRead <= 0) return 0;
    if (nRead >= 3) return 3;
    return nRead;
}

void ApplySpeed() {
    int32_t nStep = 2 * prefs.nSpeed;
    game.nFallStep = nStep < 1 ? 1 : nStep;
}
