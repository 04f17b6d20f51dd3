// The sound effects on Win32: sndPlaySoundA from the locked resource memory.
#include <windows.h>
#include <mmsystem.h>

#include "audio/sound.h"
#include "prefs/prefs.h"
#include "shell/app.h"

static_assert((SND_ASYNC | SND_NODEFAULT | SND_MEMORY | SND_NOSTOP) == SOUND_FLAGS_ASYNC);
static_assert((SND_SYNC | SND_NODEFAULT | SND_MEMORY | SND_NOSTOP) == SOUND_FLAGS_SYNC);

void* hSoundRes;

static int PlatformPlaySound(const void* pSound, unsigned uFlags) {
    return sndPlaySoundA((LPCSTR)pSound, uFlags) ? 1 : 0;
}

static SoundPlayerFn pfnSoundPlayer = PlatformPlaySound;

SoundPlayerFn SoundSetPlayerForTest(SoundPlayerFn pfnPlayer) {
    SoundPlayerFn pfnOld = pfnSoundPlayer;
    pfnSoundPlayer = pfnPlayer ? pfnPlayer : PlatformPlaySound;
    return pfnOld;
}

int StopGameSound(void* hRes) {
    // The platform may still be reading the resource's memory: stop it first,
    // only then let the resource go.
    pfnSoundPlayer(NULL, 0);
    if (hRes) FreeResource((HGLOBAL)hRes);
    return 1;
}

int SoundShutdown() {
    StopGameSound(hSoundRes);
    hSoundRes = NULL;
    return 1;
}

void* StartResourceSound(void* hInstance, const char* szName, int bAsync) {
    HMODULE hModule = (HMODULE)hInstance;
    HRSRC hInfo = FindResourceA(hModule, szName, "SOUND");
    if (!hInfo) return NULL;
    HGLOBAL hRes = LoadResource(hModule, hInfo);
    if (!hRes) return NULL;
    const void* pData = LockResource(hRes);
    if (!pData) return NULL;
    if (bAsync) {
        // Played in the background from pData: the resource is kept.
        pfnSoundPlayer(pData, SOUND_FLAGS_ASYNC);
        return hRes;
    }
    pfnSoundPlayer(pData, SOUND_FLAGS_SYNC); // returns when the sound has ended
    return NULL;
}

void* PlayGameSound(const char* szName, int bAsync) {
    // Sound off: nothing starts, and an effect already playing runs on.
    if (!prefs.bSound) return NULL;
    StopGameSound(hSoundRes);
    hSoundRes = StartResourceSound(hInst, szName, bAsync);
    return hSoundRes;
}

// Playing needs an output device; the input (recording) devices say nothing
// about whether a sound can be heard or a MIDI file played.
int HasWaveDevice() {
    return waveOutGetNumDevs() > 0 ? 1 : 0;
}

int HasMIDIDevice() {
    return midiOutGetNumDevs() > 0 ? 1 : 0;
}
