// Where the initialisation file lives: beside the executable, or in the
// player's application-data folder when it cannot be kept there.
#include "prefs/ini_win.h"

#include <shlobj.h>

#include "prefs/prefs.h"
#include "shell/globals.h"

namespace {

const wchar_t kIniName[] = L"Quarr95.ini";
const wchar_t kAppFolder[] = L"Quarrion";

wchar_t wszInUse[WIDE_PATH_LEN];
int bChosen;

int Append(wchar_t* wszTo, int cchTo, const wchar_t* wszMore) {
    int nHave = lstrlenW(wszTo), nMore = lstrlenW(wszMore);
    if (nHave + nMore >= cchTo) return 0;
    lstrcpyW(wszTo + nHave, wszMore);
    return 1;
}

// 1 when the profile functions can write wszPath: it is within the
// platform's path limit, no folder and no read-only file, and the file opens
// for writing, or a new one can be made there (the probe removes it again).
int ProfileCanWrite(const wchar_t* wszPath) {
    if (lstrlenW(wszPath) >= MAX_PATH) return 0;
    DWORD dwAttr = GetFileAttributesW(wszPath);
    HANDLE h;
    if (dwAttr != INVALID_FILE_ATTRIBUTES) {
        if (dwAttr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return 0;
        h = CreateFileW(wszPath, GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                        0, NULL);
    } else {
        h = CreateFileW(wszPath, GENERIC_WRITE, 0, NULL, CREATE_NEW,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, NULL);
    }
    if (h == INVALID_HANDLE_VALUE) return 0;
    CloseHandle(h);
    return 1;
}

// The file beside the executable in a form the file calls accept past the
// path limit.
void LongForm(const wchar_t* wszPath, wchar_t* wszLong, int cchLong) {
    wszLong[0] = L'\0';
    if (lstrlenW(wszPath) >= MAX_PATH && wszPath[0] != L'\\') Append(wszLong, cchLong, L"\\\\?\\");
    Append(wszLong, cchLong, wszPath);
}

// %APPDATA%\Quarrion\Quarr95.ini; 0 when there is none. With bMake its folder
// is made (0 when that fails).
int FallbackPath(wchar_t* wszPath, int cchPath, int bMake) {
    wchar_t wszData[MAX_PATH];
    if (FAILED(SHGetFolderPathW(NULL, CSIDL_APPDATA | (bMake ? CSIDL_FLAG_CREATE : 0), NULL,
                                SHGFP_TYPE_CURRENT, wszData)))
        return 0;
    wszPath[0] = L'\0';
    if (!Append(wszPath, cchPath, wszData) || !Append(wszPath, cchPath, L"\\") ||
        !Append(wszPath, cchPath, kAppFolder))
        return 0;
    if (bMake && !CreateDirectoryW(wszPath, NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
        return 0;
    return Append(wszPath, cchPath, L"\\") && Append(wszPath, cchPath, kIniName);
}

int IsFile(const wchar_t* wszPath) {
    DWORD dwAttr = GetFileAttributesW(wszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

int WideOf(const char* sz, wchar_t* wsz, int cch) {
    return MultiByteToWideChar(CP_ACP, 0, sz, -1, wsz, cch) > 0;
}

enum { INI_TEXT_LEN = 512 };

// The first write that failed since the last IniSaveDone, and whether the
// player has been told of one in this run. While the warning is held, a
// failed save only leaves it pending.
wchar_t wszFailedPath[WIDE_PATH_LEN];
DWORD dwFailedError;
int bFailed, bWarned, bHeld, bPending;

// The warning box of a failed save: what the system said, for the file it
// could not write. With the main window gone (the save at its destruction)
// or not yet shown, the box stands alone; a quit message already posted
// would close it at once, so it is held back until the box is closed.
void SaveWarningBox(const wchar_t* wszPath, DWORD dwError) {
    enum { TEXT_LEN = WIDE_PATH_LEN + 700 };
    wchar_t wszSystem[512], wszText[TEXT_LEN], wszCaption[APP_CAPTION_LEN];
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, dwError,
                        0, wszSystem, 512, NULL))
        wsprintfW(wszSystem, L"Error %lu.", dwError);
    wszText[0] = L'\0';
    Append(wszText, TEXT_LEN, L"The high scores and options could not be saved in\n\n");
    Append(wszText, TEXT_LEN, wszPath);
    Append(wszText, TEXT_LEN, L"\n\n");
    Append(wszText, TEXT_LEN, wszSystem);
    if (!WideOf(szAppCaption, wszCaption, APP_CAPTION_LEN)) wszCaption[0] = L'\0';
    HWND hwndOwner = hwndMain && IsWindowVisible(hwndMain) ? hwndMain : NULL;
    MSG msgQuit;
    BOOL bQuit = PeekMessageW(&msgQuit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
    MessageBoxW(hwndOwner, wszText, wszCaption,
                MB_OK | MB_ICONWARNING | (hwndOwner ? 0 : MB_SETFOREGROUND));
    if (bQuit) PostQuitMessage((int)msgQuit.wParam);
}

// The warning box, the first time in the run.
void IniSaveWarn() {
    if (bWarned) return;
    bWarned = 1;
    SaveWarningBox(wszFailedPath, dwFailedError);
}

} // namespace

int IniFileFor(const wchar_t* wszExeFolder, wchar_t* wszPath, int cchPath) {
    if (cchPath < 1) return 0;
    wszPath[0] = L'\0';
    wchar_t wszBeside[WIDE_PATH_LEN] = L"", wszFallback[WIDE_PATH_LEN];
    int bBeside = wszExeFolder && wszExeFolder[0] &&
                  Append(wszBeside, WIDE_PATH_LEN, wszExeFolder) &&
                  Append(wszBeside, WIDE_PATH_LEN, kIniName);
    // Once the game has kept the file in the application-data folder it stays
    // there: choosing again at every start would split the scores in two.
    if (FallbackPath(wszFallback, WIDE_PATH_LEN, 0) && IsFile(wszFallback))
        return Append(wszPath, cchPath, wszFallback);
    if (bBeside && ProfileCanWrite(wszBeside)) return Append(wszPath, cchPath, wszBeside);
    if (FallbackPath(wszFallback, WIDE_PATH_LEN, 1) && ProfileCanWrite(wszFallback)) {
        // The scores and options of a file that can still be read come along
        // (CopyFile never overwrites here).
        if (bBeside) {
            wchar_t wszFrom[WIDE_PATH_LEN];
            LongForm(wszBeside, wszFrom, WIDE_PATH_LEN);
            DWORD dwAttr = GetFileAttributesW(wszFrom);
            if (IsFile(wszFrom) && CopyFileW(wszFrom, wszFallback, TRUE))
                SetFileAttributesW(wszFallback, dwAttr & ~FILE_ATTRIBUTE_READONLY);
        }
        return Append(wszPath, cchPath, wszFallback);
    }
    // Neither can be written: the file beside the exe still gives what it
    // holds, and the first save that fails tells the player.
    return bBeside && Append(wszPath, cchPath, wszBeside);
}

int ExeFolderW(wchar_t* wszDir, int cchDir) {
    if (cchDir < 1) return 0;
    wszDir[0] = L'\0';
    DWORD n = GetModuleFileNameW(NULL, wszDir, (DWORD)cchDir);
    if (n == 0 || n >= (DWORD)cchDir) {
        wszDir[0] = L'\0';
        return 0;
    }
    // Cut back to the last backslash, keeping it.
    while (n > 0 && wszDir[n - 1] != L'\\') n--;
    wszDir[n] = L'\0';
    return n > 0;
}

int IniFileW(wchar_t* wszPath, int cchPath) {
    if (cchPath < 1) return 0;
    wszPath[0] = L'\0';
    if (!bChosen) {
        // A folder that cannot be named leaves only the fallback.
        wchar_t wszFolder[WIDE_PATH_LEN];
        ExeFolderW(wszFolder, WIDE_PATH_LEN);
        IniFileFor(wszFolder, wszInUse, WIDE_PATH_LEN);
        bChosen = 1;
    }
    if (!wszInUse[0] || lstrlenW(wszInUse) >= cchPath) return 0;
    lstrcpyW(wszPath, wszInUse);
    return 1;
}

int IniFileOrOverride(const char* szOverride, wchar_t* wszPath, int cchPath) {
    if (szOverride && szOverride[0]) return WideOf(szOverride, wszPath, cchPath);
    return IniFileW(wszPath, cchPath);
}

DWORD IniReadString(const wchar_t* wszPath, const char* szSection, const char* szKey,
                    const char* szDefault, char* szOut, int cchOut) {
    if (cchOut < 1) return 0;
    szOut[0] = '\0';
    wchar_t wszSection[64], wszKey[64], wszDefault[INI_TEXT_LEN], wszOut[INI_TEXT_LEN];
    if (!WideOf(szSection, wszSection, 64) || !WideOf(szKey, wszKey, 64) ||
        !WideOf(szDefault, wszDefault, INI_TEXT_LEN))
        return 0;
    int cchWide = cchOut < INI_TEXT_LEN ? cchOut : INI_TEXT_LEN;
    GetPrivateProfileStringW(wszSection, wszKey, wszDefault, wszOut, (DWORD)cchWide, wszPath);
    // Back into the code page the file is written in, cut to the caller's room.
    int n = WideCharToMultiByte(CP_ACP, 0, wszOut, -1, szOut, cchOut, NULL, NULL);
    if (n == 0) szOut[cchOut - 1] = '\0';
    return (DWORD)lstrlenA(szOut);
}

UINT IniReadInt(const wchar_t* wszPath, const char* szSection, const char* szKey, int nDefault) {
    wchar_t wszSection[64], wszKey[64];
    if (!WideOf(szSection, wszSection, 64) || !WideOf(szKey, wszKey, 64)) return (UINT)nDefault;
    return GetPrivateProfileIntW(wszSection, wszKey, nDefault, wszPath);
}

int IniWriteString(const wchar_t* wszPath, const char* szSection, const char* szKey,
                   const char* szValue) {
    wchar_t wszSection[64], wszKey[64], wszValue[INI_TEXT_LEN];
    if (!WideOf(szSection, wszSection, 64) || !WideOf(szKey, wszKey, 64)) return 0;
    if (szValue && !WideOf(szValue, wszValue, INI_TEXT_LEN)) return 0;
    if (WritePrivateProfileStringW(wszSection, wszKey, szValue ? wszValue : NULL, wszPath))
        return 1;
    if (!bFailed && !bPending) {
        dwFailedError = GetLastError();
        lstrcpynW(wszFailedPath, wszPath, WIDE_PATH_LEN);
        bFailed = 1;
    }
    return 0;
}

int IniSaveDone() {
    if (!bFailed) return 1;
    bFailed = 0;
    if (bHeld)
        bPending = 1;
    else
        IniSaveWarn();
    return 0;
}

void IniSaveWarningHold() {
    bHeld = 1;
}

void IniSaveWarningRelease() {
    bHeld = 0;
    if (!bPending) return;
    bPending = 0;
    IniSaveWarn();
}
