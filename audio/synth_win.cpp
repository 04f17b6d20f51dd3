// The built-in synthesizer as a music device: it takes the command strings
// the music's state machine sends to the sequencer ("open", "play ... from 0
// notify", "stop", "close"), reads the file with the game's own reader and
// plays it through waveOut, rendered on a thread of its own in small buffers
// so the message loop never waits on it. A track that plays to its end posts
// MM_MCINOTIFY with MCI_NOTIFY_SUCCESSFUL to the notify window, as the
// sequencer does; a stop or close of a play with a pending notification
// posts MCI_NOTIFY_ABORTED, a new play over it MCI_NOTIFY_SUPERSEDED.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/midi.h"
#include "audio/smf.h"
#include "audio/synth.h"

namespace {

enum {
    BUFFERS = 8,
    BUFFER_FRAMES = 1024, // 23 ms each
    DEVICE_ID = 0x5153,   // the lParam of our notifications
};

// Where the song's end stands, when no buffer holds it.
enum {
    END_AHEAD = -1, // not yet rendered
    END_TOLD = -2,  // played, and the notice posted
};

// The one track the device holds. The thread owns the player while it runs;
// the notification's state is shared and guarded by csBuiltIn.
struct BuiltInTrack {
    int bOpen;
    char szAlias[MIDI_ALIAS_LEN];
    SmfSong song;
    SynthPlayer player;
    HWAVEOUT hWave;
    HANDLE hEvent, hThread;
    WAVEHDR aHeader[BUFFERS];
    int16_t aBuffer[BUFFERS][BUFFER_FRAMES * 2];
    int nEndBuffer; // the buffer that holds the song's end, or one of END_*
    // Guarded:
    int bQuit;
    int bNotifyPending;
    HWND hwndNotify;
};

BuiltInTrack track;
CRITICAL_SECTION csBuiltIn;
int bCsMade;

void NotifyPost(UINT nFlags) {
    EnterCriticalSection(&csBuiltIn);
    if (track.bNotifyPending) {
        track.bNotifyPending = 0;
        PostMessageW(track.hwndNotify, MM_MCINOTIFY, nFlags, DEVICE_ID);
    }
    LeaveCriticalSection(&csBuiltIn);
}

int QuitAsked() {
    EnterCriticalSection(&csBuiltIn);
    int bQuit = track.bQuit;
    LeaveCriticalSection(&csBuiltIn);
    return bQuit;
}

// Fills the buffers in the order they were queued, each as soon as the
// device hands it back, and queues it again; tells the notify window once
// the buffer that holds the song's end has played. A late wake finds several
// buffers back: they are refilled oldest first, so the music stays in order.
// The device starts paused and plays once every buffer is queued: started on
// the first buffer alone, it ran dry before the next arrived, a gap of a few
// hundredths of a second at the start of every track.
// The waveOut calls are made here, never from a callback of the device.
DWORD WINAPI BuiltInThread(LPVOID) {
    int i = 0;              // the buffer queued longest ago
    int nPrefill = BUFFERS; // buffers to queue before the device plays
    while (!QuitAsked()) {
        WAVEHDR* h = &track.aHeader[i];
        // The flags are the device's to change from its own thread.
        if (*(volatile DWORD*)&h->dwFlags & WHDR_INQUEUE) {
            WaitForSingleObject(track.hEvent, 100); // a buffer done, or the stop
            continue;
        }
        if (track.nEndBuffer == i) {
            NotifyPost(MCI_NOTIFY_SUCCESSFUL);
            track.nEndBuffer = END_TOLD;
        }
        int bBefore = track.nEndBuffer == END_AHEAD;
        if (!SynthPlayerRender(&track.player, track.aBuffer[i], BUFFER_FRAMES) && bBefore)
            track.nEndBuffer = i;
        h->dwFlags &= ~(DWORD)WHDR_DONE;
        if (waveOutWrite(track.hWave, h, sizeof *h) != MMSYSERR_NOERROR) {
            NotifyPost(MCI_NOTIFY_FAILURE);
            return 0;
        }
        if (nPrefill > 0 && --nPrefill == 0) waveOutRestart(track.hWave);
        i = (i + 1) % BUFFERS;
    }
    return 0;
}

// The buffers given back and the device and its event closed.
void WaveClose() {
    for (int i = 0; i < BUFFERS; i++)
        waveOutUnprepareHeader(track.hWave, &track.aHeader[i], sizeof track.aHeader[i]);
    waveOutClose(track.hWave);
    track.hWave = NULL;
    CloseHandle(track.hEvent);
    track.hEvent = NULL;
}

// Ends the play: the thread joined, the device reset (silent at once) and
// closed, no handle left. A pending notification becomes nFlags.
void PlayEnd(UINT nFlags) {
    if (!track.hThread) return;
    EnterCriticalSection(&csBuiltIn);
    track.bQuit = 1;
    LeaveCriticalSection(&csBuiltIn);
    SetEvent(track.hEvent);
    WaitForSingleObject(track.hThread, INFINITE);
    CloseHandle(track.hThread);
    track.hThread = NULL;
    waveOutReset(track.hWave);
    WaveClose();
    NotifyPost(nFlags);
}

uint32_t PlayStart(HWND hwndNotify, int bNotify) {
    PlayEnd(MCI_NOTIFY_SUPERSEDED);
    track.hEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    if (!track.hEvent) return MCIERR_OUT_OF_MEMORY;
    WAVEFORMATEX wfx = {};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 2;
    wfx.nSamplesPerSec = SYNTH_RATE;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = 4;
    wfx.nAvgBytesPerSec = SYNTH_RATE * 4;
    if (waveOutOpen(&track.hWave, WAVE_MAPPER, &wfx, (DWORD_PTR)track.hEvent, 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
        track.hWave = NULL;
        CloseHandle(track.hEvent);
        track.hEvent = NULL;
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    waveOutPause(track.hWave);
    for (int i = 0; i < BUFFERS; i++) {
        WAVEHDR* h = &track.aHeader[i];
        memset(h, 0, sizeof *h);
        h->lpData = (LPSTR)track.aBuffer[i];
        h->dwBufferLength = sizeof track.aBuffer[i];
        waveOutPrepareHeader(track.hWave, h, sizeof *h);
    }
    SynthPlayerStart(&track.player, &track.song);
    track.nEndBuffer = END_AHEAD;
    EnterCriticalSection(&csBuiltIn);
    track.bQuit = 0;
    track.bNotifyPending = bNotify;
    track.hwndNotify = hwndNotify;
    LeaveCriticalSection(&csBuiltIn);
    track.hThread = CreateThread(NULL, 0, BuiltInThread, NULL, 0, NULL);
    if (!track.hThread) {
        EnterCriticalSection(&csBuiltIn);
        track.bNotifyPending = 0;
        LeaveCriticalSection(&csBuiltIn);
        WaveClose();
        return MCIERR_OUT_OF_MEMORY;
    }
    SetThreadPriority(track.hThread, THREAD_PRIORITY_ABOVE_NORMAL);
    return 0;
}

// The whole file, read once at open; the caller frees it.
uint32_t SongLoad(const char* szPath) {
    uint8_t* pData = nullptr;
    size_t nSize = 0;
    int nRead = MIDIFileLoad(szPath, &pData, &nSize);
    if (nRead == 0) return MCIERR_FILE_NOT_FOUND;
    const uint8_t* p;
    size_t n;
    int bRead = nRead > 0 && SmfFind(pData, nSize, &p, &n) == 1 && SmfRead(p, n, &track.song);
    free(pData);
    return bRead ? 0 : MCIERR_INVALID_FILE;
}

// One word of a command string, or a quoted text; 0 at the end.
int TokenNext(const char** pp, char* szToken, size_t cchToken) {
    const char* p = *pp;
    while (*p == ' ') p++;
    if (!*p) return 0;
    size_t n = 0;
    if (*p == '"') {
        const char* pEnd = strchr(++p, '"');
        if (!pEnd) return 0;
        n = (size_t)(pEnd - p);
        *pp = pEnd + 1;
    } else {
        while (p[n] && p[n] != ' ') n++;
        *pp = p + n;
    }
    if (n >= cchToken) return 0;
    memcpy(szToken, p, n);
    szToken[n] = '\0';
    return 1;
}

// open "PATH" type sequencer alias ALIAS (also sequencer!PATH, unquoted).
uint32_t CommandOpen(const char* pArgs) {
    char szPath[MIDI_PATH_LEN], szWord[MIDI_PATH_LEN], szAlias[MIDI_ALIAS_LEN] = "";
    if (!TokenNext(&pArgs, szPath, sizeof szPath)) return MCIERR_MISSING_DEVICE_NAME;
    const char* pPath = szPath;
    if (_strnicmp(pPath, "sequencer!", 10) == 0) pPath += 10;
    while (TokenNext(&pArgs, szWord, sizeof szWord)) {
        if (lstrcmpiA(szWord, "type") == 0) {
            if (!TokenNext(&pArgs, szWord, sizeof szWord) || lstrcmpiA(szWord, "sequencer") != 0)
                return MCIERR_INVALID_DEVICE_NAME;
        } else if (lstrcmpiA(szWord, "alias") == 0) {
            if (!TokenNext(&pArgs, szAlias, sizeof szAlias)) return MCIERR_MISSING_STRING_ARGUMENT;
        } else if (lstrcmpiA(szWord, "wait") != 0) {
            return MCIERR_UNRECOGNIZED_KEYWORD;
        }
    }
    if (!szAlias[0]) return MCIERR_MISSING_STRING_ARGUMENT;
    if (track.bOpen)
        return lstrcmpiA(szAlias, track.szAlias) == 0 ? MCIERR_DUPLICATE_ALIAS : MCIERR_DEVICE_OPEN;
    uint32_t nError = SongLoad(pPath);
    if (nError) return nError;
    snprintf(track.szAlias, sizeof track.szAlias, "%s", szAlias);
    track.bOpen = 1;
    return 0;
}

uint32_t BuiltInSendString(const char* szCommand, HostWindow hwndNotify) {
    if (!bCsMade) {
        InitializeCriticalSection(&csBuiltIn);
        bCsMade = 1;
    }
    const char* p = szCommand;
    char szVerb[16], szAlias[MIDI_ALIAS_LEN];
    if (!TokenNext(&p, szVerb, sizeof szVerb)) return MCIERR_MISSING_COMMAND_STRING;
    if (lstrcmpiA(szVerb, "open") == 0) return CommandOpen(p);
    if (!TokenNext(&p, szAlias, sizeof szAlias)) return MCIERR_MISSING_DEVICE_NAME;
    if (!track.bOpen || lstrcmpiA(szAlias, track.szAlias) != 0) return MCIERR_INVALID_DEVICE_NAME;
    if (lstrcmpiA(szVerb, "play") == 0) {
        int bNotify = 0;
        char szWord[16];
        while (TokenNext(&p, szWord, sizeof szWord))
            if (lstrcmpiA(szWord, "notify") == 0) bNotify = 1;
        return PlayStart((HWND)hwndNotify, bNotify && hwndNotify);
    }
    if (lstrcmpiA(szVerb, "stop") == 0) {
        PlayEnd(MCI_NOTIFY_ABORTED);
        return 0;
    }
    if (lstrcmpiA(szVerb, "close") == 0) {
        PlayEnd(MCI_NOTIFY_ABORTED);
        SmfFree(&track.song);
        track.bOpen = 0;
        track.szAlias[0] = '\0';
        return 0;
    }
    return MCIERR_UNRECOGNIZED_COMMAND;
}

} // namespace

const MIDIDevice* MIDIDeviceBuiltIn() {
    // The sequencer's error texts, warning boxes and file tests; our own player.
    static MIDIDevice device;
    if (!device.SendString) {
        device = *MIDIDeviceWin32();
        device.SendString = BuiltInSendString;
    }
    return &device;
}

int MIDIBuiltInAvailable() {
    return waveOutGetNumDevs() > 0;
}
