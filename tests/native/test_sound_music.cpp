// Checks the music that soundgen wrote into the asset directory's dist/: the
// Standard MIDI File structure read back byte by byte, each tune's length from
// its tempo map, and that the tunes are playable and distinct.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Event {
    uint32_t nTick;
    uint8_t nStatus; // 0xFF meta, 0xF0/0xF7 sysex, else channel status
    uint8_t nMeta;
    std::vector<uint8_t> aData;
};

struct Smf {
    std::string szName;
    std::string szError;
    int nFormat = -1, nTracks = -1, nDivision = 0;
    int nChunks = 0;
    std::vector<std::vector<Event>> aTrack;
};

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// Reads a whole file; any structural fault ends the reading with szError.
Smf ReadSmf(const fs::path& path) {
    Smf f;
    f.szName = path.filename().string();
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
    auto tag = [&](size_t at) {
        return std::string(b.begin() + long(at), b.begin() + long(at) + 4);
    };
    if (b.size() < 14 || tag(0) != "MThd" || Be32(b, 4) != 6) {
        f.szError = "no 6-byte MThd header";
        return f;
    }
    f.nFormat = b[8] << 8 | b[9];
    f.nTracks = b[10] << 8 | b[11];
    f.nDivision = b[12] << 8 | b[13];
    size_t at = 14;
    while (at < b.size()) {
        if (at + 8 > b.size() || tag(at) != "MTrk") {
            f.szError = "bytes after the last track chunk";
            return f;
        }
        size_t end = at + 8 + Be32(b, at + 4);
        if (end > b.size()) {
            f.szError = "track chunk longer than the file";
            return f;
        }
        size_t pos = at + 8;
        std::vector<Event> ev;
        uint32_t tick = 0;
        uint8_t running = 0;
        auto varLen = [&](uint32_t* v) {
            *v = 0;
            for (int i = 0; i < 4 && pos < end; ++i) {
                uint8_t c = b[pos++];
                *v = *v << 7 | (c & 0x7F);
                if (!(c & 0x80)) return true;
            }
            return false;
        };
        std::string where = "track " + std::to_string(f.nChunks) + ": ";
        while (pos < end) {
            uint32_t delta, len;
            if (!varLen(&delta)) {
                f.szError = where + "delta-time does not parse";
                return f;
            }
            tick += delta;
            Event e{tick, 0, 0, {}};
            if (pos >= end) {
                f.szError = where + "delta-time without an event";
                return f;
            }
            uint8_t c = b[pos];
            if (c == 0xFF || c == 0xF0 || c == 0xF7) {
                e.nStatus = c;
                pos += 1;
                if (c == 0xFF) e.nMeta = pos < end ? b[pos++] : 0;
                if (!varLen(&len) || pos + len > end) {
                    f.szError = where + "meta or sysex length runs past the chunk";
                    return f;
                }
                e.aData.assign(b.begin() + long(pos), b.begin() + long(pos + len));
                pos += len;
                running = 0;
            } else {
                if (c & 0x80) running = b[pos++];
                if (!running) {
                    f.szError = where + "data byte without a status";
                    return f;
                }
                size_t n = (running & 0xF0) == 0xC0 || (running & 0xF0) == 0xD0 ? 1 : 2;
                if (pos + n > end) {
                    f.szError = where + "channel event runs past the chunk";
                    return f;
                }
                e.nStatus = running;
                e.aData.assign(b.begin() + long(pos), b.begin() + long(pos + n));
                for (uint8_t d : e.aData)
                    if (d & 0x80) f.szError = where + "data byte above 127";
                pos += n;
            }
            ev.push_back(e);
        }
        f.aTrack.push_back(ev);
        ++f.nChunks;
        at = end;
    }
    return f;
}

std::vector<Smf>& Tunes() {
    static std::vector<Smf> tunes;
    if (tunes.empty()) {
        std::vector<fs::path> paths;
        for (const fs::directory_entry& e :
             fs::directory_iterator(fs::path(QUARRION_ASSET_DIR) / "dist"))
            if (e.path().extension() == ".mid") paths.push_back(e.path());
        std::sort(paths.begin(), paths.end());
        for (const fs::path& p : paths) tunes.push_back(ReadSmf(p));
    }
    return tunes;
}

bool IsEndOfTrack(const Event& e) {
    return e.nStatus == 0xFF && e.nMeta == 0x2F && e.aData.empty();
}

// The tempo map of all tracks: tick -> microseconds per quarter.
std::map<uint32_t, uint32_t> TempoMap(const Smf& f) {
    std::map<uint32_t, uint32_t> map;
    for (const auto& t : f.aTrack)
        for (const Event& e : t)
            if (e.nStatus == 0xFF && e.nMeta == 0x51 && e.aData.size() == 3)
                map[e.nTick] = uint32_t(e.aData[0]) << 16 | e.aData[1] << 8 | e.aData[2];
    return map;
}

