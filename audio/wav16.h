// The sound effects are 8-bit recordings; they are played as 16-bit ones,
// made once from them. Under Wine's PulseAudio driver the stream of an 8-bit
// sound that runs dry is padded with zero bytes, which in unsigned 8-bit are
// not silence but full negative scale: a pop at the end of every effect. In
// 16 bits zero is silence.
#pragma once

#include <cstddef>
#include <cstdint>

// A complete RIFF WAVE image of 16-bit PCM, the same rate and channels as the
// 8-bit PCM image pWav (nWav bytes), each sample (s - 128) * 256. Returns it
// in memory the caller frees with free(), its size in *pnOut; null when pWav
// is no 8-bit PCM WAVE image (a data chunk that claims more than there is is
// taken as far as it goes).
uint8_t* WavTo16Bit(const uint8_t* pWav, size_t nWav, size_t* pnOut);
