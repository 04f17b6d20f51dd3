// The built-in synthesizer as a music device: it takes the command strings
// the music's state machine sends to the sequencer ("open", "play ... from 0
// notify", "stop", "close"), reads the file with the game's own reader and
// plays it through waveOut, rendered on a thread of its own in small buffers
// so the message loop never waits on it. A track that plays to its end posts
// MM_MCINOTIFY with MCI_NOTIFY_SUCCESSFUL to the notify window, as the
// sequencer does; a stop or close of a play with a pending notification
// posts MCI_NOTIFY_ABORTED, a new play over it MCI_NOTIFY_SUPERSEDED, a
// device that refuses a buffer MCI_NOTIFY_FAILURE. Their lParam is the
// play's number, so a notification that arrives after a newer play started
// is told apart.
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
    BUFFERS = 16,
    BUFFER_FRAMES = 1024, // 23 ms each: 0.37 s ahead
    LEAD_BUFFERS = 4,     // of silence before the first note, 93 ms
    JOIN_MS = 1000,       // how long a stop waits for the thread, twice at most
};

// A song read at open, shared by the track and the play that renders it
// (a play whose thread would not end keeps it after the close).
struct SharedSong {
    SmfSong song;
    LONG nRefs;
};

// One play: the device, its buffers and the thread that fills them. Held by
// the track and by its thread; whichever lets go last closes the device and
// frees it, so a thread that did not end in time never writes into a device
// or buffers that are gone.
struct BuiltInPlay {
    LONG nRefs;
    uint32_t nPlay; // the lParam of its notifications
    SharedSong* pSong;
    SynthPlayer player;
    HWAVEOUT hWave;
    HANDLE hEvent, hThread;
    WAVEHDR aHeader[BUFFERS];
    int16_t aBuffer[BUFFERS][BUFFER_FRAMES * 2];
    int nEndBuffer; // the buffer that holds the song's end, or END_*
    // Guarded by csBuiltIn:
    int bQuit;
    int bNotifyPending;
    HWND hwndNotify;
};

enum {
    END_NOT_RENDERED = -1, // the song's end is still to come
    END_TOLD = -2,         // its buffer has played and the window was told
};

// The one track the device holds.
struct BuiltInTrack {
    int bOpen;
    char szAlias[MIDI_ALIAS_LEN];
    SharedSong* pSong;
    BuiltInPlay* pPlay; // null while nothing plays
    uint32_t nPlays;    // plays started this run: the number of the latest
};

BuiltInTrack track;
CRITICAL_SECTION csBuiltIn;
int bCsMade;

void SongRelease(SharedSong* pSong) {
    if (pSong && InterlockedDecrement(&pSong->nRefs) == 0) {
        SmfFree(&pSong->song);
        free(pSong);
    }
}

void NotifyPost(BuiltInPlay* p, UINT nFlags) {
    EnterCriticalSection(&csBuiltIn);
    if (p->bNotifyPending) {
        p->bNotifyPending = 0;
        PostMessageW(p->hwndNotify, MM_MCINOTIFY, nFlags, (LPARAM)p->nPlay);
    }
    LeaveCriticalSection(&csBuiltIn);
}

int QuitAsked(BuiltInPlay* p) {
    EnterCriticalSection(&csBuiltIn);
    int bQuit = p->bQuit;
    LeaveCriticalSection(&csBuiltIn);
    return bQuit;
}

// The buffers given back and the device and its event closed; 0, or the
// error of a call the device refused. A buffer the device still holds is
// taken back with a reset first.
uint32_t WaveClose(BuiltInPlay* p) {
    MMRESULT nFirst = MMSYSERR_NOERROR;
    for (int i = 0; i < BUFFERS; i++) {
        WAVEHDR* h = &p->aHeader[i];
        if (!(h->dwFlags & WHDR_PREPARED)) continue;
        MMRESULT n = waveOutUnprepareHeader(p->hWave, h, sizeof *h);
        if (n == WAVERR_STILLPLAYING) {
            waveOutReset(p->hWave);
            n = waveOutUnprepareHeader(p->hWave, h, sizeof *h);
        }
        if (n != MMSYSERR_NOERROR && nFirst == MMSYSERR_NOERROR) nFirst = n;
    }
    MMRESULT n = waveOutClose(p->hWave);
    if (n == WAVERR_STILLPLAYING) {
        waveOutReset(p->hWave);
        n = waveOutClose(p->hWave);
    }
    if (n != MMSYSERR_NOERROR && nFirst == MMSYSERR_NOERROR) nFirst = n;
    p->hWave = NULL;
    CloseHandle(p->hEvent);
    p->hEvent = NULL;
    return nFirst == MMSYSERR_NOERROR ? 0 : MCIERR_HARDWARE;
}