double Seconds(const Smf& f, uint32_t tick) {
    double sec = 0;
    uint32_t at = 0, us = 500000; // 120 bpm until the first tempo event
    for (const auto& [t, v] : TempoMap(f)) {
        if (t >= tick) break;
        sec += double(t - at) * us / 1e6 / f.nDivision;
        at = t;
        us = v;
    }
    return sec + double(tick - at) * us / 1e6 / f.nDivision;
}

uint32_t LastTick(const Smf& f) {
    uint32_t last = 0;
    for (const auto& t : f.aTrack)
        if (!t.empty()) last = std::max(last, t.back().nTick);
    return last;
}

struct Sounding {
    uint32_t nOn, nOff;
    int nChannel, nKey;
};

// Every note with its start and end, from note-on and note-off pairs.
std::vector<Sounding> Notes(const Smf& f, int* pHanging) {
    std::vector<Sounding> out;
    *pHanging = 0;
    for (const auto& t : f.aTrack) {
        std::map<std::pair<int, int>, uint32_t> open;
        for (const Event& e : t) {
            int kind = e.nStatus & 0xF0, ch = e.nStatus & 0x0F;
            if (e.nStatus >= 0xF0 || (kind != 0x80 && kind != 0x90)) continue;
            auto id = std::make_pair(ch, int(e.aData[0]));
            if (kind == 0x90 && e.aData[1] > 0) {
                if (open.count(id)) ++*pHanging; // struck again while still held
                open[id] = e.nTick;
            } else if (open.count(id)) {
                out.push_back({open[id], e.nTick, ch, id.second});
                open.erase(id);
            }
        }
        *pHanging += int(open.size());
    }
    return out;
}

// The tune's lead: of the pitched channels with a fair share of the notes,
// the one that sings highest on average.
int LeadChannel(const std::vector<Sounding>& notes) {
    std::map<int, std::pair<long, int>> sum; // channel -> (sum of keys, count)
    for (const Sounding& n : notes)
        if (n.nChannel != 9) sum[n.nChannel].first += n.nKey, sum[n.nChannel].second++;
    int lead = -1;
    double best = 0;
    for (auto [ch, s] : sum) {
        if (s.second * 10 < int(notes.size())) continue;
        double mean = double(s.first) / s.second;
        if (mean > best) best = mean, lead = ch;
    }
    return lead;
}

// --- Files and structure ---------------------------------------------------------------

TEST(MusicFiles, AtLeastFourTunesWithNamesThatFitTheirSlot) {
    ASSERT_GE(Tunes().size(), 4u);
    for (const Smf& f : Tunes()) {
        EXPECT_LT(f.szName.size(), 32u) << f.szName;
        EXPECT_EQ(f.szName.substr(f.szName.size() - 4), ".mid");
    }
}

TEST(MusicFiles, HeaderAndChunksAreSound) {
    for (const Smf& f : Tunes()) {
        SCOPED_TRACE(f.szName);
        ASSERT_EQ(f.szError, "");
        EXPECT_TRUE(f.nFormat == 0 || f.nFormat == 1);
        if (f.nFormat == 0) {
            EXPECT_EQ(f.nTracks, 1);
        }
        EXPECT_EQ(f.nChunks, f.nTracks) << "header's track count";
        EXPECT_GT(f.nDivision, 0);
        EXPECT_EQ(f.nDivision & 0x8000, 0) << "ticks per quarter, not SMPTE time";
    }
}

TEST(MusicFiles, EveryTrackEndsWithOneEndOfTrackEvent) {
    for (const Smf& f : Tunes()) {
        SCOPED_TRACE(f.szName);
        ASSERT_EQ(f.szError, "");
        for (const auto& t : f.aTrack) {
            ASSERT_FALSE(t.empty());
            EXPECT_TRUE(IsEndOfTrack(t.back()));
            EXPECT_EQ(std::count_if(t.begin(), t.end(), IsEndOfTrack), 1);
        }
    }
}

TEST(MusicFiles, LastOneToThreeMinutesByTheirTempoMap) {
    for (const Smf& f : Tunes()) {
        SCOPED_TRACE(f.szName);
        ASSERT_EQ(f.szError, "");
        double sec = Seconds(f, LastTick(f));
        EXPECT_GE(sec, 60.0);
        EXPECT_LE(sec, 180.0);
        std::map<uint32_t, uint32_t> map = TempoMap(f);
        ASSERT_FALSE(map.empty());
        EXPECT_EQ(map.begin()->first, 0u) << "tempo set from the start";
        for (const auto& [tick, us] : map) {
            EXPECT_GE(us, 60000000u / 180) << "faster than 180 bpm";
            EXPECT_LE(us, 60000000u / 50) << "slower than 50 bpm";
        }
    }
}

