// Standard MIDI File writing (format 1) and reading back, for the music.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace midi {

constexpr int kDivision = 480; // ticks per quarter note

struct Event {
    uint32_t nTick;
    int nOrder; // among events of one tick: meta 0, note-off 1, control 2, note-on 3
    std::vector<uint8_t> aData; // status byte and data, or FF type len data
};

struct Track {
    std::vector<Event> aEvent;
    void Meta(uint32_t tick, uint8_t type, const std::vector<uint8_t>& data);
    void Name(const std::string& text);
    void Tempo(uint32_t tick, double bpm);
    void TimeSignature(uint32_t tick, int beats, int beatUnitLog2);
    void KeySignature(uint32_t tick, int sharps, int minor);
    void Program(uint32_t tick, int channel, int program);
    void Control(uint32_t tick, int channel, int control, int value);
    // A note from tick for len ticks (note-on, then note-off).
    void Note(uint32_t tick, uint32_t len, int channel, int key, int velocity);
};

// The file image: header MThd (format 1, division kDivision) and one MTrk per
// track, every track closed by the end-of-track meta event at endTick (or at
// its last event, if later).
std::vector<uint8_t> FileBytes(const std::vector<Track>& tracks, uint32_t endTick);

// A parsed file: every event with its absolute tick, by track.
struct ParsedEvent {
    uint32_t nTick;
    uint8_t nStatus; // 0xFF for meta, 0xF0/0xF7 for sysex
    uint8_t nMeta;   // meta type
    std::vector<uint8_t> aData;
};
struct Parsed {
    int nFormat = -1, nTracks = 0, nDivision = 0;
    std::vector<std::vector<ParsedEvent>> aTrack;
    std::string szError; // empty when the file is sound
};
Parsed Parse(const std::vector<uint8_t>& bytes);

// Seconds from tick 0 to tick, through the tempo map of every track's
// set-tempo events (120 bpm until the first).
double TickSeconds(const Parsed& p, uint32_t tick);

} // namespace midi