// Lets go of a play; the last to do so silences the device at once, closes
// it and frees the play. Returns WaveClose's answer (0 when another still
// holds the play).
uint32_t PlayRelease(BuiltInPlay* p) {
    if (InterlockedDecrement(&p->nRefs) != 0) return 0;
    uint32_t nError = 0;
    if (p->hWave) {
        waveOutReset(p->hWave);
        nError = WaveClose(p);
    }
    SongRelease(p->pSong);
    free(p);
    return nError;
}

// Fills the buffers in the order they were queued, each as soon as the
// device hands it back, and queues it again; tells the notify window once
// the buffer that holds the song's end has played. A late wake finds several
// buffers back: they are refilled oldest first, so the music stays in order.
// The device starts paused and plays once every buffer is queued: started on
// the first buffer alone, it ran dry before the next arrived, a gap of a few
// hundredths of a second at the start of every track. The first buffers are
// silence: under Wine the first tens of milliseconds a new stream is given
// can be lost while the sound server takes it up, and what is lost then is
// this lead, not the tune's first note.
// The wait for a buffer is short: should a wake be missed, the thread looks
// again within 10 ms, long before the queue of 0.37 s runs dry.
// The waveOut calls are made here, never from a callback of the device.
DWORD WINAPI BuiltInThread(LPVOID pParam) {
    BuiltInPlay* p = (BuiltInPlay*)pParam;
    int i = 0;                // the buffer queued longest ago
    int nPrefill = BUFFERS;   // buffers to queue before the device plays
    int nLead = LEAD_BUFFERS; // buffers of silence still to queue
    while (!QuitAsked(p)) {
        WAVEHDR* h = &p->aHeader[i];
        // The flags are the device's to change from its own thread.
        if (*(volatile DWORD*)&h->dwFlags & WHDR_INQUEUE) {
            WaitForSingleObject(p->hEvent, 10); // a buffer done, or the stop
            continue;
        }
        if (p->nEndBuffer == i) {
            NotifyPost(p, MCI_NOTIFY_SUCCESSFUL);
            p->nEndBuffer = END_TOLD;
        }
        int bBefore = p->nEndBuffer == END_NOT_RENDERED;
        if (nLead > 0) {
            memset(p->aBuffer[i], 0, sizeof p->aBuffer[i]);
            nLead--;
        } else if (!SynthPlayerRender(&p->player, p->aBuffer[i], BUFFER_FRAMES) && bBefore) {
            p->nEndBuffer = i;
        }
        h->dwFlags &= ~(DWORD)WHDR_DONE;
        if (waveOutWrite(p->hWave, h, sizeof *h) != MMSYSERR_NOERROR) {
            NotifyPost(p, MCI_NOTIFY_FAILURE);
            break;
        }
        if (nPrefill > 0 && --nPrefill == 0) waveOutRestart(p->hWave);
        i = (i + 1) % BUFFERS;
    }
    PlayRelease(p);
    return 0;
}

// Ends the play: the thread asked to end and joined, the device reset
// (silent at once) and closed, no handle left. A pending notification
// becomes nFlags. The wait is bounded: a thread held up in the device past
// it is left to end by itself, and the play is freed by whichever of the two
// lets go last. Returns 0 or the device's error.
uint32_t PlayEnd(UINT nFlags) {
    BuiltInPlay* p = track.pPlay;
    if (!p) return 0;
    track.pPlay = NULL;
    EnterCriticalSection(&csBuiltIn);
    p->bQuit = 1;
    LeaveCriticalSection(&csBuiltIn);
    SetEvent(p->hEvent);
    if (WaitForSingleObject(p->hThread, JOIN_MS) == WAIT_TIMEOUT) {
        waveOutReset(p->hWave); // hands back a buffer a write may wait on
        WaitForSingleObject(p->hThread, JOIN_MS);
    }
    CloseHandle(p->hThread);
    p->hThread = NULL;
    NotifyPost(p, nFlags);
    return PlayRelease(p);
}

