// Standard MIDI File writing (format 1), for the music. The game reads the
// files with its own reader (audio/smf.h).
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

} // namespace midi
