// The options in the initialisation file: section "Prefs", read with the
// private profile functions and rewritten in full by every save, followed by
// the section "Zentrope" with the team's contact entries (never read back).
#include <cstdio>
#include <cstring>

#include "prefs/ini_win.h"
#include "prefs/prefs.h"
#include "render/zoom.h"

static const char szPrefsSection[] = "Prefs";
static const char szContactSection[] = "Zentrope";
// The window's size, a section of its own after the design's two.
static const char szWindowSection[] = "Window";
// The team has no address of its own yet: both keys are written empty.
static const char szContactWebSite[] = "";
static const char szContactEMail[] = "";

// Set by the tests so that they never touch the file beside their exe.
static char szIniPathOverride[INI_PATH_LEN];

void PrefsSetIniPathForTest(const char* szPath) {
    if (!szPath) szPath = "";
    snprintf(szIniPathOverride, sizeof szIniPathOverride, "%s", szPath);
}

static int32_t ReadInt(const char* szKey, int32_t nDefault, const wchar_t* wszPath) {
    // The platform hands back an unsigned value; negative text comes back as
    // its two's complement, which the cast turns into the negative number.
    return (int32_t)IniReadInt(wszPath, szPrefsSection, szKey, nDefault);
}

int LoadPrefs() {
    wchar_t szPath[WIDE_PATH_LEN];
    if (!IniFileOrOverride(szIniPathOverride, szPath, WIDE_PATH_LEN)) {
        // Without a path the profile functions would fall back on the system's
        // own initialisation file; stay with the defaults instead.
        PrefsSetDefaults();
        return 0;
    }
    prefs.nSpeed = SpeedNormalize(ReadInt("Speed", 1, szPath));
    prefs.bSound = ReadInt("Sound", 1, szPath);
    prefs.bMusic = ReadInt("Music", 0, szPath);
    prefs.bContinuous = ReadInt("Continuous", 0, szPath);
    prefs.bUseMenu = ReadInt("UseMenu", 1, szPath);
    prefs.bPatterns = ReadInt("Patterns", 1, szPath);
    IniReadString(szPath, szPrefsSection, "LastPlayer", "", prefs.szLastPlayer,
                  sizeof prefs.szLastPlayer);
    prefs.nZoom = ZoomNormalize((int32_t)IniReadInt(szPath, szWindowSection, "Zoom", ZOOM_FITS));
    prefs.bFullScreen = IniReadInt(szPath, szWindowSection, "FullScreen", 0) != 0 ? 1 : 0;
    return 1;
}

static int WriteInt(const char* szKey, int32_t nValue, const wchar_t* wszPath) {
    char szValue[16];
    snprintf(szValue, sizeof szValue, "%d", (int)nValue);
    return IniWriteString(wszPath, szPrefsSection, szKey, szValue);
}

int SavePrefs() {
    wchar_t szPath[WIDE_PATH_LEN];
    if (!IniFileOrOverride(szIniPathOverride, szPath, WIDE_PATH_LEN)) return 0;
    int bAll = 1;
    bAll &= WriteInt("Speed", prefs.nSpeed, szPath);
    bAll &= WriteInt("Sound", prefs.bSound, szPath);
    bAll &= WriteInt("Music", prefs.bMusic, szPath);
    bAll &= WriteInt("Continuous", prefs.bContinuous, szPath);
    bAll &= WriteInt("UseMenu", prefs.bUseMenu, szPath);
    bAll &= WriteInt("Patterns", prefs.bPatterns, szPath);
    // An empty name is written as an empty value (null would delete the key);
    // the copy stops at the buffer's end even if the name lacks its end mark.
    char szName[LAST_PLAYER_LEN];
    snprintf(szName, sizeof szName, "%.*s", (int)sizeof szName - 1, prefs.szLastPlayer);
    bAll &= IniWriteString(szPath, szPrefsSection, "LastPlayer", szName);
    bAll &= IniWriteString(szPath, szContactSection, "Web Site", szContactWebSite);
    bAll &= IniWriteString(szPath, szContactSection, "EMail", szContactEMail);
    char szValue[16];
    snprintf(szValue, sizeof szValue, "%d", (int)ZoomNormalize(prefs.nZoom));
    bAll &= IniWriteString(szPath, szWindowSection, "Zoom", szValue);
    bAll &= IniWriteString(szPath, szWindowSection, "FullScreen", prefs.bFullScreen ? "1" : "0");
    return IniSaveDone() && bAll;
}
