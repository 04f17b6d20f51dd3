// The initialisation file in the browser: its text is kept in the page's
// localStorage under the file's name, read at start and written whenever the
// game writes its file. Sections, keys and records are the file's own; a text
// that does not parse reads as the profile functions read a damaged file (what
// can be read is read, the rest takes its defaults).
#include <emscripten.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "audio/midi.h"
#include "prefs/prefs.h"
#include "render/zoom.h"
#include "scores/hiscore.h"
#include "web/web.h"

namespace {

enum { STORE_MAX = 1 << 16 };

// The text as last read or written; read from the page at the first use.
std::string sIni;
int bLoaded;
int bFailed, bWarned;

EM_JS(int, WebStoreRead, (char* szBuf, int cch), {
    var s;
    try {
        s = window.localStorage.getItem("Quarr95.ini");
    } catch (e) {
        return -1;
    }
    if (s == null) return 0;
    return stringToUTF8(s, szBuf, cch);
});
// Returns "" when written, else the error's text.
EM_JS(int, WebStoreWrite, (const char* szText, char* szError, int cchError), {
    try {
        window.localStorage.setItem("Quarr95.ini", UTF8ToString(szText));
        return 1;
    } catch (e) {
        stringToUTF8(String(e && e.name ? e.name + ": " + e.message : e), szError, cchError);
        return 0;
    }
});
EM_ASYNC_JS(void, WebWarn, (const char* szText),
            { await Module.quarrionDialog("warning", UTF8ToString(szText), 0); });

void Load() {
    if (bLoaded) return;
    bLoaded = 1;
    static char szBuf[STORE_MAX];
    const int n = WebStoreRead(szBuf, sizeof szBuf);
    // Every byte counts, a stray NUL among them too.
    sIni.assign(szBuf, n > 0 ? (size_t)n : 0);
}

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) a++;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) b--;
    return s.substr(a, b - a);
}

bool SameText(const std::string& a, const char* b) {
    if (a.size() != strlen(b)) return false;
    for (size_t i = 0; i < a.size(); i++)
        if (tolower((unsigned char)a[i]) != tolower((unsigned char)b[i])) return false;
    return true;
}

// Finds a key: the line's start and end, the value's start; false if absent.
// With no key, finds the end of the section's last line (or npos without it).
bool Find(const char* szSection, const char* szKey, size_t* pLine, size_t* pEnd,
          size_t* pSectionEnd) {
    bool bIn = false, bFound = false;
    *pSectionEnd = std::string::npos;
    size_t i = 0;
    while (i < sIni.size()) {
        size_t e = sIni.find('\n', i);
        if (e == std::string::npos) e = sIni.size();
        const std::string line = Trim(sIni.substr(i, e - i));
        if (!line.empty() && line[0] == '[') {
            const size_t c = line.find(']');
            bIn = c != std::string::npos && SameText(Trim(line.substr(1, c - 1)), szSection);
            if (bIn) *pSectionEnd = e;
        } else if (bIn) {
            *pSectionEnd = e;
            const size_t q = line.find('=');
            if (!bFound && q != std::string::npos && szKey &&
                SameText(Trim(line.substr(0, q)), szKey)) {
                *pLine = i;
                *pEnd = e;
                bFound = true;
            }
        }
        i = e + 1;
    }
    return bFound;
}

std::string Read(const char* szSection, const char* szKey, const char* szDefault) {
    Load();
    size_t nLine, nEnd, nSectionEnd;
    if (!Find(szSection, szKey, &nLine, &nEnd, &nSectionEnd)) return szDefault;
    const std::string line = sIni.substr(nLine, nEnd - nLine);
    std::string v = Trim(line.substr(line.find('=') + 1));
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
        v = v.substr(1, v.size() - 2);
    return v;
}

int32_t ReadInt(const char* szSection, const char* szKey, int32_t nDefault) {
    const std::string v = Read(szSection, szKey, "");
    if (v.empty()) return nDefault;
    return (int32_t)HighScoreReadNumber(v.c_str());
}

