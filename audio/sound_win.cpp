// The sound effects on Win32: sndPlaySoundA from memory, each effect as the
// 16-bit image of its 8-bit resource (audio/wav16.h), made at its first play
// and kept for the run.
#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>

#include "audio/sound.h"
#include "audio/wav16.h"
#include "prefs/prefs.h"
#include "shell/app.h"

static_assert((SND_ASYNC | SND_NODEFAULT | SND_MEMORY | SND_NOSTOP) == SOUND_FLAGS_ASYNC);
static_assert((SND_SYNC | SND_NODEFAULT | SND_MEMORY | SND_NOSTOP) == SOUND_FLAGS_SYNC);

void* hSoundRes;

static int PlatformPlaySound(const void* pSound, unsigned uFlags) {
    return sndPlaySoundA((LPCSTR)pSound, uFlags) ? 1 : 0;
}

static SoundPlayerFn pfnSoundPlayer = PlatformPlaySound;

// The 16-bit images made so far, by resource. An effect that cannot be made
// 16-bit plays from its resource as it is.
enum { MAX_IMAGES = 40 };
struct SoundImage {
    HRSRC hInfo;
    uint8_t* pWav;
};
static SoundImage aImage[MAX_IMAGES];
static int nImages;

static const void* PlayableSound(HRSRC hInfo, const void* pData, DWORD nSize) {
    for (int i = 0; i < nImages; i++)
        if (aImage[i].hInfo == hInfo) return aImage[i].pWav;
    if (nImages == MAX_IMAGES) return pData;
    size_t nWav;
    uint8_t* pWav = WavTo16Bit((const uint8_t*)pData, nSize, &nWav);
    if (!pWav) return pData;
    aImage[nImages++] = {hInfo, pWav};
    return pWav;
}

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
    // Nothing plays any more: the images may go.
    for (int i = 0; i < nImages; i++) free(aImage[i].pWav);
    nImages = 0;
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
    pData = PlayableSound(hInfo, pData, SizeofResource(hModule, hInfo));
    if (bAsync) {
        // Played in the background from memory: the resource is kept.
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
