// The music on Win32: the "sequencer" device through mciSendStringA, and the
// search for the music files through a hidden list box dialog.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>

#include "audio/midi.h"
#include "resources/resource.h"
#include "shell/app.h"

static uint32_t WinSendString(const char* szCommand, HostWindow hwndNotify) {
    char szAnswer[256];
    szAnswer[0] = '\0';
    return (uint32_t)mciSendStringA(szCommand, szAnswer, 255, (HWND)hwndNotify);
}

static int WinErrorText(uint32_t nError, char* szText, int cchText) {
    if (cchText <= 0) return 0;
    szText[0] = '\0';
    return mciGetErrorStringA((MCIERROR)nError, szText, (UINT)cchText) ? 1 : 0;
}

static int WinWarningBox(const char* szText, const char* szTitle) {
    MessageBoxA(hwndMain, szText, szTitle, MB_ICONWARNING);
    return 1;
}

// A file, not a folder. (OpenFile's buffer holds only 128 characters: in a
// deeper folder it found nothing, and no track ever played.)
static int WinFileExists(const char* szPath) {
    DWORD dwAttr = GetFileAttributesA(szPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

static int WinShortPath(const char* szPath, char* szShort, int cchShort) {
    DWORD n = GetShortPathNameA(szPath, szShort, (DWORD)cchShort);
    return n > 0 && n < (DWORD)cchShort;
}

static const MIDIDevice kWin32Device = {
    .SendString = WinSendString,
    .ErrorText = WinErrorText,
    .WarningBox = WinWarningBox,
    .FileExists = WinFileExists,
    .ShortPath = WinShortPath,
    .Trace = nullptr, // the shipped program keeps no trace
};

const MIDIDevice* MIDIDeviceWin32() {
    return &kWin32Device;
}

// The search pattern handed to the hidden list box dialog.
static char szMIDISpec[MIDI_PATH_LEN];

static INT_PTR CALLBACK MIDIListboxDlgProc(HWND hwndDlg, UINT uMsg, WPARAM, LPARAM) {
    if (uMsg != WM_INITDIALOG) return FALSE;
    // DlgDirListA writes the bare pattern back into its argument and makes
    // the pattern's directory current; work on a copy and put the current
    // directory back, so the search leaves nothing changed behind it.
    char szSpec[MIDI_PATH_LEN];
    snprintf(szSpec, sizeof szSpec, "%s", szMIDISpec);
    char szCurDir[MIDI_PATH_LEN];
    DWORD nCur = GetCurrentDirectoryA(sizeof szCurDir, szCurDir);
    DlgDirListA(hwndDlg, szSpec, IDC_MIDI_LIST, 0, 0);
    if (nCur > 0 && nCur < sizeof szCurDir) SetCurrentDirectoryA(szCurDir);

    LRESULT nCount = SendDlgItemMessageA(hwndDlg, IDC_MIDI_LIST, LB_GETCOUNT, 0, 0);
    if (nCount != LB_ERR) {
        for (LRESULT i = 0; i < nCount && nMIDIFiles < MIDI_MAX_FILES; i++) {
            LRESULT nLen = SendDlgItemMessageA(hwndDlg, IDC_MIDI_LIST, LB_GETTEXTLEN, (WPARAM)i, 0);
            if (nLen == LB_ERR || nLen >= MIDI_PATH_LEN) continue;
            char szName[MIDI_PATH_LEN];
            SendDlgItemMessageA(hwndDlg, IDC_MIDI_LIST, LB_GETTEXT, (WPARAM)i, (LPARAM)szName);
            MIDIListAdd(szName);
        }
    }
    EndDialog(hwndDlg, 1);
    return TRUE;
}

int MIDIFindFilesIn(HostWindow hwndOwner, const char* szDir) {
    if (!pMIDIDevice) MIDIDeviceInstall(&kWin32Device);
    MIDIListBegin(szDir);
    snprintf(szMIDISpec, sizeof szMIDISpec, "%s%s", szMIDIDir, "*.mid");
    DialogBoxParamA(GetModuleHandleA(NULL), "MIDIListboxDlg", (HWND)hwndOwner, MIDIListboxDlgProc,
                    0);
    return nMIDIFiles;
}

int MIDIFindFiles(HostWindow hwndOwner) {
    char szDir[MIDI_DIR_LEN];
    DWORD n = GetModuleFileNameA(NULL, szDir, sizeof szDir);
    if (n == 0 || n >= sizeof szDir) n = 0;
    szDir[n] = '\0';
    char* pSlash = strrchr(szDir, '\\');
    if (pSlash)
        pSlash[1] = '\0';
    else
        szDir[0] = '\0';
    return MIDIFindFilesIn(hwndOwner, szDir);
}
