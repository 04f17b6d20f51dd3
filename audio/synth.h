// The game's own General MIDI synthesizer: 16 channels, the 128 programs
// mapped by family onto a set of voices of our own (wavetable oscillators,
// frequency modulation, a filter and envelopes), the percussion keys of
// channel 10 made from filtered noise and swept sines, and a player that
// feeds it the events of a standard MIDI file read by smf.h.
//
// Plain structs and free functions, fixed tables, no allocation: the
// caller owns the Synth (or SynthPlayer) and may keep as many as it likes.
// Output is 44,100 Hz 16-bit stereo, interleaved left, right, through a
// small stereo reverb and a chorus that each channel sends to.
#pragma once

#include <cstdint>

#include "audio/smf.h"

enum {
    SYNTH_RATE = SMF_RATE,
    SYNTH_CHANNELS = 16,
    SYNTH_DRUM_CHANNEL = 9,    // channel 10 as musicians count
    SYNTH_VOICES = 32,         // notes sounding at once; a further note steals one
    SYNTH_SLOTS = 40,          // voices including those fading out after a steal
    SYNTH_BLOCK = 64,          // frames between updates of envelopes and controls
    SYNTH_REVERB_LINES = 8,    // the reverb's feedback delay lines
    SYNTH_REVERB_SIZE = 14336, // their samples and the two diffusers' before them
    SYNTH_CHORUS_SIZE = 1024,  // the chorus's delay line
    SYNTH_METALS = 6,          // square partials of a cymbal or hi-hat
};

struct SynthChannel {
    uint8_t nProgram;
    uint8_t nVolume;     // controller 7
    uint8_t nExpression; // controller 11
    uint8_t nPan;        // controller 10, 64 centre
    uint8_t bSustain;    // controller 64
    uint8_t nRpnMsb, nRpnLsb;
    uint8_t nReverb, nChorus;       // controllers 91 and 93, the sends
    int nBend;                      // -8192 .. 8191
    float fBendRange;               // semitones either way, 2 until the file sets it (at most 24)
    float fReverbSend, fChorusSend; // as last sent, ramped from block to block
};

struct SynthVoice {
    uint8_t nStage; // 0 free, then attack, decay, release, kill
    uint8_t nChannel, nKey, nVelocity;
    uint8_t bDrum;
    uint8_t bSustained; // released while the pedal was down
    uint16_t nPatch;
    uint32_t nAge; // order of starting: the oldest has the least
    uint32_t nPhase1, nPhase2, nPhaseMod, nNoise;
    uint32_t anMetal[SYNTH_METALS]; // a cymbal's partials
    float fHz;                      // the key's frequency before bend and vibrato
    float fDecay;                   // the decay's time constant for this key
    float fVelocity;                // velocity as a gain, 0..1
    float fTime;                    // seconds since the start
    float fEnv;                     // amplitude envelope, 0..1
    float fNoiseEnv;
    float fGainL, fGainR;          // at the end of the last block
    float fLow, fBand;             // filter state
    float fBreathLow, fBreathHigh; // the breath noise's band
    // Worked out at the start, or carried from block to block:
    float fRatio1, fRatio2;             // the two oscillators against the key
    float fDecayMul;                    // the decay over a whole block
    float fCutNow, fFmNow, fBreathNow;  // the filter's, modulator's and breath's envelopes
    float fFilterHz, fA1, fA2, fA3, fK; // the filter as last set
};

// The room all channels share: a feedback delay network behind two
// diffusers, and a chorus of two swaying taps.
struct SynthSpace {
    float aReverb[SYNTH_REVERB_SIZE];
    int anAt[SYNTH_REVERB_LINES + 2]; // each line's and diffuser's position
    float afDamp[SYNTH_REVERB_LINES]; // each line's high-frequency loss
    int nReverbQuiet;                 // frames since the reverb last heard anything
    float aChorus[SYNTH_CHORUS_SIZE];
    int nChorusAt, nChorusQuiet;
    float fChorusPhase; // 0..1
};

struct Synth {
    SynthChannel aChannel[SYNTH_CHANNELS];
    SynthVoice aVoice[SYNTH_SLOTS];
    uint32_t nAge;
    SynthSpace space;
    float fLevel; // the mix's gain, lowered a while where the sum runs hot
    // The last moments of a fading voice whose slot a new note took.
    float aTail[2][SYNTH_BLOCK];
    int nTail;
};

// All voices silent, every channel at the General MIDI defaults.
void SynthReset(Synth* pSynth);
// One channel message: status 0x80..0xEF and its data bytes.
void SynthMidi(Synth* pSynth, uint8_t nStatus, uint8_t nData1, uint8_t nData2);
// Adds nothing, writes nFrames stereo frames (2 * nFrames samples).
void SynthRender(Synth* pSynth, int16_t* pOut, int nFrames);
// Voices sounding (not free), for the tests and the benchmark.
int SynthVoicesSounding(const Synth* pSynth);

// Plays a song read by SmfRead; the song must outlive the player.
struct SynthPlayer {
    Synth synth;
    const SmfSong* pSong;
    int nNext;       // the next event to play
    uint32_t nFrame; // frames played
};

void SynthPlayerStart(SynthPlayer* pPlayer, const SmfSong* pSong);
// Writes nFrames frames; returns 1 while the song has not reached its end,
// 0 from the call that reaches it on (later frames carry the tails of the
// last notes, then silence).
int SynthPlayerRender(SynthPlayer* pPlayer, int16_t* pOut, int nFrames);
