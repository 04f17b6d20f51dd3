// The scripted game of tests/data/scripted_game.txt played on the Win32
// renderer: the seed its clock gives, its keys at their ticks through the
// game's key handler and play tick, until the level-complete dialog opens.
// The picture at that moment is written to the screenshots folder, where the
// browser's tests compare the page's picture with it.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "engine/lines.h"
#include "engine/play.h"
#include "prefs/prefs.h"
#include "scores/leveldone.h"
#include "tests/win32/support/png_write.h"
#include "tests/win32/test_render_stage.h"

namespace {

struct Script {
    unsigned nSeed = 0;
    int nSpeed = 1;
    std::vector<std::pair<int, int>> keys; // (ticks played before it, virtual-key code)
};

Script ScriptRead(const std::string& sPath) {
    Script s;
    std::ifstream in(sPath);
    std::string sLine;
    while (std::getline(in, sLine)) {
        if (sLine.empty() || sLine[0] == '#') continue;
        std::istringstream words(sLine);
        std::string sFirst;
        int n = 0;
        words >> sFirst >> n;
        if (sFirst == "seed")
            s.nSeed = (unsigned)n;
        else if (sFirst == "speed")
            s.nSpeed = n;
        else
            s.keys.emplace_back(atoi(sFirst.c_str()), n);
    }
    return s;
}

// What the host posts or asks for, run where the window's queue would run it.
Script script;
bool bRepaintDue, bResolveDue;
std::vector<uint32_t> levelDonePicture;

void RunPosted() {
    if (bRepaintDue) PaintMainWindow(RenderStage::pStage->main.Dc());
    if (bResolveDue) LinesResolve(RenderStage::pStage->hwndStageMain);
    bRepaintDue = bResolveDue = false;
}

GameHost ScriptHost(const GameHost& win32) {
    GameHost h = win32;
    h.PlayGameSound = [](const char*, int) { return 1; };
    h.MIDIStart = [](int) { return 1; };
    h.MIDINext = [](HostWindow) { return 1; };
    h.MIDIStop = [] { return 1; };
    h.SendPanel = [](int, uint32_t, int32_t) { return 1; };
    h.IsMainActive = [] { return 1; }; // the stage's windows stay hidden
    h.TimeNow = [] { return (int64_t)script.nSeed; };
    h.InvalidateMain = [](int) { return int(bRepaintDue = true); };
    h.PostResolveLines = [] { return int(bResolveDue = true); };
    h.ShowLevelDoneDlg = [] {
        GdiFlush();
        const uint32_t* p = RenderStage::pStage->main.Pixels();
        for (int i = 0; i < SCREEN_W * SCREEN_H; i++) levelDonePicture.push_back(p[i] & 0xFFFFFF);
        return (int)LEVELDONE_NEXT;
    };
    h.ShowGameOverDlg = [] {
        ADD_FAILURE() << "the scripted game was lost";
        return 1;
    };
    return h;
}

TEST(ScriptedGame, PlaysToTheLevelsEndAndSavesThePicture) {
    script = ScriptRead(std::string(QUARRION_TEST_DATA_DIR_W) + "\\scripted_game.txt");
    ASSERT_GT(script.keys.size(), 10u) << "the script did not load";
    RenderStage stage{true};
    const GameHost host = ScriptHost(*pHost);
    HostInstall(&host);
    prefs.nSpeed = script.nSpeed;
    ApplySpeed();
    levelDonePicture.clear();

    // A new game as the New command starts it: set up, then resumed by Space.
    GameNew(0);
    game.bPaused = 1;
    KeyDown(stage.hwndStageMain, KEY_SPACE);
    RunPosted();
    int nTicks = 0;
    for (const auto& [nAt, vk] : script.keys) {
        for (; nTicks < nAt; nTicks++) {
            ASSERT_TRUE(levelDonePicture.empty()) << "the level ended early, at tick " << nTicks;
            stage.dwNow += PLAY_TIMER_MS;
            EngineTimerTick(stage.hwndStageMain);
            RunPosted();
        }
        KeyDown(stage.hwndStageMain, vk);
        RunPosted();
    }
    HostInstallWin32();
    ASSERT_EQ(levelDonePicture.size(), size_t(SCREEN_W * SCREEN_H)) << "no level end";
    EXPECT_GE(game.lScore, 5000u) << "level 1's goal met by lines";
    EXPECT_TRUE(PngWrite(ScreenshotPath("scripted_game.png").c_str(), levelDonePicture.data(),
                         SCREEN_W, SCREEN_H));
}

} // namespace
