// The music's state machine: the play list, the current track and the two
// flags that keep a start from overlapping a running track or a stop.
#include "audio/midi.h"

#include <cstdio>
#include <cstring>

#include "prefs/prefs.h"

char aMIDIFile[MIDI_MAX_FILES][MIDI_NAME_LEN];
int nMIDIFiles;
int nMIDIIndex;
char szMIDIDir[MIDI_DIR_LEN];
char szMIDIAlias[MIDI_ALIAS_LEN];
int nMIDIAliasCount = 1;
int bPlaying;
int bClosing;
const MIDIDevice* pMIDIDevice;

// The current alias was opened without error: only then do "play", "stop"
// and "close" mean anything to the device. Without a sequencer every open
// fails, and sending the other three would only add errors of their own.
static int bMIDIOpen;

// A start is sending its commands. A failed command's warning box runs a
// modal loop, and a message handled in it (a track's end, a restore, the
// Music command) may ask for a start of its own: that one is refused, so the
// outer start's idea of what is open stays true and every alias that was
// opened is stopped and closed again.
static int bStarting;

// The error codes already shown in a warning box this run. A machine without
// a sequencer fails every open the same way; one box says so, and the repeats
// (at every level and every restore) go to the trace only.
enum { MAX_REPORTED = 8 };
static uint32_t anReported[MAX_REPORTED];
static int nReported;

void MIDIDeviceInstall(const MIDIDevice* pDevice) {
    pMIDIDevice = pDevice;
}

void MIDIReset() {
    memset(aMIDIFile, 0, sizeof aMIDIFile);
    nMIDIFiles = 0;
    nMIDIIndex = 0;
    szMIDIDir[0] = '\0';
    szMIDIAlias[0] = '\0';
    nMIDIAliasCount = 1;
    bPlaying = 0;
    bClosing = 0;
    bMIDIOpen = 0;
    bStarting = 0;
    nReported = 0;
}

void MIDITrace(const char* szLine) {
    if (pMIDIDevice && pMIDIDevice->Trace) pMIDIDevice->Trace(szLine);
}

int MIDIListBegin(const char* szDir) {
    nMIDIFiles = 0;
    snprintf(szMIDIDir, sizeof szMIDIDir, "%s", szDir ? szDir : "");
    return 1;
}

int MIDIListAdd(const char* szName) {
    if (nMIDIFiles >= MIDI_MAX_FILES) return 0;
    size_t nLen = strlen(szName);
    if (nLen == 0 || nLen >= MIDI_NAME_LEN) return 0;
    memcpy(aMIDIFile[nMIDIFiles], szName, nLen + 1);
    nMIDIFiles++;
    return 1;
}

static int AlreadyReported(uint32_t nError) {
    for (int i = 0; i < nReported; i++)
        if (anReported[i] == nError) return 1;
    if (nReported < MAX_REPORTED) anReported[nReported++] = nError;
    return 0;
}

uint32_t MCISend(HostWindow hwndNotify, const char* szCommand) {
    if (!pMIDIDevice) return 0;
    uint32_t nError = pMIDIDevice->SendString(szCommand, hwndNotify);
    if (nError != 0) {
        char szText[MIDI_ERROR_LEN];
        szText[0] = '\0';
        pMIDIDevice->ErrorText(nError, szText, sizeof szText);
        if (AlreadyReported(nError)) {
            MIDITrace(szCommand);
            MIDITrace(szText);
        } else {
            pMIDIDevice->WarningBox(szText, szCommand);
        }
    }
    return nError;
}

int MIDIStart(HostWindow hwndNotify, int nIndex) {
    if (!prefs.bMusic) return 0;
    if (bPlaying) {
        MIDITrace("MIDIStart called while still bPlaying");
        return 0;
    }
    if (bClosing) {
        MIDITrace("MIDIStart called while still bClosing");
        return 0;
    }
    if (bStarting) {
        MIDITrace("MIDIStart called while still starting");
        return 0;
    }
    if (!pMIDIDevice || nIndex < 0 || nIndex >= nMIDIFiles) return 0;

    char szPath[MIDI_PATH_LEN];
    snprintf(szPath, sizeof szPath, "%s%s", szMIDIDir, aMIDIFile[nIndex]);
    if (!pMIDIDevice->FileExists(szPath)) return 0;
    char szShort[MIDI_PATH_LEN];
    if (!pMIDIDevice->ShortPath(szPath, szShort, sizeof szShort))
        snprintf(szShort, sizeof szShort, "%s", szPath);

    nMIDIAliasCount++;
    snprintf(szMIDIAlias, sizeof szMIDIAlias, "music%d", nMIDIAliasCount);

    bStarting = 1;
    char szCommand[MIDI_COMMAND_LEN];
    // The path in quotes: where a volume makes no short names, the "short"
    // path is the long one and may hold blanks.
    snprintf(szCommand, sizeof szCommand, "open \"%s\" type sequencer alias %s", szShort,
             szMIDIAlias);
    bMIDIOpen = MCISend(hwndNotify, szCommand) == 0;
    if (bMIDIOpen) {
        snprintf(szCommand, sizeof szCommand, "play %s from 0 notify", szMIDIAlias);
        MCISend(hwndNotify, szCommand);
    }
    bStarting = 0;
    bPlaying = 1;
    MIDITrace("MIDIStart complete");
    return 1;
}

