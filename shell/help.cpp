// The Help command: the help viewer when its file is there, else the game's
// own help box.
#include "shell/help.h"

#include "resources/resource.h"
#include "shell/app.h"
#include "shell/dialogs.h"

namespace {

const char kHelpFile[] = "QUARR.HLP";

// Posted to the box once its loop runs: the caret to the start of the text,
// whatever the activation did to the selection.
enum { WM_HELPTOP = WM_APP + 1 };

char szHelpText[HELP_TEXT_MAX];

// The "HELPTEXT" resource as CR LF text in szHelpText; empty when missing.
void HelpTextLoad() {
    szHelpText[0] = '\0';
    HRSRC hRes = FindResourceA(hInst, "HELPTEXT", (LPCSTR)RT_RCDATA);
    if (!hRes) return;
    HGLOBAL hData = LoadResource(hInst, hRes);
    const char* pText = hData ? (const char*)LockResource(hData) : NULL;
    if (!pText) return;
    HelpTextToCrlf(pText, (int)SizeofResource(hInst, hRes), szHelpText, HELP_TEXT_MAX);
}

void HelpTextToTop(HWND hwndDlg) {
    HWND hwndText = GetDlgItem(hwndDlg, IDC_HELP_TEXT);
    SendMessageA(hwndText, EM_SETSEL, 0, 0);
    SendMessageA(hwndText, EM_SCROLLCARET, 0, 0);
}

} // namespace

int HelpTextToCrlf(const char* pSrc, int cbSrc, char* szDst, int cchDst) {
    if (cchDst < 1) return 0;
    int n = 0;
    for (int i = 0; i < cbSrc && pSrc[i] != '\0'; i++) {
        char c = pSrc[i];
        int bLoneLf = c == '\n' && (i == 0 || pSrc[i - 1] != '\r');
        int bCrLf = c == '\r' && i + 1 < cbSrc && pSrc[i + 1] == '\n';
        int nNeed = bLoneLf || bCrLf ? 2 : 1;
        if (n + nNeed > cchDst - 1) break;
        if (bLoneLf) szDst[n++] = '\r';
        szDst[n++] = c;
        if (bCrLf) szDst[n++] = pSrc[++i];
    }
    szDst[n] = '\0';
    return n;
}

int HelpFilePath(char* szPath, int cchPath) {
    if (cchPath < 1) return 0;
    szPath[0] = '\0';
    char sz[MAX_PATH];
    DWORD cch = GetModuleFileNameA(NULL, sz, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH) return 0;
    int nDir = (int)cch;
    while (nDir > 0 && sz[nDir - 1] != '\\' && sz[nDir - 1] != '/') nDir--;
    if (nDir + (int)sizeof kHelpFile > cchPath) return 0;
    lstrcpynA(szPath, sz, nDir + 1);
    lstrcatA(szPath, kHelpFile);
    return 1;
}

int HelpFileExists() {
    char szPath[MAX_PATH];
    if (!HelpFilePath(szPath, MAX_PATH)) return 0;
    DWORD dwAttr = GetFileAttributesA(szPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

INT_PTR CALLBACK HelpDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_INITDIALOG:
        CenterWindow(hwndDlg);
        HelpTextLoad();
        SetDlgItemTextA(hwndDlg, IDC_HELP_TEXT, szHelpText);
        // Focus on the text so the keys scroll it, with nothing selected.
        SetFocus(GetDlgItem(hwndDlg, IDC_HELP_TEXT));
        HelpTextToTop(hwndDlg);
        PostMessageA(hwndDlg, WM_HELPTOP, 0, 0);
        return FALSE;
    case WM_HELPTOP: HelpTextToTop(hwndDlg); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(hwndDlg, 1);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE: EndDialog(hwndDlg, 1); return TRUE;
    case WM_CTLCOLORSTATIC:
        // The read-only text reads black on white, like a page.
        if ((HWND)lParam == GetDlgItem(hwndDlg, IDC_HELP_TEXT)) {
            HDC hdc = (HDC)wParam;
            SetTextColor(hdc, RGB(0, 0, 0));
            SetBkColor(hdc, RGB(255, 255, 255));
            return (INT_PTR)GetStockObject(WHITE_BRUSH);
        }
        return FALSE;
    default: return FALSE;
    }
}

int ShowHelp(HWND hwndOwner) {
    if (HelpFileExists()) {
        char szPath[MAX_PATH];
        HelpFilePath(szPath, MAX_PATH);
        WinHelpA(hwndOwner, szPath, HELP_CONTENTS, 0);
        return 1;
    }
    DialogBoxParamA(hInst, "HELPDLG", hwndOwner, HelpDlgProc, 0);
    return 1;
}
