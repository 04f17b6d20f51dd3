// The Standard MIDI File reader of the built-in synthesizer: formats 0 and 1
// (and 2, read as 1), running status, tempo changes, every channel message;
// system-exclusive and meta events are walked and skipped. Every event of
// every track is read before a file is taken: a file with one broken event is
// refused whole, so nothing is ever half-played.
//
// The events of all tracks are merged into one list in time order, each with
// the output frame (at SYNTH_RATE) at which it sounds, in one buffer
// allocated when the file is read and freed with SmfFree.
#pragma once

#include <cstddef>
#include <cstdint>

enum {
    SMF_RATE = 44100,         // frames per second of the times in SmfEvent
    SMF_MAX_EVENTS = 1 << 20, // a file with more events is refused
    SMF_MAX_BYTES = 16 << 20, // a larger file is not read at all
    SMF_STATUS_TEMPO = 0xFF,  // a tempo change (kept for the times only)
};

// One channel message (status 0x80..0xEF and one or two data bytes), or a
// tempo change (SMF_STATUS_TEMPO, microseconds per quarter in the data bytes).
struct SmfEvent {
    uint32_t nTick;
    uint32_t nFrame;
    uint8_t nStatus;
    uint8_t nData1, nData2, nData3;
};

struct SmfSong {
    SmfEvent* aEvent; // nEvents, in time order; null when empty
    int nEvents;
    uint32_t nEndFrame; // the last track's end
    int nFormat, nTracks, nDivision;
};

// Where the standard MIDI file lies in a file's bytes: the whole file, or the
// "data" chunk of a RIFF MIDI file. 1 found; 0 no MIDI file at all (neither
// header); -1 a RIFF MIDI file whose chunks do not fit.
int SmfFind(const uint8_t* pFile, size_t nFile, const uint8_t** ppSmf, size_t* pnSmf);

// Reads the standard MIDI file in p[0, n): 1 when every event of every track
// the header counts was read, else 0 (and *pSong stays empty). With pSong
// null the file is only walked and nothing is allocated.
int SmfRead(const uint8_t* p, size_t n, SmfSong* pSong);

// A file image as the sequencer would be handed it: 1 when it is no MIDI
// file (the sequencer's to judge) or a MIDI file that reads whole; 0 when it
// is a MIDI file with a broken chunk or event.
int SmfFileFits(const uint8_t* pFile, size_t nFile);

void SmfFree(SmfSong* pSong);
