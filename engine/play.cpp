// The play tick, the tumbling tiles, the paddle and the keyboard.
#include <cstdlib>

#include "engine/game.h"
#include "engine/lines.h"
#include "engine/play.h"
#include "resources/resource.h"

namespace {

// The drawing batch of one tick. The level-end and game-over flows open modal
// dialogs whose loops repaint the window and run other drawing, so the batch is
// closed before either flow starts and only reopened if the tick has more to draw.
int bBatchOpen;

void BatchOpen() {
    if (bBatchOpen) return;
    pHost->BeginDrawing();
    bBatchOpen = 1;
}

void BatchClose() {
    if (!bBatchOpen) return;
    pHost->EndDrawing();
    bBatchOpen = 0;
}

// A tile reached the paddle row in the paddle's lane with room on the stack.
void TileCatch(HostWindow hwndMain, TileColor nColor) {
    game.nTilesCaught += 1;
    pHost->ErasePaddleStack();
    game.aHeld[game.nHeld] = nColor;
    game.nHeld += 1;
    game.nPaddleY += 10;
    pHost->DrawPaddleStack();
    pHost->PlayGameSound(game.nHeld == MAX_HELD ? "BOING" : "CAUGHT", 1);
    if (GoalKind() != GOAL_TILES) return;
    game.nGoalLeft -= 1;
    if (game.nGoalLeft < 1) {
        BatchClose();
        LevelOver(hwndMain);
    } else {
        pHost->SendPanel(WM_PANELGOAL, 0, 0);
    }
}

// A tile reached the paddle row anywhere else, or onto a full paddle.
void TileMiss(HostWindow hwndMain) {
    game.nLives -= 1;
    pHost->SendPanel(WM_PANELLIVES, (uint32_t)game.nLives, 0);
    pHost->PlayGameSound("FALLING", 1);
    if (game.nLives < 1) {
        BatchClose();
        GameOver(hwndMain);
    }
}

// Draws, moves and lands one falling tile.
void TileStep(HostWindow hwndMain, FallingTile& t, int nStep) {
    pHost->DrawTileFrame(t.nColor, t.nFrame, t.x, t.y);
    if (t.y + nStep < LANDING_Y) {
        t.y += nStep;
    } else {
        pHost->DrawTileErase(t.x, t.y);
        t.nFrame = -1;
        if (t.x == aLaneX[game.nPaddleLane] && game.nHeld < MAX_HELD)
            TileCatch(hwndMain, t.nColor);
        else
            TileMiss(hwndMain);
    }
    if (t.nFrame != -1) t.nFrame = (t.nFrame + 1) % NUM_FRAMES;
}

// Moves the paddle by one lane, if it stays inside the lanes.
void PaddleMove(int nDelta) {
    int nLane = game.nPaddleLane + nDelta;
    if (nLane < 0 || nLane >= NUM_LANES) return;
    pHost->ErasePaddleStack();
    game.nPaddleLane = nLane;
    pHost->DrawPaddleStack();
}

// The bottom tile of the stack goes to the top, so it is the next to drop.
void StackRotate() {
    if (game.nHeld < 2) return;
    pHost->PlayGameSound("ROTATE", 1);
    TileColor t = game.aHeld[0];
    for (int i = 0; i < game.nHeld - 1; i++) game.aHeld[i] = game.aHeld[i + 1];
    game.aHeld[game.nHeld - 1] = t;
    pHost->StartPaddleFlash();
    pHost->DrawPaddleStack();
}

// The command a key stands for, or 0.
int KeyCommand(int vk) {
    switch (vk) {
    case KEY_RETURN:
    case 'N': return IDM_NEWGAME;
    case 'O': return IDM_OPTIONS;
    case 'S': return IDM_SCORES;
    case 'W': return IDM_WARP;
    case 'H': return IDM_HELP;
    case 'Q': return IDM_QUIT;
    case 'M': return IDM_MUSIC;
    case KEY_TAB: return IDM_SOUND;
    default: return 0;
    }
}

} // namespace

int TileLaunch() {
    game.nTilesLaunched += 1;
    int nSlot = -1;
    for (int i = 0; i < game.nFallingSlots; i++) {
        if (game.aFalling[i].nFrame == -1) {
            nSlot = i;
            break;
        }
    }
    if (nSlot < 0) {
        if (game.nFallingSlots >= MAX_FALLING) return 0;
        nSlot = game.nFallingSlots++;
    }
    FallingTile& t = game.aFalling[nSlot];
    t.nFrame = 0;
    t.nColor = rand() % game.nTileColors; // the colour is drawn before the lane
    t.x = aLaneX[rand() % NUM_LANES];
    t.y = LAUNCH_Y;
    return 1;
}

int PlayTick(HostWindow hwndMain, int nStep) {
    if (game.bGameRunning && game.bPaused) return 0;
    if (nStep > 0 && pHost->IsCtrlDown()) nStep = FAST_FALL_STEP;
    if (!pHost->IsMainActive()) return 0;

    // Launches are spaced by fall distance, so a faster fall launches sooner.
    game.nLaunchAccum += nStep;
    if (game.nLaunchAccum > game.nLaunchSpacing) {
        game.nLaunchAccum = 0;
        TileLaunch();
        if (game.nTilesLaunched % 20 == 0 && game.nLaunchSpacing > 50) game.nLaunchSpacing -= 10;
    }

    game.nTickCount += 1;
    if (game.nTickCount % 20 == 0 && !game.bPaused) pHost->DrawGoalPicture();

    // The level-end and game-over flows empty the slots, so the loop reads the
    // count afresh before every slot and stops once a flow has run.
    BatchOpen();
    for (int i = 0; i < game.nFallingSlots; i++) {
        FallingTile& t = game.aFalling[i];
        if (t.nFrame == -1) continue;
        BatchOpen();
        TileStep(hwndMain, t, nStep);
    }
    BatchClose();
    return 1;
}

int KeyDown(HostWindow hwndMain, int vk) {
    int bGame = game.bGameRunning;
    switch (vk) {
    case KEY_LEFT:
    case KEY_RIGHT:
        if (!bGame) return 1;
        SetPause(0);
        PaddleMove(vk == KEY_LEFT ? -1 : 1);
        return 1;
    case KEY_UP:
        if (!bGame) return 1;
        SetPause(0);
        StackRotate();
        return 1;
    case KEY_DOWN:
        if (!bGame) return 1;
        SetPause(0);
        TileDrop(hwndMain);
        return 1;
    case KEY_SPACE:
    case 'P':
        if (!bGame) return 1;
        SetPause(!game.bPaused);
        pHost->DrawPaddleStack();
        return 1;
    case KEY_ESCAPE:
        // Hide the game at once; the credits band starts over when it comes back.
        if (!bGame) {
            game.nCreditsOffset = 0;
            pHost->BlankRect(91, 231, 424, 260);
        }
        SetPause(1);
        game.bMinimized = 1;
        pHost->MinimizeMain();
        pHost->MIDIStop();
        return 1;
    default: break;
    }
    int nCommand = KeyCommand(vk);
    if (nCommand == 0) return 0;
    pHost->SendCommand(nCommand);
    return 1;
}
