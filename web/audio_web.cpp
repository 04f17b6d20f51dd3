// Sound in the browser. The effects are the game's WAV data, played by the
// page's Web Audio graph; the music is the built-in synthesizer, installed as
// the music's device: it takes the same command strings as on Windows and
// renders its tune in small blocks that the page queues ahead of time, so the
// play timer never waits on it.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>

#include "audio/midi.h"
#include "audio/smf.h"
#include "audio/synth.h"
#include "prefs/prefs.h"
#include "web/web.h"

namespace {

enum {
    ERROR_FILE = 275,    // the file cannot be opened
    ERROR_INVALID = 296, // the file is no tune the synthesizer plays
    ERROR_ALIAS = 263,   // no such open tune
    MAX_TUNE = 1 << 20,
};

const char kDataDir[] = "/data/";

SmfSong song;
int bSongOpen;
SynthPlayer player;
int bTunePlaying; // a notifying play runs
int bEndRendered; // the tune's end has been handed to the page
int bEndPlayed;   // and the page has played it
int bEndTold;
char szOpenAlias[MIDI_ALIAS_LEN];
uint8_t aTune[MAX_TUNE];

EM_JS(int, WebAudioReady, (), { return Module.quarrionAudio ? Module.quarrionAudio.ready() : 0; });
EM_JS(int, WebAudioPlay, (const char* szName),
      { return Module.quarrionAudio.play(UTF8ToString(szName)); });
EM_JS(int, WebAudioBeep, (), { return Module.quarrionAudio.beep(); });
EM_JS(void, WebAudioMusic, (int bOn), { Module.quarrionAudio.music(bOn); });
EM_ASYNC_JS(void, WebMusicWarning, (const char* szText, const char* szTitle),
            { await Module.quarrionDialog("warning", UTF8ToString(szText), 0); });

// The word after szWord in szCommand (up to a blank), into szOut.
int WordAfter(const char* szCommand, const char* szWord, char* szOut, int cch) {
    const char* p = strstr(szCommand, szWord);
    if (!p) return 0;
    p += strlen(szWord);
    int n = 0;
    while (p[n] && p[n] != ' ' && n < cch - 1) {
        szOut[n] = p[n];
        n++;
    }
    szOut[n] = '\0';
    return n;
}

void SongClose() {
    if (bSongOpen) SmfFree(&song);
    bSongOpen = 0;
    bTunePlaying = 0;
    WebAudioMusic(0);
}

uint32_t OpenTune(const char* szCommand) {
    const char* pOpen = strchr(szCommand, '"');
    const char* pClose = pOpen ? strchr(pOpen + 1, '"') : nullptr;
    if (!pClose) return ERROR_FILE;
    char szPath[MIDI_PATH_LEN];
    snprintf(szPath, sizeof szPath, "%.*s", (int)(pClose - pOpen - 1), pOpen + 1);
    FILE* pFile = fopen(szPath, "rb");
    if (!pFile) return ERROR_FILE;
    const size_t n = fread(aTune, 1, sizeof aTune, pFile);
    fclose(pFile);
    SongClose();
    if (!SmfRead(aTune, n, &song)) return ERROR_INVALID;
    bSongOpen = 1;
    WordAfter(szCommand, " alias ", szOpenAlias, sizeof szOpenAlias);
    return 0;
}

uint32_t SendString(const char* szCommand, HostWindow) {
    char szAlias[MIDI_ALIAS_LEN] = "";
    if (strncmp(szCommand, "open ", 5) == 0) return OpenTune(szCommand);
    if (strncmp(szCommand, "play ", 5) == 0) {
        WordAfter(szCommand, "play ", szAlias, sizeof szAlias);
        if (!bSongOpen || strcmp(szAlias, szOpenAlias) != 0) return ERROR_ALIAS;
        SynthPlayerStart(&player, &song);
        bTunePlaying = 1;
        bEndRendered = bEndPlayed = bEndTold = 0;
        WebAudioMusic(1);
        return 0;
    }
    if (strncmp(szCommand, "stop ", 5) == 0) {
        bTunePlaying = 0;
        WebAudioMusic(0);
        return 0;
    }
    if (strncmp(szCommand, "close ", 6) == 0) {
        SongClose();
        return 0;
    }
    return ERROR_ALIAS;
}

int ErrorText(uint32_t nError, char* szText, int cch) {
    const char* sz = nError == ERROR_INVALID
                         ? "The file cannot be played by the built-in synthesizer."
                     : nError == ERROR_FILE ? "The music file could not be opened."
                                            : "The music could not be played.";
    snprintf(szText, (size_t)cch, "%s", sz);
    return 1;
}

int WarningBox(const char* szText, const char* szTitle) {
    WebMusicWarning(szText, szTitle);
    return 1;
}

int FileExists(const char* szPath) {
    FILE* p = fopen(szPath, "rb");
    if (p) fclose(p);
    return p != nullptr;
}

int ShortPath(const char*, char*, int) {
    return 0;
}

const MIDIDevice kWebSynth = {SendString, ErrorText, WarningBox, FileExists,
                              ShortPath,  nullptr,   nullptr};

} // namespace

