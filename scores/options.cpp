// What the options dialog shows and what its OK changes.
#include "scores/options.h"

#include <cstdlib>

#include "audio/midi.h"
#include "engine/game.h"
#include "prefs/prefs.h"

OptionsOpening OptionsRemember() {
    return OptionsOpening{prefs.bUseMenu, prefs.bMusic, prefs.bPatterns};
}

static OptionsBox BoxFor(int bEnabled, int32_t nValue) {
    return OptionsBox{bEnabled ? 1 : 0, bEnabled && nValue ? 1 : 0};
}

OptionsView OptionsViewFor(int bHasMIDIDevice, int bHasWaveDevice) {
    int bMusicOk = MIDIAvailable(bHasMIDIDevice);
    OptionsView view;
    view.nSpeedRadio = 101 + SpeedNormalize(prefs.nSpeed);
    view.sound = BoxFor(bHasWaveDevice, prefs.bSound);
    view.music = BoxFor(bMusicOk, prefs.bMusic);
    view.continuous = BoxFor(bMusicOk, prefs.bContinuous);
    view.useMenu = BoxFor(1, prefs.bUseMenu);
    view.patterns = BoxFor(1, prefs.bPatterns);
    return view;
}

int OptionsApply(const OptionsChoice& choice, const OptionsOpening& opening,
                 const OptionsActions& actions) {
    if (choice.nSpeedRadio >= 101 && choice.nSpeedRadio <= 104)
        prefs.nSpeed = choice.nSpeedRadio - 101;
    prefs.bSound = choice.bSound ? 1 : 0;
    prefs.bMusic = choice.bMusic ? 1 : 0;
    prefs.bUseMenu = choice.bUseMenu ? 1 : 0;
    prefs.bPatterns = choice.bPatterns ? 1 : 0;
    prefs.bContinuous = choice.bContinuous ? 1 : 0;

    // A preference read from the file may be any non-zero value; only a
    // real change from on to off (or back) counts.
    if (prefs.bUseMenu != (opening.bUseMenu ? 1 : 0)) actions.AttachMenu(prefs.bUseMenu);
    actions.SavePrefs();
    ApplySpeed();

    if (prefs.bMusic != (opening.bMusic ? 1 : 0)) {
        if (prefs.bMusic) {
            // The box is offered only when files were found; a list that is
            // empty all the same starts nothing rather than dividing by zero.
            if (nMIDIFiles > 0) {
                RandomReseed();
                nMIDIIndex = rand() % nMIDIFiles;
                MIDIStart(game.hwndMain, nMIDIIndex);
            }
        } else {
            MIDIStop();
        }
    }
    if (prefs.bPatterns != (opening.bPatterns ? 1 : 0)) actions.RepaintMain();
    return 1;
}
