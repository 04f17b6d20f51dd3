// The high-score table in the initialisation file, the end-of-game check and
// the new-high-score dialog.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "engine/game.h"
#include "prefs/ini_win.h"
#include "prefs/prefs.h"
#include "resources/resource.h"
#include "scores/scores_win.h"
#include "shell/app.h"
#include "shell/dialogs.h"

namespace {

const char kSection[] = "Scores";

char szIniOverride[INI_PATH_LEN];

} // namespace

int ScoresPlaySound(const char* szName) {
    if (!pHost || !pHost->PlayGameSound) return 0;
    return pHost->PlayGameSound(szName, 1);
}

int ScoresBeep(int nType) {
    if (!pHost || !pHost->PlayBeep) return 0;
    return pHost->PlayBeep(nType);
}

int ReadPlayerName(HWND hDlg, int nId, char* szName, int cchName) {
    char szTyped[HS_NAME_LEN] = "";
    GetDlgItemTextA(hDlg, nId, szTyped, cchName < HS_NAME_LEN ? cchName : HS_NAME_LEN);
    return HighScoreNameClean(szTyped, szName, cchName);
}

void HighScoresUseIniPath(const char* szPath) {
    if (szPath)
        snprintf(szIniOverride, sizeof szIniOverride, "%s", szPath);
    else
        szIniOverride[0] = '\0';
}

int LoadHighScores() {
    ResetHighScores();
    wchar_t wszPath[WIDE_PATH_LEN];
    if (!IniFileOrOverride(szIniOverride, wszPath, WIDE_PATH_LEN)) return 1;
    for (int k = 0; k < NUM_HIGH_SCORES; k++) {
        char szKey[8];
        snprintf(szKey, sizeof szKey, "%d", k + 1);
        char szValue[HS_RECORD_LEN] = "";
        IniReadString(wszPath, kSection, szKey, "", szValue, sizeof szValue);
        // A missing, empty or malformed value leaves the default row.
        if (szValue[0]) HighScoreRecordParse(szValue, &hsTable.aRow[k]);
    }
    return 1;
}

int SaveHighScores() {
    wchar_t wszPath[WIDE_PATH_LEN];
    if (!IniFileOrOverride(szIniOverride, wszPath, WIDE_PATH_LEN)) return 0;
    for (int k = 0; k < NUM_HIGH_SCORES; k++) {
        char szKey[8];
        snprintf(szKey, sizeof szKey, "%d", k + 1);
        char szValue[HS_RECORD_LEN];
        HighScoreRecordFormat(&hsTable.aRow[k], szValue, sizeof szValue);
        IniWriteString(wszPath, kSection, szKey, szValue);
    }
    return IniSaveDone();
}

int InsertHighScore(const char* szName, int32_t lScore, int32_t nLevel) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    char szDate[HS_DATE_LEN];
    HighScoreDateFormat(szDate, sizeof szDate, st.wMonth, st.wDay, st.wYear);
    return HighScoreInsertDated(szName, lScore, nLevel, szDate);
}

int ClearHighScores(HWND hwndOwner) {
    if (MessageBoxA(hwndOwner, "Clear high scores?", szAppCaption,
                    MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2) != IDYES)
        return 0;
    ScoresPlaySound("CLEARSCORES");
    ResetHighScores();
    SaveHighScores();
    return 1;
}

INT_PTR CALLBACK NewHiScoreDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM) {
    switch (uMsg) {
    case WM_INITDIALOG:
        CenterWindow(hDlg);
        EnableWindow(GetDlgItem(hDlg, IDOK), FALSE);
        SendDlgItemMessageA(hDlg, IDC_NEWHS_NAME, EM_LIMITTEXT, HS_NEW_NAME_LIMIT, 0);
        // The edit-change notice of this pre-filling enables OK for a known name.
        SetDlgItemTextA(hDlg, IDC_NEWHS_NAME, prefs.szLastPlayer);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_NEWHS_NAME:
            if (HIWORD(wParam) == EN_CHANGE)
                EnableWindow(GetDlgItem(hDlg, IDOK),
                             GetWindowTextLengthA(GetDlgItem(hDlg, IDC_NEWHS_NAME)) > 0);
            return TRUE;
        case IDOK: {
            char szName[HS_NAME_LEN];
            if (!ReadPlayerName(hDlg, IDC_NEWHS_NAME, szName, sizeof szName)) {
                ScoresBeep(0);
                SetFocus(GetDlgItem(hDlg, IDC_NEWHS_NAME));
                return TRUE;
            }
            snprintf(prefs.szLastPlayer, sizeof prefs.szLastPlayer, "%s", szName);
            InsertHighScore(szName, (int32_t)game.lScore, game.nLevel);
            ShowHiScoreDlg(GetParent(hDlg));
            EndDialog(hDlg, 1);
            return TRUE;
        }
        case IDCANCEL: EndDialog(hDlg, 0); return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return DialogGreyColour((HDC)wParam, RGB(0, 0, 0));
    }
    return FALSE;
}

int CheckHighScore(HWND hwndMain) {
    if (!HighScoreGameOver((int32_t)game.lScore)) return 0;
    ScoresPlaySound("NEWSCORE");
    ZoomDialogBox(DialogInstance(), "NEWHISCOREDLG", hwndMain, NewHiScoreDlgProc, 0);
    // Written whatever the player did, Escape included.
    SaveHighScores();
    return 1;
}