int WebHasAudio() {
    return WebAudioReady();
}

int WebPlaySound(const char* szName, int) {
    if (!prefs.bSound) return 0;
    return WebAudioPlay(szName);
}

int WebBeep() {
    return WebAudioBeep();
}

void WebAudioInstall() {
    MIDIDeviceInstall(&kWebSynth);
}

int WebMusicFindFiles() {
    MIDIListBegin(kDataDir);
    DIR* pDir = opendir(kDataDir);
    if (!pDir) return 0;
    char aName[MIDI_MAX_FILES][MIDI_NAME_LEN];
    int n = 0;
    while (dirent* pEntry = readdir(pDir)) {
        const size_t nLen = strlen(pEntry->d_name);
        if (nLen < 5 || nLen >= MIDI_NAME_LEN || strcmp(pEntry->d_name + nLen - 4, ".mid") != 0)
            continue;
        if (n < MIDI_MAX_FILES) snprintf(aName[n++], MIDI_NAME_LEN, "%s", pEntry->d_name);
    }
    closedir(pDir);
    // The directory's order is the file system's; the list is kept by name.
    qsort(aName, (size_t)n, MIDI_NAME_LEN,
          [](const void* a, const void* b) { return strcmp((const char*)a, (const char*)b); });
    for (int i = 0; i < n; i++) MIDIListAdd(aName[i]);
    return nMIDIFiles;
}

void WebMusicPoll(HostWindow hwndNotify) {
    if (bEndPlayed && !bEndTold && bTunePlaying) {
        bEndTold = 1;
        MIDINotify(hwndNotify, MIDI_NOTIFY_SUCCESSFUL);
    }
}

extern "C" {

// The page's request for the next block of music: nFrames stereo frames into
// pOut. Returns 1 when it wrote music, 2 for the block that holds the tune's
// end, 0 when nothing plays (pOut is silence).
EMSCRIPTEN_KEEPALIVE int WebMusicRender(int16_t* pOut, int nFrames) {
    if (!bTunePlaying || !bSongOpen) {
        memset(pOut, 0, sizeof(int16_t) * 2 * (size_t)nFrames);
        return 0;
    }
    if (!SynthPlayerRender(&player, pOut, nFrames) && !bEndRendered) {
        bEndRendered = 1;
        return 2;
    }
    return 1;
}

// The page has played the block that held the tune's end: the end-of-play
// notice goes out at the next tick, as the system's device sends it.
EMSCRIPTEN_KEEPALIVE void WebMusicEndPlayed() {
    if (bEndRendered) bEndPlayed = 1;
}

} // extern "C"