uint32_t PlayStart(HWND hwndNotify, int bNotify) {
    PlayEnd(MCI_NOTIFY_SUPERSEDED); // the old device's trouble is not the new play's
    BuiltInPlay* p = (BuiltInPlay*)calloc(1, sizeof *p);
    if (!p) return MCIERR_OUT_OF_MEMORY;
    p->hEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    if (!p->hEvent) {
        free(p);
        return MCIERR_OUT_OF_MEMORY;
    }
    WAVEFORMATEX wfx = {};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 2;
    wfx.nSamplesPerSec = SYNTH_RATE;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = 4;
    wfx.nAvgBytesPerSec = SYNTH_RATE * 4;
    if (waveOutOpen(&p->hWave, WAVE_MAPPER, &wfx, (DWORD_PTR)p->hEvent, 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
        CloseHandle(p->hEvent);
        free(p);
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    p->nRefs = 1;
    p->pSong = track.pSong;
    InterlockedIncrement(&p->pSong->nRefs);
    waveOutPause(p->hWave);
    for (int i = 0; i < BUFFERS; i++) {
        WAVEHDR* h = &p->aHeader[i];
        h->lpData = (LPSTR)p->aBuffer[i];
        h->dwBufferLength = sizeof p->aBuffer[i];
        if (waveOutPrepareHeader(p->hWave, h, sizeof *h) != MMSYSERR_NOERROR) {
            PlayRelease(p);
            return MCIERR_OUT_OF_MEMORY;
        }
    }
    SynthPlayerStart(&p->player, &p->pSong->song);
    p->nEndBuffer = END_NOT_RENDERED;
    if (++track.nPlays == 0) track.nPlays = 1; // 0 means no play
    p->nPlay = track.nPlays;
    p->bNotifyPending = bNotify;
    p->hwndNotify = hwndNotify;
    p->nRefs = 2; // the track's and the thread's
    p->hThread = CreateThread(NULL, 0, BuiltInThread, p, CREATE_SUSPENDED, NULL);
    if (!p->hThread) {
        p->nRefs = 1;
        PlayRelease(p);
        return MCIERR_OUT_OF_MEMORY;
    }
    // It only renders and queues, a fraction of a millisecond a buffer: it
    // may come before everything else, as the system's own audio threads do.
    SetThreadPriority(p->hThread, THREAD_PRIORITY_TIME_CRITICAL);
    track.pPlay = p;
    ResumeThread(p->hThread);
    return 0;
}

// The whole file, read once at open, for the track.
uint32_t SongLoad(const char* szPath) {
    uint8_t* pData = nullptr;
    size_t nSize = 0;
    int nRead = MIDIFileLoad(szPath, &pData, &nSize);
    if (nRead == 0) return MCIERR_FILE_NOT_FOUND;
    SharedSong* pSong = (SharedSong*)calloc(1, sizeof *pSong);
    const uint8_t* p;
    size_t n;
    int bRead =
        pSong && nRead > 0 && SmfFind(pData, nSize, &p, &n) == 1 && SmfRead(p, n, &pSong->song);
    free(pData);
    if (!bRead) {
        free(pSong);
        return pSong ? MCIERR_INVALID_FILE : MCIERR_OUT_OF_MEMORY;
    }
    pSong->nRefs = 1;
    track.pSong = pSong;
    return 0;
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
    if (lstrcmpiA(szVerb, "stop") == 0) return PlayEnd(MCI_NOTIFY_ABORTED);
    if (lstrcmpiA(szVerb, "close") == 0) {
        uint32_t nError = PlayEnd(MCI_NOTIFY_ABORTED);
        SongRelease(track.pSong);
        track.pSong = NULL;
        track.bOpen = 0;
        track.szAlias[0] = '\0';
        return nError;
    }
    return MCIERR_UNRECOGNIZED_COMMAND;
}

// A play's notifications carry its number.
uint32_t BuiltInNoticeId(const char* szAlias) {
    return track.bOpen && lstrcmpiA(szAlias, track.szAlias) == 0 ? track.nPlays : 0;
}

} // namespace

const MIDIDevice* MIDIDeviceBuiltIn() {
    // The sequencer's error texts, warning boxes and file tests; our own player.
    static MIDIDevice device;
    if (!device.SendString) {
        device = *MIDIDeviceWin32();
        device.SendString = BuiltInSendString;
        device.NoticeId = BuiltInNoticeId;
    }
    return &device;
}

int MIDIBuiltInAvailable() {
    return waveOutGetNumDevs() > 0;
}
