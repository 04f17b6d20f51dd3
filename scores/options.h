// The options dialog: speed, sound, music, continuous music, the menu bar and
// the background patterns.
//
// What the dialog shows at opening and what OK does to the preferences are
// decided here, portably; the dialog procedure (options_win.cpp) only moves
// the values between these structures and its controls.
#pragma once

#include <cstdint>

#include "engine/host.h"

// One check box at opening: may it be used, and is it ticked.
struct OptionsBox {
    int32_t bEnabled;
    int32_t bChecked;
};

// The controls as the dialog opens.
struct OptionsView {
    int32_t nSpeedRadio; // 101 + nSpeed: the one speed button that is on
    OptionsBox sound;
    OptionsBox music;
    OptionsBox continuous;
    OptionsBox useMenu;
    OptionsBox patterns;
};

// The values remembered at opening, to see on OK what changed.
struct OptionsOpening {
    int32_t bUseMenu;
    int32_t bMusic;
    int32_t bPatterns;
};

// The controls as OK finds them (a disabled box is never ticked).
struct OptionsChoice {
    int32_t nSpeedRadio; // 101..104; anything else keeps the speed
    int32_t bSound;
    int32_t bMusic;
    int32_t bContinuous;
    int32_t bUseMenu;
    int32_t bPatterns;
};

// What OK needs from the platform, in the order it asks for it.
struct OptionsActions {
    int (*AttachMenu)(int bOn); // attach hMainMenu to the main window / detach it
    int (*SavePrefs)();
    int (*RepaintMain)(); // invalidate the main window with erasing and update it
};

// The remembered values and the controls' states, from the preferences. The
// music boxes may be used only with a MIDI device and at least one music file
// found at start-up (MIDIAvailable); a box that may not be used is unticked.
OptionsOpening OptionsRemember();
OptionsView OptionsViewFor(int bHasMIDIDevice, int bHasWaveDevice);

// OK: the choices become the preferences, then the menu bar follows a changed
// Use Menu, the file is written and the fall step derived, a changed Music
// starts a random track (after re-seeding rand()) or stops the music, and a
// changed Patterns repaints the main window. Returns 1.
int OptionsApply(const OptionsChoice& choice, const OptionsOpening& opening,
                 const OptionsActions& actions);

// --- Win32 (options_win.cpp) -------------------------------------------------

// Runs "OPTIONSDLG" modally with hwndOwner as owner; returns 1.
int ShowOptionsDlg(HostWindow hwndOwner);

// The device checks the dialog asks (by default MIDIDeviceReady, whether the
// chosen music device can play, and HasWaveDevice; the same ones the menu
// asks); tests put fakes here.
extern int (*pfnOptionsHasMIDIDevice)();
extern int (*pfnOptionsHasWaveDevice)();
// The dialog's tooltips, when the shell provides them (null: no tooltips).
// Create is called at the end of the opening, Destroy before the dialog ends
// with OK or Cancel, Text with the lParam of each WM_NOTIFY.
extern int (*pfnOptionsTooltipsCreate)(HostWindow hwndDlg);
extern int (*pfnOptionsTooltipsDestroy)();
extern int (*pfnOptionsTooltipText)(void* pNotifyHeader);
