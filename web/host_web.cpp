// The browser's host: the play timer, the keys, the commands of the buttons
// and menus, and the game's operations on the page. The page's script
// (web/page.js) calls the exported Web* functions below; the game's
// dialogs and questions wait for the page's answer as the window's modal
// loops do.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "audio/midi.h"
#include "engine/game.h"
#include "engine/lines.h"
#include "engine/pad.h"
#include "engine/play.h"
#include "engine/pointer.h"
#include "engine/warp.h"
#include "prefs/prefs.h"
#include "render/helpdoc.h"
#include "render/screen.h"
#include "resources/resource.h"
#include "scores/hiscore.h"
#include "scores/leveldone.h"
#include "scores/options.h"
#include "scores/panel.h"
#include "scores/warpdlg.h"
#include "web/screen_web.h"
#include "web/web.h"

namespace {

enum { HISCORE_CLIENT_W = 413 }; // the high-score dialog's width in the page

HostWindow const hwndWebMain = (HostWindow)1;
int bCtrlDown;
int bActive = 1;
int bResolvePending;
int bRepaintDue = 1; // the whole picture is to be painted again
int bPlayTimerDue;

// --- The page's answers ------------------------------------------------------

// Runs a dialog of the page and waits for it: its kind, what it shows (one
// text, lines parted by '\n'), a value in and a text out. Returns its result.
EM_ASYNC_JS(int, WebDialogRun,
            (const char* szKind, const char* szShow, int nIn, char* szOut, int cchOut), {
                const r =
                    await Module.quarrionDialog(UTF8ToString(szKind), UTF8ToString(szShow), nIn);
                if (szOut && cchOut > 0) stringToUTF8(r.text || "", szOut, cchOut);
                return r.result | 0;
            });
// Waits nMs with the game blocked, as a sound played to its end blocks the
// window's thread: no tick, key or click reaches it meanwhile.
EM_ASYNC_JS(void, WebSleep, (int nMs), { await Module.quarrionBlock(nMs); });
EM_JS(double, WebSeedOfPage, (), { return Module.quarrionSeed(); });
EM_JS(void, WebHide, (), { Module.quarrionHide(); });
EM_JS(void, WebMenuChanged, (), {
    if (Module.quarrionMenuChanged) Module.quarrionMenuChanged();
});

int Ask(const char* szText, int bDefaultNo) {
    return WebDialogRun("question", szText, bDefaultNo, nullptr, 0) == 1;
}

// --- The game's dialogs --------------------------------------------------------

// The high-score dialog's moving parts: the two tiles spinning beside its
// heading and the top line that switches every 32 of its 20 ms ticks.
SpinTile aSpin[2];

int ShowHiScoreTable() {
    WebPlaySound("APPLAUSE", 1);
    int nSpinY = 0;
    SpinTilesStart(aSpin, 0, HISCORE_CLIENT_W, 0, &nSpinY);
    for (;;) {
        char szShow[2048] = "", szLine[160], szTop[HS_TOPLINE_LEN];
        HighScoreTopLine(szTop, sizeof szTop);
        snprintf(szShow, sizeof szShow, "%s\n", szTop);
        for (int k = 0; k < NUM_HIGH_SCORES; k++) {
            char szScore[16], szLevel[16];
            HighScoreRowTexts(k, szScore, sizeof szScore, szLevel, sizeof szLevel);
            snprintf(szLine, sizeof szLine, "%d.\t%s\t%s\t%s\n", k + 1, hsTable.aRow[k].szName,
                     szScore, szLevel);
            strncat(szShow, szLine, sizeof szShow - strlen(szShow) - 1);
        }
        // 2: Clear High Scores from the dialog's own right-click menu.
        if (WebDialogRun("scores", szShow, 0, nullptr, 0) != 2) return 1;
        if (Ask("Clear high scores?", 1)) {
            WebPlaySound("CLEARSCORES", 1);
            ResetHighScores();
            WebSaveHighScores();
        }
    }
}

void DateToday(char* szDate, int cch) {
    time_t t = time(nullptr);
    tm* pTm = localtime(&t);
    HighScoreDateFormat(szDate, cch, pTm->tm_mon + 1, pTm->tm_mday, pTm->tm_year + 1900);
}

int InsertScore(const char* szName, int32_t lScore, int32_t nLevel) {
    char szDate[HS_DATE_LEN];
    DateToday(szDate, sizeof szDate);
    return HighScoreInsertDated(szName, lScore, nLevel, szDate);
}

int HostShowLevelDoneDlg() {
    WebPresent();
    LevelDoneOpen();
    for (;;) {
        char szShow[(int)LD_NUM_LINES * (int)LEVELDONE_TEXT_LEN + 8] = "";
        for (int i = 0; i < LD_NUM_LINES; i++) {
            strcat(szShow, levelDone.aszText[i]);
            strcat(szShow, "\n");
        }
        WebDialogRun("leveldone", szShow, levelDone.bPasswordShown, nullptr, 0);
        const int n = LevelDoneContinue();
        if (n != LEVELDONE_STAY) return n;
    }
}

int HostShowGameOverDlg() {
    WebPresent();
    WebDialogRun("gameover", "", 0, nullptr, 0);
    return 1;
}

int HostCheckHighScore() {
    if (!HighScoreGameOver((int32_t)game.lScore)) return 0;
    WebPlaySound("NEWSCORE", 1);
    for (;;) {
        char szName[HS_NAME_LEN] = "", szClean[HS_NAME_LEN];
        if (WebDialogRun("newscore", prefs.szLastPlayer, HS_NEW_NAME_LIMIT, szName,
                         sizeof szName) != 1)
            break;
        if (!HighScoreNameClean(szName, szClean, sizeof szClean)) {
            WebBeep();
            continue;
        }
        snprintf(prefs.szLastPlayer, sizeof prefs.szLastPlayer, "%s", szClean);
        InsertScore(szClean, (int32_t)game.lScore, game.nLevel);
        ShowHiScoreTable();
        break;
    }
    WebSaveHighScores();
    return 1;
}

int HostShowWinGameDlg() {
    const int bEnterName = HighScoreQualifies((int32_t)game.lScore);
    for (;;) {
        char szName[HS_WIN_NAME_LEN] = "", szClean[HS_WIN_NAME_LEN];
        WebDialogRun("ending", "", bEnterName ? HS_WIN_NAME_LIMIT : 0, szName, sizeof szName);
        if (!bEnterName) break;
        if (!HighScoreNameClean(szName, szClean, sizeof szClean)) {
            WebBeep();
            continue;
        }
        InsertScore(szClean, (int32_t)game.lScore, HS_WON_LEVEL);
        WebSaveHighScores();
        break;
    }
    WebRepaint();
    return 1;
}

int HostShowHiScoreDlg() {
    return ShowHiScoreTable();
}

int OptionsAttachMenu(int) {
    WebMenuChanged();
    return 1;
}

int OptionsSave() {
    return SavePrefs();
}

int OptionsRepaint() {
    WebRepaint();
    return 1;
}

// The help's topics, from the same text as the window's help, as lines for
// the page: "T title", "H heading", "P paragraph", "K keys\twhat", "I caption".
void ShowHelp() {
    static HelpDoc doc;
    static char aText[1 << 15], aShow[1 << 15];
    FILE* pFile = fopen("/data/help.txt", "rb");
    const int n = pFile ? (int)fread(aText, 1, sizeof aText, pFile) : 0;
    if (pFile) fclose(pFile);
    if (!HelpDocParse(aText, n, &doc)) {
        WebDialogRun("help", doc.szError, 0, nullptr, 0);
        return;
    }
    int nUsed = 0;
    int nPicture = 0;
    auto Add = [&](char cType, HelpText t, const HelpText* pT2) {
        nUsed += snprintf(aShow + nUsed, sizeof aShow - (size_t)nUsed, "%c%d\t%.*s", cType,
                          nPicture, t.nLen, HelpTextPtr(doc, t));
        if (pT2 && nUsed < (int)sizeof aShow)
            nUsed += snprintf(aShow + nUsed, sizeof aShow - (size_t)nUsed, "\t%.*s", pT2->nLen,
                              HelpTextPtr(doc, *pT2));
        if (nUsed < (int)sizeof aShow - 1) aShow[nUsed++] = '\n';
        if (nUsed >= (int)sizeof aShow) nUsed = (int)sizeof aShow - 1;
        aShow[nUsed] = '\0';
    };
    for (int k = 0; k < doc.nTopics; k++) {
        const HelpTopic& topic = doc.aTopic[k];
        Add('T', topic.title, nullptr);
        for (int b = topic.nFirstBlock; b < topic.nFirstBlock + topic.nBlocks; b++) {
            const HelpBlock& block = doc.aBlock[b];
            static const char aType[] = {'H', 'P', 'I', 'K'};
            nPicture = block.nType == HB_PICTURE ? block.nPicture : 0;
            Add(aType[block.nType], block.text,
                block.nType == HB_KEY || block.nType == HB_PICTURE ? &block.text2 : nullptr);
        }
    }
    WebDialogRun("help", aShow, 0, nullptr, 0);
}

// --- Commands ---------------------------------------------------------------------

void PaddleRedraw() {
    ScreenDrawPaddleStack();
}

int CommandNewGame() {
    if (game.bGameRunning) {
        SetPause(1);
        if (!Ask("Are you sure you want to start a new game?", 0)) return 0;
    }
    GameNew(0);
    WebPlaySound("NEWGAME", 1);
    bCtrlDown = 0;
    game.bPaused = 1;
    KeyDown(hwndWebMain, KEY_SPACE);
    return 1;
}

// The warp dialog stays open until a code takes the game somewhere (a level
// not above the current one beeps, an unknown code is ignored) or Cancel.
void CommandWarp() {
    SetPause(1);
    char szCode[WARP_SLOT_LEN] = "";
    for (;;) {
        char szTyped[WARP_SLOT_LEN] = "";
        if (WebDialogRun("warp", szCode, WARP_CODE_LEN, szTyped, sizeof szTyped) != 1) break;
        snprintf(szCode, sizeof szCode, "%s", szTyped);
        int nLevel = 0;
        const int nAction = WarpOkAction(szCode, game.nLevel, &nLevel);
        if (nAction == WARP_OK_BEEP) WebBeep();
        if (nAction != WARP_OK_GO) continue;
        game.nLevel = nLevel;
        WebPlaySound("WARP", 1);
        GameNew(1);
        bCtrlDown = 0;
        break;
    }
    PaddleRedraw();
}

int QuitConfirmed() {
    if (game.bGameRunning) {
        SetPause(1);
        if (!Ask("Are you sure you want to quit?", 0)) {
            SetPause(0);
            PaddleRedraw();
            return 0;
        }
    }
    game.bPaused = 1;
    game.bGameRunning = 0;
    return 1;
}

// A page cannot close itself: Quit ends the game and goes back to the title.
void CommandQuit() {
    const int bWasRunning = game.bGameRunning;
    if (!QuitConfirmed()) return;
    SavePrefs();
    if (bWasRunning) {
        game.nCreditsOffset = 0;
        game.nLevel = 1;
        WebRepaint();
    }
}

void CommandAbort() {
    if (!game.bGameRunning) return;
    SetPause(1);
    if (!Ask("Abort current game?", 0)) {
        PaddleRedraw();
        return;
    }
    game.nCreditsOffset = 0;
    game.bGameRunning = 0;
    WebRepaint();
}

void CommandOptions() {
    SetPause(1);
    const OptionsOpening opening = OptionsRemember();
    const OptionsView view = OptionsViewFor(WebHasAudio(), WebHasAudio());
    const int nIn = (view.nSpeedRadio - 101) | view.sound.bEnabled << 4 | view.sound.bChecked << 5 |
                    view.music.bEnabled << 6 | view.music.bChecked << 7 |
                    view.continuous.bEnabled << 8 | view.continuous.bChecked << 9 |
                    view.useMenu.bEnabled << 10 | view.useMenu.bChecked << 11 |
                    view.patterns.bEnabled << 12 | view.patterns.bChecked << 13;
    const int nOut = WebDialogRun("options", "", nIn, nullptr, 0);
    if (nOut >= 0) {
        OptionsChoice choice;
        choice.nSpeedRadio = 101 + (nOut & 3);
        choice.bSound = nOut >> 5 & 1;
        choice.bMusic = nOut >> 7 & 1;
        choice.bContinuous = nOut >> 9 & 1;
        choice.bUseMenu = nOut >> 11 & 1;
        choice.bPatterns = nOut >> 13 & 1;
        const OptionsActions actions = {OptionsAttachMenu, OptionsSave, OptionsRepaint};
        OptionsApply(choice, opening, actions);
        WebMenuChanged();
    }
    PaddleRedraw();
}

void CommandClearScores() {
    SetPause(1);
    if (Ask("Clear high scores?", 1)) {
        WebPlaySound("CLEARSCORES", 1);
        ResetHighScores();
        WebSaveHighScores();
    }
    PaddleRedraw();
}

void CommandRun(int nId) {
    switch (nId) {
    case IDM_NEWGAME: CommandNewGame(); break;
    case IDM_OPTIONS: CommandOptions(); break;
    case IDM_SCORES:
        SetPause(1);
        ShowHiScoreTable();
        PaddleRedraw();
        break;
    case IDM_WARP: CommandWarp(); break;
    case IDM_HELP:
        SetPause(1);
        ShowHelp();
        PaddleRedraw();
        break;
    case IDM_QUIT: CommandQuit(); break;
    case IDM_ABORT: CommandAbort(); break;
    case IDM_MUSIC: MIDIToggleMusic(hwndWebMain); break;
    case IDM_SOUND: prefs.bSound = !prefs.bSound; break;
    case IDM_ABOUT:
        SetPause(1);
        WebDialogRun("about", "", 0, nullptr, 0);
        break;
    case IDM_CLEARSCORES: CommandClearScores(); break;
    case IDM_PAUSE: SetPause(game.bPaused ? 0 : 1); break;
    default: break;
    }
    WebMenuChanged();
}

// --- The host table ------------------------------------------------------------

int HostPlayGameSound(const char* szName, int bAsync) {
    const int nMs = WebPlaySound(szName, bAsync);
    // What was drawn stands on the page while the sound plays to its end.
    if (!bAsync && nMs > 0) {
        WebPresent();
        WebSleep(nMs);
    }
    return 1;
}
int HostPlayBeep(int) {
    return WebBeep();
}
int HostMIDIFindFiles() {
    return WebMusicFindFiles();
}
int HostMIDIStart(int nTrack) {
    return MIDIStart(hwndWebMain, nTrack);
}
int HostMIDINext(HostWindow hwnd) {
    return MIDINext(hwnd);
}
int HostMIDIStop() {
    return MIDIStop();
}
int HostNothing() {
    return 1;
}
int HostSendPanel(int nMsg, uint32_t, int32_t) {
    if (nMsg == WM_PANELSCORE && PanelScoreUpdate()) WebPanelLives();
    if (nMsg == WM_PANELLIVES) WebPanelLives();
    if (game.bGameRunning) WebPanelText();
    return 1;
}
int HostPostResolveLines() {
    bResolvePending = 1;
    return 1;
}
int HostSendCommand(int nId) {
    CommandRun(nId);
    return 1;
}
int HostSendPlayTimer() {
    bPlayTimerDue = 1;
    return 1;
}
int HostMinimizeMain() {
    WebHide();
    return 1;
}
int HostInvalidateMain(int) {
    WebRepaint();
    return 1;
}
// The repaint due is done now, as the window's update paints at once.
int HostUpdateMainAndPanel() {
    if (!bRepaintDue) return 0;
    bRepaintDue = 0;
    WebPaintMain();
    return 1;
}
int HostIsCtrlDown() {
    return bCtrlDown;
}
int HostIsMainActive() {
    return bActive;
}
int HostLoadStringText(int nId, char* szBuf, int cchBuf) {
    static const char* const aGoal[NUM_GOAL_KINDS] = {" Points",
                                                      " Tiles",
                                                      " 3-Tile-Verticals",
                                                      " 3-Tile-Horizontals",
                                                      " 3-Tile-Diagonals",
                                                      " 4-Tile-Verticals",
                                                      " 4-Tile-Horizontals",
                                                      " 4-Tile-Diagonals",
                                                      " 5-Tile-Horizontals",
                                                      " 5-Tile-Diagonals",
                                                      " 5-Tile-Vs",
                                                      " 5-Tile-Xs",
                                                      " 9-Tile-Xs"};
    const int k = nId - IDS_GOALKIND_BASE;
    if (k < 0 || k >= NUM_GOAL_KINDS || cchBuf < 1) return 0;
    snprintf(szBuf, (size_t)cchBuf, "%s", aGoal[k]);
    return (int)strlen(szBuf);
}
int HostLoadPrefs() {
    return LoadPrefs();
}
int HostLoadCreditsBitmap() {
    return WebBitmapNamed("CREDITS") != nullptr;
}
int64_t HostTimeNow() {
    return WebSeed();
}

const GameHost kWebHost = {
    .PlayGameSound = HostPlayGameSound,
    .PlayBeep = HostPlayBeep,
    .MIDIFindFiles = HostMIDIFindFiles,
    .MIDIStart = HostMIDIStart,
    .MIDINext = HostMIDINext,
    .MIDIStop = HostMIDIStop,
    .BeginDrawing = ScreenBeginDrawing,
    .EndDrawing = ScreenEndDrawing,
    .DrawBins = ScreenDrawBins,
    .DrawPaddleStack = ScreenDrawPaddleStack,
    .ErasePaddleStack = ScreenErasePaddleStack,
    .StartPaddleFlash = ScreenStartPaddleFlash,
    .PaddleLightTick = ScreenPaddleLightTick,
    .DrawTileFrame = ScreenDrawTileFrame,
    .DrawTileErase = ScreenDrawTileErase,
    .DrawFlatTile = ScreenDrawFlatTile,
    .DrawGoalPicture = ScreenDrawGoalPicture,
    .ShowPauseLogo = ScreenShowPauseLogo,
    .BlankRect = ScreenBlankRect,
    .SendPanel = HostSendPanel,
    .PostResolveLines = HostPostResolveLines,
    .SendCommand = HostSendCommand,
    .SendPlayTimer = HostSendPlayTimer,
    .StartPlayTimer = HostNothing,
    .MinimizeMain = HostMinimizeMain,
    .InvalidateMain = HostInvalidateMain,
    .InvalidatePanel = HostInvalidateMain,
    .UpdateMainAndPanel = HostUpdateMainAndPanel,
    .ShowPanel = HostNothing,
    .IsCtrlDown = HostIsCtrlDown,
    .IsMainActive = HostIsMainActive,
    .ShowLevelDoneDlg = HostShowLevelDoneDlg,
    .ShowGameOverDlg = HostShowGameOverDlg,
    .CheckHighScore = HostCheckHighScore,
    .ShowWinGameDlg = HostShowWinGameDlg,
    .ShowHiScoreDlg = HostShowHiScoreDlg,
    .LoadStringText = HostLoadStringText,
    .LoadPrefs = HostLoadPrefs,
    .LoadCreditsBitmap = HostLoadCreditsBitmap,
    .TimeNow = HostTimeNow,
};

// The work a posted message would do once the current one has ended.
void RunPosted() {
    if (bRepaintDue) {
        bRepaintDue = 0;
        WebPaintMain();
    }
    if (bResolvePending) {
        bResolvePending = 0;
        LinesResolve(hwndWebMain);
        HostSendPanel(WM_PANELSCORE, 0, (int32_t)game.lScore);
    }
    if (bPlayTimerDue) {
        bPlayTimerDue = 0;
        WebTick();
    }
}

} // namespace

