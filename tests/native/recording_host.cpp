#include "tests/native/recording_host.h"

#include <cstring>

#include "engine/game.h"
#include "prefs/prefs.h"
#include "tools/simulate/sim.h"

RecordingHost* RecordingHost::pActive;

namespace {

RecordingHost& H() {
    return *RecordingHost::pActive;
}

int Rec(const char* op, std::vector<int64_t> args = {}, const char* text = "") {
    H().calls.push_back(HostCall{op, std::move(args), text ? text : ""});
    return 1;
}

const GameHost kRecordingHost = {
    .PlayGameSound = [](const char* sz, int bAsync) { return Rec("PlayGameSound", {bAsync}, sz); },
    .PlayBeep = [](int nType) { return Rec("PlayBeep", {nType}); },
    .MIDIFindFiles =
        []() {
            Rec("MIDIFindFiles");
            return H().nMusicFiles;
        },
    .MIDIStart = [](int n) { return Rec("MIDIStart", {n}); },
    .MIDINext = [](HostWindow) { return Rec("MIDINext"); },
    .MIDIStop = []() { return Rec("MIDIStop"); },
    .BeginDrawing = []() { return Rec("BeginDrawing"); },
    .EndDrawing = []() { return Rec("EndDrawing"); },
    .DrawBins = []() { return Rec("DrawBins"); },
    .DrawPaddleStack = []() { return Rec("DrawPaddleStack"); },
    .ErasePaddleStack = []() { return Rec("ErasePaddleStack"); },
    .StartPaddleFlash = []() { return Rec("StartPaddleFlash"); },
    .PaddleLightTick = []() { return Rec("PaddleLightTick"); },
    .DrawTileFrame =
        [](int c, int f, int x, int y) {
            return Rec("DrawTileFrame", {c, f, x, y});
        },
    .DrawTileErase =
        [](int x, int y) {
            return Rec("DrawTileErase", {x, y});
        },
    .DrawFlatTile =
        [](int c, int x, int y) {
            return Rec("DrawFlatTile", {c, x, y});
        },
    .DrawGoalPicture = []() { return Rec("DrawGoalPicture"); },
    .ShowPauseLogo = [](int b) { return Rec("ShowPauseLogo", {b}); },
    .BlankRect =
        [](int l, int t, int r, int b) {
            return Rec("BlankRect", {l, t, r, b});
        },
    .SendPanel =
        [](int m, uint32_t w, int32_t l) {
            return Rec("SendPanel", {m, w, l});
        },
    .PostResolveLines = []() { return Rec("PostResolveLines"); },
    .SendCommand = [](int id) { return Rec("SendCommand", {id}); },
    .SendPlayTimer = []() { return Rec("SendPlayTimer"); },
    .StartPlayTimer = []() { return Rec("StartPlayTimer"); },
    .MinimizeMain = []() { return Rec("MinimizeMain"); },
    .InvalidateMain = [](int b) { return Rec("InvalidateMain", {b}); },
    .InvalidatePanel = [](int b) { return Rec("InvalidatePanel", {b}); },
    .UpdateMainAndPanel = []() { return Rec("UpdateMainAndPanel"); },
    .ShowPanel = []() { return Rec("ShowPanel"); },
    .IsCtrlDown = []() { return H().bCtrlDown; },
    .IsMainActive = []() { return H().bMainActive; },
    .ShowLevelDoneDlg =
        []() {
            Rec("ShowLevelDoneDlg");
            return H().onLevelDoneDlg ? H().onLevelDoneDlg() : H().nLevelDoneResult;
        },
    .ShowGameOverDlg =
        []() {
            Rec("ShowGameOverDlg");
            if (H().onGameOverDlg) H().onGameOverDlg();
            return 1;
        },
    .CheckHighScore = []() { return Rec("CheckHighScore"); },
    .ShowWinGameDlg =
        []() {
            Rec("ShowWinGameDlg");
            if (H().onWinGameDlg) H().onWinGameDlg();
            return 1;
        },
    .ShowHiScoreDlg = []() { return Rec("ShowHiScoreDlg"); },
    .LoadStringText = SimStringLoad,
    .LoadPrefs = []() { return Rec("LoadPrefs"); },
    .LoadCreditsBitmap = []() { return Rec("LoadCreditsBitmap"); },
    .TimeNow = []() { return H().nTime; },
};

} // namespace

RecordingHost::RecordingHost() {
    pActive = this;
    HostInstall(&kRecordingHost);
}

RecordingHost::~RecordingHost() {
    if (pActive == this) pActive = nullptr;
}

int RecordingHost::Count(const std::string& op) const {
    int n = 0;
    for (const HostCall& c : calls) n += c.op == op;
    return n;
}

std::vector<std::string> RecordingHost::Ops() const {
    std::vector<std::string> ops;
    for (const HostCall& c : calls) ops.push_back(c.op);
    return ops;
}

std::vector<std::string> RecordingHost::Sounds() const {
    std::vector<std::string> names;
    for (const HostCall& c : calls)
        if (c.op == "PlayGameSound") names.push_back(c.text);
    return names;
}

std::vector<HostCall> RecordingHost::Panel() const {
    std::vector<HostCall> panel;
    for (const HostCall& c : calls)
        if (c.op == "SendPanel") panel.push_back(c);
    return panel;
}

int RecordingHost::IndexOf(const std::string& op, int nFrom) const {
    for (size_t i = (size_t)nFrom; i < calls.size(); i++)
        if (calls[i].op == op) return (int)i;
    return -1;
}

void ResetEngineForTest(RecordingHost& host) {
    game = GameState{};
    PrefsSetDefaults();
    GameInit(nullptr);
    ApplySpeed();
    host.Clear();
}

void BinsFromPicture(const std::vector<std::string>& aszRow) {
    for (int nBin = 0; nBin < NUM_LANES; nBin++) {
        game.aBinCount[nBin] = 0;
        for (int nRow = 0; nRow < NUM_ROWS; nRow++) {
            const std::string& sz = aszRow.at((size_t)(NUM_ROWS - 1 - nRow));
            char ch = sz.at((size_t)nBin);
            TileColor c = (ch >= '0' && ch <= '7') ? ch - '0' : TILE_NONE;
            game.aBinCell[nBin * NUM_ROWS + nRow] = c;
            game.aBinCount[nBin] += c != TILE_NONE;
        }
    }
}

std::vector<std::string> BinsPicture() {
    std::vector<std::string> aszRow;
    for (int nRow = NUM_ROWS - 1; nRow >= 0; nRow--) {
        std::string sz;
        for (int nBin = 0; nBin < NUM_LANES; nBin++) {
            TileColor c = game.aBinCell[nBin * NUM_ROWS + nRow];
            sz += (c >= 0 && c <= 7) ? (char)('0' + c) : '.';
        }
        aszRow.push_back(sz);
    }
    return aszRow;
}