void Write(const char* szSection, const char* szKey, const char* szValue) {
    Load();
    size_t nLine, nEnd, nSectionEnd;
    const std::string sLine = std::string(szKey) + "=" + szValue;
    if (Find(szSection, szKey, &nLine, &nEnd, &nSectionEnd)) {
        sIni.replace(nLine, nEnd - nLine, sLine);
    } else if (nSectionEnd != std::string::npos) {
        sIni.insert(nSectionEnd, "\n" + sLine);
    } else {
        if (!sIni.empty() && sIni.back() != '\n') sIni += "\n";
        sIni += "[" + std::string(szSection) + "]\n" + sLine + "\n";
    }
}

// Writes the text to the page's storage; a failure is told once per run.
int Store() {
    char szError[256] = "";
    if (WebStoreWrite(sIni.c_str(), szError, sizeof szError)) return 1;
    bFailed = 1;
    if (!bWarned) {
        bWarned = 1;
        std::string s = "The high scores and options could not be saved in\n\n"
                        "this browser's storage (Quarr95.ini)\n\n";
        WebWarn((s + szError).c_str());
    }
    return 0;
}

} // namespace

int LoadPrefs() {
    prefs.nSpeed = SpeedNormalize(ReadInt("Prefs", "Speed", 1));
    prefs.bSound = ReadInt("Prefs", "Sound", 1);
    prefs.bMusic = ReadInt("Prefs", "Music", 0);
    prefs.bContinuous = ReadInt("Prefs", "Continuous", 0);
    prefs.bUseMenu = ReadInt("Prefs", "UseMenu", 1);
    prefs.bPatterns = ReadInt("Prefs", "Patterns", 1);
    snprintf(prefs.szLastPlayer, sizeof prefs.szLastPlayer, "%s",
             Read("Prefs", "LastPlayer", "").c_str());
    prefs.nZoom = ZoomNormalize(ReadInt("Window", "Zoom", ZOOM_FITS));
    prefs.bFullScreen = ReadInt("Window", "FullScreen", 0) != 0 ? 1 : 0;
    prefs.nMusicDevice = MIDIDeviceNormalize(ReadInt("Window", "MusicDevice", MIDI_DEVICE_AUTO));
    return 1;
}

int SavePrefs() {
    char sz[16];
    const struct {
        const char* szKey;
        int32_t n;
    } aInt[] = {{"Speed", prefs.nSpeed},     {"Sound", prefs.bSound},
                {"Music", prefs.bMusic},     {"Continuous", prefs.bContinuous},
                {"UseMenu", prefs.bUseMenu}, {"Patterns", prefs.bPatterns}};
    for (const auto& k : aInt) {
        snprintf(sz, sizeof sz, "%d", (int)k.n);
        Write("Prefs", k.szKey, sz);
    }
    char szName[LAST_PLAYER_LEN];
    snprintf(szName, sizeof szName, "%.*s", (int)sizeof szName - 1, prefs.szLastPlayer);
    Write("Prefs", "LastPlayer", szName);
    Write("Zentrope", "Web Site", "");
    Write("Zentrope", "EMail", "");
    snprintf(sz, sizeof sz, "%d", (int)ZoomNormalize(prefs.nZoom));
    Write("Window", "Zoom", sz);
    Write("Window", "FullScreen", prefs.bFullScreen ? "1" : "0");
    snprintf(sz, sizeof sz, "%d", MIDIDeviceNormalize(prefs.nMusicDevice));
    Write("Window", "MusicDevice", sz);
    return Store();
}

void PrefsSetIniPathForTest(const char*) {}

int WebLoadHighScores() {
    ResetHighScores();
    for (int k = 0; k < NUM_HIGH_SCORES; k++) {
        char szKey[8];
        snprintf(szKey, sizeof szKey, "%d", k + 1);
        const std::string v = Read("Scores", szKey, "");
        // The file's reader takes at most HS_RECORD_LEN - 1 characters of a value.
        HighScoreRecordParse(v.substr(0, HS_RECORD_LEN - 1).c_str(), &hsTable.aRow[k]);
    }
    return 1;
}

int WebSaveHighScores() {
    for (int k = 0; k < NUM_HIGH_SCORES; k++) {
        char szKey[8], szValue[HS_RECORD_LEN];
        snprintf(szKey, sizeof szKey, "%d", k + 1);
        HighScoreRecordFormat(&hsTable.aRow[k], szValue, sizeof szValue);
        Write("Scores", szKey, szValue);
    }
    return Store();
}
