// The gamepad's buttons as the keyboard's keys.
#include "engine/pad.h"

#include "engine/game.h"
#include "engine/play.h"

PadInput pad = {0, 0, PAD_TITLE, 0, 0, 500, 33};

namespace {

enum {
    IN_TITLE = 1 << PAD_TITLE,
    IN_PLAY = 1 << PAD_PLAY,
    IN_DIALOG = 1 << PAD_DIALOG,
    IN_LIST = 1 << PAD_LIST,
    IN_MENU = 1 << PAD_MENU,
    IN_DIALOGS = IN_DIALOG | IN_LIST,
};

struct PadMapping {
    uint16_t wButton;
    int32_t nContexts; // IN_* where it applies
    PadKey key;
};

// In play the pad is the arrows, Space and the menu key; in the dialogs the
// D-pad is Tab and Shift+Tab between controls, the arrows inside a list or a
// group of radio buttons, A Enter, B Escape and X Space (it ticks a box).
const PadMapping kMappings[] = {
    {PAD_LEFT, IN_PLAY | IN_MENU, {KEY_LEFT, 0}},
    {PAD_LEFT, IN_DIALOGS, {KEY_TAB, 1}},
    {PAD_RIGHT, IN_PLAY | IN_MENU, {KEY_RIGHT, 0}},
    {PAD_RIGHT, IN_DIALOGS, {KEY_TAB, 0}},
    {PAD_UP, IN_PLAY | IN_LIST | IN_MENU, {KEY_UP, 0}},
    {PAD_UP, IN_DIALOG, {KEY_TAB, 1}},
    {PAD_DOWN, IN_PLAY | IN_LIST | IN_MENU, {KEY_DOWN, 0}},
    {PAD_DOWN, IN_DIALOG, {KEY_TAB, 0}},
    {PAD_A, IN_PLAY, {KEY_UP, 0}},
    {PAD_A, IN_TITLE | IN_DIALOGS | IN_MENU, {KEY_RETURN, 0}},
    {PAD_B, IN_PLAY, {KEY_UP, 0}},
    {PAD_B, IN_DIALOGS | IN_MENU, {KEY_ESCAPE, 0}},
    {PAD_X, IN_PLAY, {KEY_DOWN, 0}},
    {PAD_X, IN_DIALOGS, {KEY_SPACE, 0}},
    {PAD_START, IN_PLAY, {KEY_SPACE, 0}},
    {PAD_START, IN_TITLE, {KEY_RETURN, 0}},
    {PAD_BACK, IN_TITLE | IN_PLAY, {PAD_KEY_MENU, 0}},
};

// The keys of the buttons in wPressed, in the table's order.
int PadKeysOf(uint16_t wPressed, int nContext, PadKey* aKey) {
    int n = 0;
    for (const PadMapping& m : kMappings) {
        if (!(wPressed & m.wButton) || !(m.nContexts & (1 << nContext))) continue;
        if (n < PAD_MAX_KEYS) aKey[n++] = m.key;
    }
    return n;
}

// The direction to repeat: the last one pressed, as the keyboard repeats the
// last key pressed.
uint16_t PadLastDirection(uint16_t wPressed) {
    static const uint16_t kOrder[] = {PAD_RIGHT, PAD_LEFT, PAD_DOWN, PAD_UP};
    for (uint16_t w : kOrder)
        if (wPressed & w) return w;
    return 0;
}

} // namespace

int PadRepeatDelayMs(int nDelaySetting) {
    if (nDelaySetting < 0) nDelaySetting = 0;
    if (nDelaySetting > 3) nDelaySetting = 3;
    return 250 * (nDelaySetting + 1);
}

int PadRepeatPeriodMs(int nSpeedSetting) {
    if (nSpeedSetting < 0) nSpeedSetting = 0;
    if (nSpeedSetting > 31) nSpeedSetting = 31;
    int nTenthsPerSecond = 25 + nSpeedSetting * 275 / 31;
    return 10000 / nTenthsPerSecond;
}

void PadSetRepeat(int nDelaySetting, int nSpeedSetting) {
    pad.nDelayMs = PadRepeatDelayMs(nDelaySetting);
    pad.nPeriodMs = PadRepeatPeriodMs(nSpeedSetting);
}

uint16_t PadButtons(const PadReading* pReading) {
    if (!pReading->bConnected) return 0;
    uint16_t w = pReading->wButtons;
    if (pReading->nStickX < -PAD_STICK_DEAD_ZONE) w |= PAD_LEFT;
    if (pReading->nStickX > PAD_STICK_DEAD_ZONE) w |= PAD_RIGHT;
    return w;
}

void PadForget() {
    pad.bKnown = 0;
    pad.wHeld = 0;
    pad.wRepeat = 0;
}

int PadUpdate(const PadReading* pReading, int nContext, uint32_t dwNow, PadKey* aKey) {
    if (!pReading->bConnected) {
        PadForget();
        return 0;
    }
    uint16_t wNow = PadButtons(pReading);
    uint16_t wPressed = pad.bKnown ? (uint16_t)(wNow & ~pad.wHeld) : 0;
    // A held direction repeats only where it was pressed: a dialog that opens
    // under a held D-pad is not stepped through.
    if (nContext != pad.nContext || !(wNow & pad.wRepeat)) pad.wRepeat = 0;
    uint16_t wRepeated = 0;
    if (uint16_t wDirection = PadLastDirection(wPressed)) {
        pad.wRepeat = wDirection;
        pad.dwNextRepeat = dwNow + (uint32_t)pad.nDelayMs;
    } else if (pad.wRepeat && (int32_t)(dwNow - pad.dwNextRepeat) >= 0) {
        wRepeated = pad.wRepeat;
        pad.dwNextRepeat += (uint32_t)pad.nPeriodMs;
        // A late reading gives one repeat, not a burst.
        if ((int32_t)(dwNow - pad.dwNextRepeat) >= 0)
            pad.dwNextRepeat = dwNow + (uint32_t)pad.nPeriodMs;
    }
    // Everything is stored before the keys run: a key may open a dialog whose
    // loop takes the next readings.
    pad.bKnown = 1;
    pad.wHeld = wNow;
    pad.nContext = nContext;
    return PadKeysOf((uint16_t)(wPressed | wRepeated), nContext, aKey);
}

int PadPlayTick(HostWindow hwndMain, const PadReading* pReading, uint32_t dwNow) {
    PadKey aKey[PAD_MAX_KEYS];
    int nKeys = PadUpdate(pReading, game.bGameRunning ? PAD_PLAY : PAD_TITLE, dwNow, aKey);
    int bMenu = 0;
    for (int i = 0; i < nKeys; i++) {
        if (aKey[i].vk == PAD_KEY_MENU)
            bMenu = 1;
        else
            KeyDown(hwndMain, aKey[i].vk);
    }
    return bMenu;
}