// A stop is guarded as a start is, by bClosing: a minimize handled in the
// warning box of a failed "stop" or "close" asks for a stop of its own, which
// is refused, so the outer stop sends each command once, and a restore in the
// same box cannot start a track that the outer stop would then forget.
int MIDIStop() {
    if (!bPlaying) return 0;
    if (bClosing) {
        MIDITrace("MIDIStop called while still bClosing");
        return 0;
    }
    bClosing = 1;
    snprintf(szMIDIAlias, sizeof szMIDIAlias, "music%d", nMIDIAliasCount);
    if (bMIDIOpen) {
        char szCommand[MIDI_COMMAND_LEN];
        snprintf(szCommand, sizeof szCommand, "stop %s", szMIDIAlias);
        MCISend(nullptr, szCommand);
        snprintf(szCommand, sizeof szCommand, "close %s", szMIDIAlias);
        MCISend(nullptr, szCommand);
        bMIDIOpen = 0;
    }
    bClosing = 0;
    bPlaying = 0;
    MIDITrace("MIDIStop complete.");
    return 1;
}

int MIDINext(HostWindow hwndNotify) {
    if (nMIDIFiles == 0) return 0;
    MIDIStop();
    nMIDIIndex++;
    if (nMIDIIndex >= nMIDIFiles) nMIDIIndex = 0;
    if (!MIDIStart(hwndNotify, nMIDIIndex)) {
        MIDITrace("MIDIStart failed");
        return 0;
    }
    return 1;
}

int MIDINotify(HostWindow hwndNotify, uint32_t nFlags) {
    if (bClosing) return 0;
    switch (nFlags) {
    case MIDI_NOTIFY_SUCCESSFUL:
        MIDITrace("MCI_NOTIFY_SUCCESSFUL");
        // A track stopped since its end was told (the game minimized
        // meanwhile) is not followed by the next one.
        if (bPlaying) MIDINext(hwndNotify);
        return 1;
    case MIDI_NOTIFY_SUPERSEDED: MIDITrace("MCI_NOTIFY_SUPERSEDED"); return 1;
    case MIDI_NOTIFY_ABORTED: MIDITrace("MCI_NOTIFY_ABORTED"); return 1;
    case MIDI_NOTIFY_FAILURE:
        MIDITrace("MCI_NOTIFY_FAILURE");
        // The device gave up on the track: it is closed, and a restore or
        // the Music command may start the next one.
        MIDIStop();
        return 1;
    default: return 0;
    }
}

int MIDINotifyFrom(HostWindow hwndNotify, uint32_t nFlags, uint32_t nFrom) {
    if (pMIDIDevice && pMIDIDevice->NoticeId &&
        (!bMIDIOpen || nFrom != pMIDIDevice->NoticeId(szMIDIAlias))) {
        MIDITrace("MM_MCINOTIFY of an earlier play dropped");
        return 0;
    }
    return MIDINotify(hwndNotify, nFlags);
}

int MIDIIsPlaying() {
    return bPlaying;
}

int MIDIStartTrack(HostWindow hwndNotify, int nIndex) {
    nMIDIIndex = nIndex;
    return MIDIStart(hwndNotify, nIndex);
}

int MIDIWindowMinimized() {
    return MIDIStop();
}

int MIDIWindowRestored(HostWindow hwndNotify) {
    if (!prefs.bMusic || MIDIIsPlaying()) return 0;
    return MIDINext(hwndNotify);
}

int MIDIToggleMusic(HostWindow hwndNotify) {
    prefs.bMusic = prefs.bMusic ? 0 : 1;
    if (prefs.bMusic)
        MIDINext(hwndNotify);
    else
        MIDIStop();
    return 1;
}

int MIDIAvailable(int bHasMIDIDevice) {
    return bHasMIDIDevice && nMIDIFiles > 0;
}

int MIDIDeviceNormalize(int nRead) {
    return nRead == MIDI_DEVICE_BUILTIN || nRead == MIDI_DEVICE_SYSTEM ? nRead : MIDI_DEVICE_AUTO;
}

int MIDIDeviceChoose(int nChoice, int bUnderWine, int nMIDIOutputs) {
    nChoice = MIDIDeviceNormalize(nChoice);
    if (nChoice == MIDI_DEVICE_SYSTEM && nMIDIOutputs <= 0) return MIDI_DEVICE_BUILTIN;
    if (nChoice != MIDI_DEVICE_AUTO) return nChoice;
    return bUnderWine || nMIDIOutputs <= 0 ? MIDI_DEVICE_BUILTIN : MIDI_DEVICE_SYSTEM;
}

int MIDIDeviceSwitch(HostWindow hwndNotify, const MIDIDevice* pDevice) {
    if (pDevice == pMIDIDevice) return 0;
    // A start or stop in progress (a warning box's loop) keeps its device.
    if (bStarting || bClosing) return 0;
    int bWasPlaying = bPlaying;
    MIDIStop();
    MIDIDeviceInstall(pDevice);
    if (bWasPlaying) MIDIStart(hwndNotify, nMIDIIndex);
    return 1;
}