TEST(MusicFiles, TunesDifferInTempoAndLeadInstrument) {
    std::set<uint32_t> tempos;
    std::set<int> leads;
    for (const Smf& f : Tunes()) {
        std::map<uint32_t, uint32_t> map = TempoMap(f);
        if (!map.empty()) tempos.insert(map.begin()->second);
        int hanging;
        int lead = LeadChannel(Notes(f, &hanging));
        for (const auto& t : f.aTrack)
            for (const Event& e : t)
                if (e.nStatus == (0xC0 | lead)) leads.insert(e.aData[0]);
    }
    EXPECT_EQ(tempos.size(), Tunes().size()) << "two tunes share a tempo";
    EXPECT_GE(leads.size(), 4u);
}

// --- Playable content ------------------------------------------------------------------

TEST(MusicContent, MelodyBassChordsAndDrumsWithTheirPrograms) {
    for (const Smf& f : Tunes()) {
        SCOPED_TRACE(f.szName);
        ASSERT_EQ(f.szError, "");
        int hanging;
        std::vector<Sounding> notes = Notes(f, &hanging);
        EXPECT_EQ(hanging, 0) << "notes without their note-off";
        std::map<int, int> perChannel;
        for (const Sounding& n : notes) {
            perChannel[n.nChannel]++;
            EXPECT_GT(n.nOff, n.nOn);
            if (n.nChannel == 9) {
                EXPECT_TRUE(n.nKey >= 35 && n.nKey <= 81) << "no GM drum " << n.nKey;
            } else {
                EXPECT_TRUE(n.nKey >= 28 && n.nKey <= 100) << "key " << n.nKey;
            }
        }
        EXPECT_GT(perChannel[9], 100) << "drums on channel 10";
        EXPECT_GE(perChannel.size(), 5u) << "melody, chords, bass, drums and more";
        // Every pitched channel chooses its General MIDI program before its first note.
        std::map<int, uint32_t> program, first;
        for (const auto& t : f.aTrack)
            for (const Event& e : t) {
                int ch = e.nStatus & 0x0F;
                if ((e.nStatus & 0xF0) == 0xC0 && !program.count(ch)) program[ch] = e.nTick;
                if ((e.nStatus & 0xF0) == 0x90 && !first.count(ch)) first[ch] = e.nTick;
            }
        for (auto [ch, tick] : first) {
            if (ch == 9) continue;
            ASSERT_TRUE(program.count(ch)) << "channel " << ch + 1 << " has no program";
            EXPECT_LE(program[ch], tick);
        }
    }
}

TEST(MusicContent, TuneNotesOnTheBeatAgreeWithTheHarmony) {
    // A note of the lead on a strong beat should not rub against anything else
    // that sounds at that moment: a minor second or ninth above it, or any
    // semitone next door. (A major seventh above the bass is a colour, not a rub.)
    for (const Smf& f : Tunes()) {
        SCOPED_TRACE(f.szName);
        ASSERT_EQ(f.szError, "");
        int hanging;
        std::vector<Sounding> notes = Notes(f, &hanging);
        int lead = LeadChannel(notes);
        ASSERT_GE(lead, 0) << "no tune";
        // The strong beats: every bar's first, and the middle of a bar of four.
        uint32_t beats = 4, unit = 4;
        for (const Event& e : f.aTrack[0])
            if (e.nStatus == 0xFF && e.nMeta == 0x58 && e.aData.size() == 4)
                beats = e.aData[0], unit = 1u << e.aData[1];
        uint32_t bar = beats * uint32_t(f.nDivision) * 4 / unit;
        uint32_t strong = beats == 4 ? bar / 2 : bar;
        int onBeat = 0, rubs = 0;
        for (const Sounding& m : notes) {
            if (m.nChannel != lead || m.nOn % strong != 0) continue;
            ++onBeat;
            for (const Sounding& o : notes) {
                if (o.nChannel == 9 || o.nChannel == lead) continue;
                if (o.nOn > m.nOn || o.nOff <= m.nOn) continue;
                int pc = ((m.nKey - o.nKey) % 12 + 12) % 12;
                if (pc == 1 || std::abs(m.nKey - o.nKey) == 1) {
                    ++rubs;
                    break;
                }
            }
        }
        EXPECT_GT(onBeat, 40);
        EXPECT_LE(rubs, onBeat / 20) << rubs << " of " << onBeat << " notes on strong beats clash";
    }
}

} // namespace
