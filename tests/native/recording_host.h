// A GameHost that records every call the engine makes, for the native tests.
//
//   RecordingHost host;            // installs itself, resets the game state
//   ... run engine code ...
//   EXPECT_EQ(host.Count("PlayGameSound"), 1);
//   EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"SCORE2"}));
//
// Each call is one Call with the operation's name and its arguments as text
// (a sound's name, a panel message's number and parameters). Answers that the
// engine asks for (dialog results, Ctrl state, the clock) are plain fields.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/host.h"

struct HostCall {
    std::string op;           // the operation, e.g. "SendPanel"
    std::vector<int64_t> arg; // its numeric arguments in order
    std::string text;         // its text argument (a sound name), if any
};

class RecordingHost {
  public:
    RecordingHost();
    ~RecordingHost();

    std::vector<HostCall> calls;

    // Answers to the engine's questions.
    int bCtrlDown = 0;
    int bMainActive = 1;
    int nLevelDoneResult = 1; // what ShowLevelDoneDlg returns
    int nMusicFiles = 0;      // what MIDIFindFiles returns
    int64_t nTime = 1000;     // what TimeNow returns
    // Optional hooks run inside a dialog operation (e.g. to set up the next
    // level as the real level-complete dialog does).
    std::function<int()> onLevelDoneDlg;
    std::function<void()> onGameOverDlg;
    std::function<void()> onWinGameDlg;

    // Helpers over the record.
    int Count(const std::string& op) const;
    std::vector<std::string> Ops() const;                    // every op name in order
    std::vector<std::string> Sounds() const;                 // names passed to PlayGameSound
    std::vector<HostCall> Panel() const;                     // every SendPanel call
    int IndexOf(const std::string& op, int nFrom = 0) const; // -1 if absent
    void Clear() { calls.clear(); }

    static RecordingHost* pActive;
};

// Resets the game state, the preferences and the engine's tables to a fresh
// start-up, as GameInit leaves them (with the recording host installed).
void ResetEngineForTest(RecordingHost& host);

// The bins as a picture: five strings, the top row (row 4) first, each giving
// bins 0..4 from the left; '.' is an empty cell, '0'..'7' a tile colour.
//   BinsFromPicture({".....", ".....", "..1..", "..2..", "112.."});
// BinsFromPicture sets aBinCell and sets aBinCount to the filled cells of
// each bin (it does not make floating tiles fall); BinsPicture reads back.
void BinsFromPicture(const std::vector<std::string>& aszRow);
std::vector<std::string> BinsPicture();
