// Random inputs, from fixed seeds, through the readers of what a player can
// hand the game: a high-score record from the initialisation file, a typed
// warp code and a MIDI file beside the exe. Each result is checked against a
// plain model of the rule and against the fields' bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "audio/smf.h"
#include "engine/warp.h"
#include "scores/hiscore.h"
#include "scores/warpdlg.h"

namespace {

// Text made mostly of the characters the readers treat specially.
std::string RandomText(std::mt19937& rng, size_t nMaxLen) {
    static const char kSpecial[] = ",,,,#  \t+-0123456789";
    std::string s(std::uniform_int_distribution<size_t>(0, nMaxLen)(rng), ' ');
    for (char& c : s) {
        unsigned r = rng() % 4;
        if (r < 2)
            c = kSpecial[rng() % (sizeof kSpecial - 1)];
        else if (r == 2)
            c = (char)(' ' + rng() % 95);
        else
            c = (char)(1 + rng() % 255); // anything but the terminator
    }
    return s;
}

// --- High-score records ------------------------------------------------------

// The record rule, written plainly: fields between commas (empty ones do not
// count), at least four; name and date cut to their fields; numbers read as
// the decimal conversion does, clamped to what the row stores.
int64_t ModelNumber(const std::string& s) {
    size_t i = s.find_first_not_of(" \t\n\r\v\f");
    if (i == std::string::npos) return 0;
    int nSign = 1;
    if (s[i] == '+' || s[i] == '-') nSign = s[i++] == '-' ? -1 : 1;
    int64_t n = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; i++)
        n = std::min<int64_t>(n * 10 + (s[i] - '0'), INT64_C(1) << 40);
    return nSign * n;
}

bool ModelParse(const std::string& sValue, HighScoreEntry* pRow) {
    std::vector<std::string> aField;
    size_t i = 0;
    while (aField.size() < 4) {
        i = sValue.find_first_not_of(',', i);
        if (i == std::string::npos) break;
        size_t j = std::min(sValue.find(',', i), sValue.size());
        aField.push_back(sValue.substr(i, j - i));
        i = j;
    }
    if (aField.size() < 4) return false;
    HighScoreEntry row = {};
    snprintf(row.szName, HS_NAME_LEN, "%s", aField[0].c_str());
    row.nLevel = (int32_t)std::clamp<int64_t>(ModelNumber(aField[1]), INT32_MIN, INT32_MAX);
    row.lScore =
        (int32_t)(uint32_t)std::clamp<int64_t>(ModelNumber(aField[2]), INT32_MIN, UINT32_MAX);
    snprintf(row.szDate, HS_DATE_LEN, "%s", aField[3].c_str());
    *pRow = row;
    return true;
}

bool SameRow(const HighScoreEntry& a, const HighScoreEntry& b) {
    return strcmp(a.szName, b.szName) == 0 && a.lScore == b.lScore && a.nLevel == b.nLevel &&
           strcmp(a.szDate, b.szDate) == 0;
}

TEST(Fuzz, HighScoreRecordsReadAsTheRuleSaysAndSurviveTheirOwnFormat) {
    const char kFill = '\x5A';
    for (unsigned nSeed : {1u, 2u, 3u}) {
        std::mt19937 rng(nSeed);
        for (int n = 0; n < 40000; n++) {
            // Most values have four or more fields, as a real record does.
            std::string sValue = RandomText(rng, 120);
            SCOPED_TRACE(testing::Message() << "seed " << nSeed << ", value \"" << sValue << "\"");

            struct {
                HighScoreEntry row;
                char aGuard[16];
            } got;
            memset(&got, kFill, sizeof got);
            const HighScoreEntry untouched = got.row;
            HighScoreEntry want = untouched;
            const bool bWant = ModelParse(sValue, &want);
            ASSERT_EQ(HighScoreRecordParse(sValue.c_str(), &got.row), bWant ? 1 : 0);
            ASSERT_TRUE(std::all_of(got.aGuard, got.aGuard + sizeof got.aGuard,
                                    [&](char c) { return c == kFill; }));
            if (!bWant) {
                ASSERT_EQ(memcmp(&got.row, &untouched, sizeof untouched), 0);
                continue;
            }
            ASSERT_TRUE(SameRow(got.row, want)) << got.row.szName << "|" << got.row.nLevel << "|"
                                                << got.row.lScore << "|" << got.row.szDate;

            // What was read is written and read back unchanged.
            char szRecord[HS_RECORD_LEN];
            ASSERT_GT(HighScoreRecordFormat(&got.row, szRecord, sizeof szRecord), 0);
            HighScoreEntry again = {};
            ASSERT_EQ(HighScoreRecordParse(szRecord, &again), 1) << szRecord;
            ASSERT_TRUE(SameRow(again, got.row)) << szRecord;
        }
    }
}