int64_t WebSeed() {
    return (int64_t)WebSeedOfPage();
}

void WebRepaint() {
    bRepaintDue = 1;
}

extern "C" {

EMSCRIPTEN_KEEPALIVE int WebStart() {
    HostInstall(&kWebHost);
    ScreenInstall(&kScreenWeb);
    PrefsSetDefaults();
    WebBitmapsLoad("/data");
    WebAudioInstall();
    WebLoadHighScores();
    game.nLevel = 1;
    game.bPaused = 1;
    GameInit(hwndWebMain);
    ApplySpeed();
    WebPaintMain();
    WebPresent();
    return 1;
}

// The play timer: play while a game runs, the title's animation otherwise.
EMSCRIPTEN_KEEPALIVE int WebTick() {
    if (game.bMinimized) return 0;
    WebMusicPoll(hwndWebMain);
    RunPosted();
    if (game.bGameRunning) {
        EngineTimerTick(hwndWebMain);
    } else {
        WebTitleTick(bActive);
        WebButtonChaseTick();
    }
    RunPosted();
    WebPresent();
    return 1;
}

// A key pressed on the page: the game's keys and the accelerators.
EMSCRIPTEN_KEEPALIVE int WebKeyDown(int vk, int bCtrl, int bAlt) {
    bCtrlDown = bCtrl;
    int bDone = 1;
    if (bAlt) {
        switch (vk) {
        case 'N': CommandRun(IDM_NEWGAME); break;
        case 'A': CommandRun(IDM_ABORT); break;
        case 'W': CommandRun(IDM_WARP); break;
        case 'Q': CommandRun(IDM_QUIT); break;
        default: bDone = 0; break;
        }
    } else if (vk == 0x11) { // Ctrl alone speeds the fall while held
        bDone = 1;
    } else {
        bDone = KeyDown(hwndWebMain, vk);
    }
    RunPosted();
    WebPresent();
    return bDone;
}

EMSCRIPTEN_KEEPALIVE void WebKeyUp(int vk) {
    if (vk == 0x11) bCtrlDown = 0;
}

// A menu item or a button of the page.
EMSCRIPTEN_KEEPALIVE void WebCommand(int nId) {
    CommandRun(nId);
    RunPosted();
    WebPresent();
}

// Whether the page has the player's attention (a visible tab, no dialog).
EMSCRIPTEN_KEEPALIVE void WebSetActive(int bOn) {
    if (bActive && !bOn && game.bGameRunning) SetPause(1);
    bActive = bOn;
    WebPresent();
}

// The picture comes back after Escape: the next key or click.
EMSCRIPTEN_KEEPALIVE void WebRestore() {
    if (!game.bMinimized) return;
    game.bMinimized = 0;
    game.nCreditsOffset = 0;
    MIDIWindowRestored(hwndWebMain);
    WebPaintMain();
    WebScreenDirtyAll();
    WebPresent();
}

// A button of the picture: nState 1 pressed (drawn down, its click), 0 let
// go over it (drawn up, its command), 2 let go elsewhere (drawn up only).
EMSCRIPTEN_KEEPALIVE void WebButton(int nButton, int nState) {
    WebDrawButton(nButton, nState == 1);
    if (nState == 1) WebPlaySound("BUTTONCLICK", 1);
    WebPresent();
    if (nState == 0) WebCommand(IDM_NEWGAME + nButton);
}

// The menus' state: bit 0 a game runs, 1 paused, 2 music can play, 3 music
// on, 4 sound can play, 5 sound on, 6 the menu bar is wanted.
EMSCRIPTEN_KEEPALIVE int WebMenuState() {
    const int bMusicOk = MIDIAvailable(WebHasAudio());
    const int bSoundOk = WebHasAudio();
    return (game.bGameRunning ? 1 : 0) | (game.bPaused ? 2 : 0) | (bMusicOk ? 4 : 0) |
           (bMusicOk && prefs.bMusic ? 8 : 0) | (bSoundOk ? 16 : 0) |
           (bSoundOk && prefs.bSound ? 32 : 0) | (prefs.bUseMenu ? 64 : 0);
}

// Pauses a running game before a menu opens, as the window's menus do.
EMSCRIPTEN_KEEPALIVE void WebMenuOpening() {
    if (game.bGameRunning) SetPause(1);
    WebPresent();
}

EMSCRIPTEN_KEEPALIVE void WebSetZoomPref(int nZoom, int bFullScreen) {
    prefs.nZoom = nZoom;
    prefs.bFullScreen = bFullScreen;
    SavePrefs();
}

EMSCRIPTEN_KEEPALIVE int WebZoomPref() {
    return prefs.nZoom;
}

// The gamepad: one reading of the page's pad, as the XInput pad is read.
// In play and on the title its keys go to the game; returns 1 when Back asks
// for the right-click menu.
EMSCRIPTEN_KEEPALIVE int WebPadTick(int nButtons, int nLX, int nLY, int nNow) {
    PadReading reading = {};
    reading.bConnected = 1;
    reading.wButtons = (uint16_t)nButtons;
    reading.nStickX = (int16_t)nLX;
    reading.nStickY = (int16_t)nLY;
    int bMenu = 0;
    if (!game.bMinimized && bActive) bMenu = PadPlayTick(hwndWebMain, &reading, (uint32_t)nNow);
    RunPosted();
    WebPresent();
    return bMenu;
}

// The pad in a dialog (nContext PAD_DIALOG) or a menu (PAD_MENU): the keys
// it gives, as pairs of key code and Shift in pOut (room for PAD_MAX_KEYS).
EMSCRIPTEN_KEEPALIVE int WebPadKeys(int nButtons, int nLX, int nLY, int nNow, int nContext,
                                    int* pOut) {
    PadReading reading = {};
    reading.bConnected = 1;
    reading.wButtons = (uint16_t)nButtons;
    reading.nStickX = (int16_t)nLX;
    reading.nStickY = (int16_t)nLY;
    PadKey aKey[PAD_MAX_KEYS];
    const int n = PadUpdate(&reading, nContext, (uint32_t)nNow, aKey);
    for (int i = 0; i < n; i++) {
        pOut[2 * i] = aKey[i].vk;
        pOut[2 * i + 1] = aKey[i].bShift;
    }
    return n;
}

// A bitmap of the game's data for the page's dialogs: its pixels (0x00RRGGBB)
// and, in pSize, its width, height and row length; null when there is none.
EMSCRIPTEN_KEEPALIVE const uint32_t* WebBitmapPixels(const char* szName, int* pSize) {
    const WebBitmap* pBm = WebBitmapNamed(szName);
    if (!pBm || !pBm->pPixels) return nullptr;
    pSize[0] = pBm->w;
    pSize[1] = pBm->h;
    pSize[2] = pBm->nStride;
    return pBm->pPixels;
}

// One 20 ms tick of the high-score dialog: pOut gets each spinning tile's x,
// colour and frame to draw, then they step; returns 1 with the top line's
// new text in szTop when it switches.
EMSCRIPTEN_KEEPALIVE int WebHiScoreTick(int* pOut, char* szTop, int cchTop) {
    for (int i = 0; i < 2; i++) {
        pOut[3 * i] = aSpin[i].x;
        pOut[3 * i + 1] = aSpin[i].nColor;
        pOut[3 * i + 2] = aSpin[i].nFrame;
        SpinTileStep(&aSpin[i]);
    }
    if (!HighScoreTopLineTick()) return 0;
    HighScoreTopLine(szTop, cchTop);
    return 1;
}

// The game-over screen's falling row: started (bStart) or moved one step;
// pOut gets its y and frame. Returns 1 when the screen is to close.
EMSCRIPTEN_KEEPALIVE int WebGameOverRow(int bStart, int* pOut) {
    static GameOverRow row;
    int bDone = 0;
    if (bStart)
        GameOverRowStart(&row);
    else
        bDone = GameOverRowStep(&row);
    pOut[0] = row.y;
    pOut[1] = row.nFrame;
    return bDone;
}

// A picture of the help for the page: its pixels, its size in pSize.
EMSCRIPTEN_KEEPALIVE const uint32_t* WebHelpPixels(int nPicture, int* pSize) {
    return WebHelpPicture(nPicture, &pSize[0], &pSize[1]);
}

// Its word i (null past the last): pOut gets left, top, right, bottom,
// colour and alignment.
EMSCRIPTEN_KEEPALIVE const char* WebHelpWord(int i, int* pOut) {
    return WebHelpPictureWord(i, pOut);
}

// The game's picture, for the tests' comparison with the canvas.
EMSCRIPTEN_KEEPALIVE const uint32_t* WebScreenPixels() {
    return aWebScreen;
}

// The pointer on the playfield, in design pixels: kind POINTER_*, the wheel
// in 120ths of a notch. Returns 1 when the game took it.
EMSCRIPTEN_KEEPALIVE int WebPointer(int nKind, int x, int y, int nWheel) {
    const PointerEvent e = {nKind, x, y, nWheel};
    int bTaken = !game.bMinimized && bActive ? PointerInputEvent(hwndWebMain, &e) : 0;
    RunPosted();
    WebPresent();
    return bTaken;
}

// The page is left: the options are written, as the window's end writes them.
EMSCRIPTEN_KEEPALIVE void WebPageClosing() {
    SavePrefs();
}

// The browser tests' seam: a score for the game in play, so that a test
// reaches the high-score table without playing a whole game first.
EMSCRIPTEN_KEEPALIVE void WebTestSetScore(int32_t lScore) {
    game.lScore = (uint32_t)lScore;
}

// And the level's end, as play reaches it, on level nLevel of a running game.
EMSCRIPTEN_KEEPALIVE void WebTestLevelOver(int nLevel) {
    game.nLevel = nLevel;
    LevelOver(hwndWebMain);
    RunPosted();
    WebPresent();
}

int main() {
    return 0;
}

} // extern "C"
