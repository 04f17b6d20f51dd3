// Level end, game over, the pause and the engine's side of the play timer.
#include "engine/game.h"
#include "engine/play.h"
#include "engine/pointer.h"
#include "prefs/prefs.h"
#include "scores/leveldone.h"

namespace {

// Back to the title screen after a lost or a won game.
void TitleReturn() {
    game.bGameRunning = 0;
    game.nCreditsOffset = 0;
    pHost->BlankRect(79, 305, aLaneX[4] - 9, 329);
    game.nLevel = 1;
    pHost->InvalidateMain(1);
    pHost->UpdateMainAndPanel();
    // The title screen takes its first step at once.
    pHost->SendPlayTimer();
}

} // namespace

int SetPause(int bOn) {
    if (bOn) {
        if (game.bPaused) return 0;
        game.bPaused = 1;
        PointerForget(); // a pause ends the pointer's travel
        pHost->PlayGameSound("PAUSEON", 1);
        pHost->DrawPaddleStack();
        pHost->ShowPauseLogo(1);
    } else {
        if (!game.bPaused) return 0;
        game.bPaused = 0;
        pHost->PlayGameSound("PAUSEOFF", 1);
        pHost->DrawPaddleStack();
        pHost->ShowPauseLogo(0);
    }
    return 1;
}

int LevelOver(HostWindow hwndMain) {
    game.bPaused = 1;
    game.nFallingSlots = 0;
    game.nGoalLeft = 0;
    pHost->SendPanel(WM_PANELGOAL, 0, 0);
    pHost->PlayGameSound("LEVELOVER", 1);

    // The dialog adds the bonus and either sets up the next level or ends the game.
    if (pHost->ShowLevelDoneDlg() == LEVELDONE_GAME_WON) {
        game.bGameRunning = 0;
        pHost->ShowWinGameDlg();
        pHost->ShowHiScoreDlg();
        TitleReturn();
        return 1;
    }

    game.bPaused = 0;
    pHost->InvalidateMain(1);
    pHost->InvalidatePanel(0);
    pHost->UpdateMainAndPanel();
    pHost->PlayGameSound("NEXTLEVEL", 0);
    if (prefs.bMusic && !prefs.bContinuous) pHost->MIDINext(hwndMain);
    pHost->DrawPaddleStack();
    return 1;
}

int GameOver(HostWindow) {
    game.bPaused = 1;
    game.nFallingSlots = 0;
    pHost->PlayGameSound("GAMEOVER", 1);
    pHost->ShowGameOverDlg();
    pHost->CheckHighScore();
    TitleReturn();
    return 1;
}

int EngineTimerTick(HostWindow hwndMain) {
    if (game.bMinimized || !game.bGameRunning) return 0;
    pHost->PaddleLightTick();
    PointerTick(hwndMain);
    return PlayTick(hwndMain, game.bPaused ? 0 : game.nFallStep);
}