// --- Warp codes --------------------------------------------------------------

// The warp rule, written plainly: the first 24 characters; marker, two
// characters, marker goes to that level (1..50) from anywhere; a password
// goes only forward. The scrambled comparison ends a code at the first
// character that scrambles to the terminator.
int ModelWarp(const std::string& sTyped, int nCurrent, int* pnLevel) {
    std::string sCode = sTyped.substr(0, WARP_CODE_LEN);
    if (sCode.size() >= 4 && sCode[0] == WARP_MARKER && sCode[3] == WARP_MARKER) {
        long n = strtol(sCode.substr(1, 2).c_str(), nullptr, 10);
        *pnLevel = (int)std::clamp<long>(n, 1, 50);
        return WARP_OK_GO;
    }
    for (size_t i = 0; i < sCode.size(); i++)
        if ((unsigned char)((unsigned char)sCode[i] + i + 1) == 0) {
            sCode.resize(i);
            break;
        }
    for (int nLevel = 6; nLevel <= 46; nLevel += 5) {
        char szPassword[WARP_SLOT_LEN];
        WarpPasswordForLevel(nLevel, szPassword);
        if (sCode.empty() || sCode != szPassword) continue;
        if (nLevel <= nCurrent) return WARP_OK_BEEP;
        *pnLevel = nLevel;
        return WARP_OK_GO;
    }
    return WARP_OK_NOTHING;
}

// A password with a random change: cut, lengthened, one character replaced,
// or followed by the character that scrambles to the terminator there.
std::string NearPassword(std::mt19937& rng) {
    char szPassword[WARP_SLOT_LEN];
    WarpPasswordForLevel(6 + 5 * (int)(rng() % 9), szPassword);
    std::string s = szPassword;
    switch (rng() % 5) {
    case 0: break;
    case 1: s.resize(rng() % (s.size() + 1)); break;
    case 2: s += RandomText(rng, 30); break;
    case 3: s[rng() % s.size()] = (char)(1 + rng() % 255); break;
    case 4:
        s.push_back((char)(256 - (s.size() + 1) % 256));
        s.append(RandomText(rng, 5));
        break;
    }
    return s;
}

TEST(Fuzz, WarpCodesActAsTheRuleSaysAndAreNeverChanged) {
    WarpTableInit();
    for (unsigned nSeed : {1u, 2u, 3u}) {
        std::mt19937 rng(nSeed);
        for (int n = 0; n < 40000; n++) {
            std::string sTyped;
            switch (rng() % 3) {
            case 0: sTyped = RandomText(rng, 40); break;
            case 1: sTyped = NearPassword(rng); break;
            case 2:
                sTyped.push_back(WARP_MARKER);
                sTyped.append(RandomText(rng, 2));
                sTyped.push_back(WARP_MARKER);
                sTyped.append(RandomText(rng, 3));
                break;
            }
            const int nCurrent = 1 + (int)(rng() % 50);
            SCOPED_TRACE(testing::Message() << "seed " << nSeed << ", code \"" << sTyped
                                            << "\" on level " << nCurrent);

            std::vector<char> aTyped(sTyped.begin(), sTyped.end());
            aTyped.push_back('\0');
            int nGot = -1, nWant = -1;
            const int nAction = WarpOkAction(aTyped.data(), nCurrent, &nGot);
            ASSERT_EQ(nAction, ModelWarp(sTyped, nCurrent, &nWant));
            ASSERT_EQ(nGot, nWant);
            ASSERT_EQ(std::string(aTyped.data()), sTyped);
        }
    }
}

// --- MIDI files ----------------------------------------------------------------

// A small format 1 file: a tempo map, then notes, controllers and the kinds
// of event that are walked and skipped, with running status.
std::string Bytes(std::initializer_list<int> a) {
    std::string s;
    for (int n : a) s += (char)n;
    return s;
}

