// The sound effects: short WAV recordings among the executable's resources
// (type "SOUND"), played from memory, at most one at a time. Handles are kept
// as void* here so that the header stays free of the platform's headers; on
// Win32 they are the HGLOBAL of a loaded resource and the module's HINSTANCE.
#pragma once

// The resource of the last effect started asynchronously, or null. It stays
// loaded while the platform plays from its memory and is released when the
// next effect starts, or at shutdown.
extern void* hSoundRes;

// Plays the named effect; bAsync is 1 for every effect except "NEXTLEVEL",
// whose call returns only when it has ended. Every effect first stops the one
// before it. With the Sound preference off nothing at all happens. Returns
// the new hSoundRes (null when nothing was kept), or null at once when the
// Sound preference is off.
void* PlayGameSound(const char* szName, int bAsync);

// Stops whatever the platform plays and releases hRes if it is not null.
// Returns 1.
int StopGameSound(void* hRes);

// The shutdown's sound step: stops the effect that plays, releases its
// resource and forgets it (hSoundRes becomes null), and frees the 16-bit
// images the effects were played from. Returns 1.
int SoundShutdown();

// Finds, loads and plays the resource szName of type "SOUND" of hInstance,
// as 16 bits (made once; see audio/wav16.h).
// Returns the resource to keep (asynchronous play) or null (synchronous play,
// or no such resource).
void* StartResourceSound(void* hInstance, const char* szName, int bAsync);

// 1 when the system has at least one wave output device / MIDI output device.
int HasWaveDevice();
int HasMIDIDevice();

// --- For the tests ------------------------------------------------------------

// The flags the effects are played with: asynchronous 0x17 and synchronous
// 0x16, both from memory, without the default beep and never refused.
enum { SOUND_FLAGS_ASYNC = 0x17, SOUND_FLAGS_SYNC = 0x16 };

// The platform's player, with sndPlaySoundA's meaning: pSound null stops.
typedef int (*SoundPlayerFn)(const void* pSound, unsigned uFlags);

// Puts pfnPlayer in the place of the platform's player (null: the platform's
// own again). Returns the one it replaced.
SoundPlayerFn SoundSetPlayerForTest(SoundPlayerFn pfnPlayer);
