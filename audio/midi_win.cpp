// The music on Win32: the "sequencer" device through mciSendStringW, and the
// search for the music files through a hidden list box dialog. The portable
// side hands over UTF-8 text; every path meets the system in wide characters.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/midi.h"
#include "audio/smf.h"
#include "prefs/ini_win.h"
#include "resources/resource.h"
#include "shell/app.h"

namespace {

const char kOpenCommand[] = "open \"";

int WideOfUtf8(const char* sz, wchar_t* wsz, int cch) {
    return MultiByteToWideChar(CP_UTF8, 0, sz, -1, wsz, cch) > 0;
}

// Cut at a character's end where it does not fit.
int Utf8OfWide(const wchar_t* wsz, char* sz, int cch) {
    if (cch <= 0) return 0;
    sz[0] = '\0';
    char szAll[MIDI_COMMAND_LEN * 3];
    if (WideCharToMultiByte(CP_UTF8, 0, wsz, -1, szAll, sizeof szAll, NULL, NULL) <= 0) return 0;
    int n = lstrlenA(szAll);
    if (n >= cch) {
        n = cch - 1;
        while (n > 0 && (szAll[n] & 0xC0) == 0x80) n--;
    }
    memcpy(sz, szAll, (size_t)n);
    sz[n] = '\0';
    return 1;
}

// A UTF-8 path in wide characters; past the path limit with the prefix that
// lets the file calls go on.
int WidePath(const char* szPath, wchar_t* wszPath, int cchPath) {
    wchar_t wsz[MIDI_PATH_LEN];
    if (!WideOfUtf8(szPath, wsz, MIDI_PATH_LEN)) return 0;
    int bLong = lstrlenW(wsz) >= MAX_PATH && wsz[0] != L'\\';
    if (lstrlenW(wsz) + (bLong ? 4 : 0) >= cchPath) return 0;
    wszPath[0] = L'\0';
    if (bLong) lstrcpyW(wszPath, L"\\\\?\\");
    lstrcatW(wszPath, wsz);
    return 1;
}

uint32_t WinSendString(const char* szCommand, HostWindow hwndNotify) {
    // Wine's sequencer read a track that claimed more bytes than the file
    // holds without end: a MIDI file that does not read whole is refused
    // before it gets there.
    size_t nOpen = sizeof kOpenCommand - 1;
    if (strncmp(szCommand, kOpenCommand, nOpen) == 0) {
        char szPath[MIDI_PATH_LEN];
        snprintf(szPath, sizeof szPath, "%s", szCommand + nOpen);
        char* pQuote = strchr(szPath, '"');
        if (pQuote) *pQuote = '\0';
        if (!MIDIFileFits(szPath)) return MCIERR_INVALID_FILE;
    }
    wchar_t wszCommand[MIDI_COMMAND_LEN], wszAnswer[256];
    if (!WideOfUtf8(szCommand, wszCommand, MIDI_COMMAND_LEN)) return MCIERR_PARAM_OVERFLOW;
    wszAnswer[0] = L'\0';
    return (uint32_t)mciSendStringW(wszCommand, wszAnswer, 255, (HWND)hwndNotify);
}

int WinErrorText(uint32_t nError, char* szText, int cchText) {
    if (cchText <= 0) return 0;
    szText[0] = '\0';
    wchar_t wszText[MIDI_ERROR_LEN];
    if (!mciGetErrorStringW((MCIERROR)nError, wszText, MIDI_ERROR_LEN)) return 0;
    return Utf8OfWide(wszText, szText, cchText);
}

int WinWarningBox(const char* szText, const char* szTitle) {
    wchar_t wszText[MIDI_ERROR_LEN * 2], wszTitle[MIDI_COMMAND_LEN];
    if (!WideOfUtf8(szText, wszText, MIDI_ERROR_LEN * 2)) wszText[0] = L'\0';
    if (!WideOfUtf8(szTitle, wszTitle, MIDI_COMMAND_LEN)) wszTitle[0] = L'\0';
    MessageBoxW(hwndMain, wszText, wszTitle, MB_ICONWARNING);
    return 1;
}

// A file, not a folder. (OpenFile's buffer holds only 128 characters: in a
// deeper folder it found nothing, and no track ever played.)
int WinFileExists(const char* szPath) {
    wchar_t wszPath[MIDI_PATH_LEN];
    if (!WidePath(szPath, wszPath, MIDI_PATH_LEN)) return 0;
    DWORD dwAttr = GetFileAttributesW(wszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

int WinShortPath(const char* szPath, char* szShort, int cchShort) {
    wchar_t wszPath[MIDI_PATH_LEN], wszShort[MIDI_PATH_LEN];
    if (!WidePath(szPath, wszPath, MIDI_PATH_LEN)) return 0;
    DWORD n = GetShortPathNameW(wszPath, wszShort, MIDI_PATH_LEN);
    if (n == 0 || n >= MIDI_PATH_LEN) return 0;
    const wchar_t* p = wszShort;
    if (wcsncmp(p, L"\\\\?\\", 4) == 0) p += 4;
    return Utf8OfWide(p, szShort, cchShort);
}

// The sequencer's notifications carry the id of the device they come from.
uint32_t WinNoticeId(const char* szAlias) {
    wchar_t wszAlias[MIDI_ALIAS_LEN];
    if (!WideOfUtf8(szAlias, wszAlias, MIDI_ALIAS_LEN)) return 0;
    return (uint32_t)mciGetDeviceIDW(wszAlias);
}

const MIDIDevice kWin32Device = {
    .SendString = WinSendString,
    .ErrorText = WinErrorText,
    .WarningBox = WinWarningBox,
    .FileExists = WinFileExists,
    .ShortPath = WinShortPath,
    .Trace = nullptr, // the shipped program keeps no trace
    .NoticeId = WinNoticeId,
};

// The search pattern handed to the hidden list box dialog.
wchar_t wszMIDISpec[MIDI_PATH_LEN];

int EndsWithMid(const char* szName) {
    size_t n = strlen(szName);
    return n > 4 && lstrcmpiA(szName + n - 4, ".mid") == 0;
}

INT_PTR CALLBACK MIDIListboxDlgProc(HWND hwndDlg, UINT uMsg, WPARAM, LPARAM) {
    if (uMsg != WM_INITDIALOG) return FALSE;
    // The list box's own listing leaves the current directory alone (the
    // dialog-level call made the pattern's directory current).
    SendDlgItemMessageW(hwndDlg, IDC_MIDI_LIST, LB_DIR, DDL_READWRITE, (LPARAM)wszMIDISpec);
    LRESULT nCount = SendDlgItemMessageW(hwndDlg, IDC_MIDI_LIST, LB_GETCOUNT, 0, 0);
    if (nCount != LB_ERR) {
        for (LRESULT i = 0; i < nCount && nMIDIFiles < MIDI_MAX_FILES; i++) {
            LRESULT nLen = SendDlgItemMessageW(hwndDlg, IDC_MIDI_LIST, LB_GETTEXTLEN, (WPARAM)i, 0);
            if (nLen == LB_ERR || nLen >= MIDI_PATH_LEN) continue;
            wchar_t wszName[MIDI_PATH_LEN];
            SendDlgItemMessageW(hwndDlg, IDC_MIDI_LIST, LB_GETTEXT, (WPARAM)i, (LPARAM)wszName);
            // The pattern also matches longer extensions through short names.
            char szName[MIDI_PATH_LEN];
            if (Utf8OfWide(wszName, szName, sizeof szName) && EndsWithMid(szName))
                MIDIListAdd(szName);
        }
    }
    EndDialog(hwndDlg, 1);
    return TRUE;
}

} // namespace

const MIDIDevice* MIDIDeviceWin32() {
    return &kWin32Device;
}

int MIDIFileLoad(const char* szPath, uint8_t** ppData, size_t* pnSize) {
    *ppData = nullptr;
    *pnSize = 0;
    wchar_t wszPath[MIDI_PATH_LEN];
    if (!WidePath(szPath, wszPath, MIDI_PATH_LEN)) return 0;
    HANDLE h = CreateFileW(wszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER liSize;
    int nResult = -1;
    if (GetFileSizeEx(h, &liSize) && liSize.QuadPart <= SMF_MAX_BYTES) {
        DWORD nSize = (DWORD)liSize.QuadPart, nGot = 0;
        uint8_t* p = (uint8_t*)malloc(nSize ? nSize : 1);
        if (p && ReadFile(h, p, nSize, &nGot, NULL) && nGot == nSize) {
            *ppData = p;
            *pnSize = nSize;
            nResult = 1;
        } else {
            free(p);
        }
    }
    CloseHandle(h);
    return nResult;
}

int MIDIFileFits(const char* szPath) {
    uint8_t* p;
    size_t n;
    if (MIDIFileLoad(szPath, &p, &n) <= 0) return 0;
    int bFits = SmfFileFits(p, n);
    free(p);
    return bFits;
}

int MIDIFindFilesIn(HostWindow hwndOwner, const char* szDir) {
    if (!pMIDIDevice) MIDIDeviceInstallChosen();
    if (!szDir || strlen(szDir) >= MIDI_DIR_LEN) szDir = "";
    MIDIListBegin(szDir);
    // Without a folder there is nothing to list: never the current directory.
    char szSpec[MIDI_PATH_LEN];
    snprintf(szSpec, sizeof szSpec, "%s%s", szMIDIDir, "*.mid");
    if (!szMIDIDir[0] || !WidePath(szSpec, wszMIDISpec, MIDI_PATH_LEN)) return 0;
    DialogBoxParamW(GetModuleHandleW(NULL), L"MIDIListboxDlg", (HWND)hwndOwner, MIDIListboxDlgProc,
                    0);
    return nMIDIFiles;
}

int MIDIFindFiles(HostWindow hwndOwner) {
    wchar_t wszDir[WIDE_PATH_LEN];
    char szDir[MIDI_DIR_LEN] = "";
    if (ExeFolderW(wszDir, WIDE_PATH_LEN)) Utf8OfWide(wszDir, szDir, sizeof szDir);
    return MIDIFindFilesIn(hwndOwner, szDir);
}