std::string SeedMidi() {
    const std::string szTempo = Bytes({0, 0xFF, 0x51, 3, 7, 0xA1, 0x20,             // 100 a minute
                                       0x83, 0x60, 0xFF, 0x51, 3, 0x0F, 0x42, 0x40, // then 60
                                       0, 0xFF, 0x2F, 0});
    const std::string szPart = Bytes({0, 0xF0, 3,    0x7E, 0x7F, 0xF7,         // sysex
                                      0, 0xFF, 3,    2,    'h',  'i',          // a name
                                      0, 0xC0, 12,   0,    0xB0, 7,    100,    // program, volume
                                      0, 0x90, 60,   90,   0x60, 64,   80,     // running status
                                      0, 0xE0, 0,    0x50, 0x60, 0x80, 60,  0, // bend, off
                                      0, 0xFF, 0x2F, 0});
    return "MThd" + Bytes({0, 0, 0, 6, 0, 1, 0, 2, 1, 0xE0}) + "MTrk" +
           Bytes({0, 0, 0, (int)szTempo.size()}) + szTempo + "MTrk" +
           Bytes({0, 0, 0, (int)szPart.size()}) + szPart;
}

// Flipped, cut, repeated and overwritten bytes: whatever comes in, the reader
// returns, takes all or nothing, and what it takes is in order, in time and
// made only of channel messages and tempo changes.
TEST(Fuzz, MidiFilesAreReadWholeOrRefusedWhole) {
    const std::string szSeed = SeedMidi();
    SmfSong song;
    ASSERT_TRUE(SmfRead((const uint8_t*)szSeed.data(), szSeed.size(), &song));
    EXPECT_EQ(song.nEvents, 8);
    SmfFree(&song);
    int nRead = 0;
    for (unsigned nSeed : {1u, 2u, 3u}) {
        std::mt19937 rng(nSeed);
        for (int n = 0; n < 20000; n++) {
            std::vector<uint8_t> s(szSeed.begin(), szSeed.end());
            for (int nChanges = 1 + (int)(rng() % 4); nChanges > 0; nChanges--) {
                size_t i = rng() % s.size();
                switch (rng() % 5) {
                case 0: s[i] = (uint8_t)(s[i] ^ (1 << (rng() % 8))); break;
                case 1: s[i] = (uint8_t)rng(); break;
                case 2: s.resize(i); break;
                case 3: { // a stretch repeated
                    size_t nLen = std::min<size_t>(rng() % 8, s.size() - i);
                    std::vector<uint8_t> aPart(s.begin() + (long)i, s.begin() + (long)(i + nLen));
                    s.insert(s.begin() + (long)i, aPart.begin(), aPart.end());
                    break;
                }
                default: s[i] = (uint8_t)(rng() % 2 ? 0xFF : 0x80 | (rng() % 16) << 3); break;
                }
                if (s.empty()) s.push_back('M');
            }
            SCOPED_TRACE(testing::Message() << "seed " << nSeed << ", case " << n);
            const uint8_t* p = s.data();
            int bOk = SmfRead(p, s.size(), &song);
            ASSERT_EQ(SmfRead(p, s.size(), nullptr), bOk);
            if (!bOk) {
                ASSERT_EQ(song.aEvent, nullptr);
                ASSERT_EQ(song.nEvents, 0);
                continue;
            }
            nRead++;
            for (int i = 0; i < song.nEvents; i++) {
                const SmfEvent& e = song.aEvent[i];
                ASSERT_TRUE((e.nStatus >= 0x80 && e.nStatus < 0xF0) ||
                            e.nStatus == SMF_STATUS_TEMPO);
                if (e.nStatus != SMF_STATUS_TEMPO) {
                    ASSERT_TRUE(e.nData1 < 0x80 && e.nData2 < 0x80);
                }
                if (i > 0) {
                    ASSERT_GE(e.nTick, song.aEvent[i - 1].nTick);
                    ASSERT_GE(e.nFrame, song.aEvent[i - 1].nFrame);
                }
                ASSERT_LE(e.nFrame, song.nEndFrame);
            }
            SmfFree(&song);
        }
    }
    EXPECT_GT(nRead, 1000); // the changes left many files readable
}

} // namespace
