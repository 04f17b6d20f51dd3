#include "tests/win32/support/game_process.h"

#include <shlobj.h>

#include <cstdio>

#include "tests/win32/support/dib_canvas.h"

namespace {

const wchar_t kExeName[] = L"Quarrion.exe";
const wchar_t kIniName[] = L"Quarr95.ini";

std::wstring Wide(const char* sz) {
    wchar_t wsz[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, sz, -1, wsz, MAX_PATH);
    return wsz;
}

std::string Ansi(const std::wstring& ws) {
    char sz[2048] = "";
    WideCharToMultiByte(CP_ACP, 0, ws.c_str(), -1, sz, sizeof sz, NULL, NULL);
    return sz;
}

// Empties a folder of its files (the test folders hold no subfolders), a
// read-only file included.
void EmptyFolder(const std::wstring& wsDir) {
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW((wsDir + L"\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE) return;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::wstring wsFile = wsDir + L"\\" + fd.cFileName;
        SetFileAttributesW(wsFile.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(wsFile.c_str());
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
}

// Copies the exe and everything that lies beside it in dist/ into wsDir.
void CopyDist(const std::wstring& wsDir) {
    std::wstring wsDist = Wide(QUARRION_DIST_DIR_W) + L"\\";
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW((wsDist + L"*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE) return;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (lstrcmpiW(fd.cFileName, kIniName) == 0) continue;
        CopyFileW((wsDist + fd.cFileName).c_str(), (wsDir + L"\\" + fd.cFileName).c_str(), FALSE);
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
}

struct OwnedData {
    HWND hwndOwner;
    HWND hwnd;
};

BOOL CALLBACK OwnedProc(HWND hwnd, LPARAM lParam) {
    OwnedData* pData = (OwnedData*)lParam;
    char szClass[16];
    if (!GetClassNameA(hwnd, szClass, sizeof szClass) || lstrcmpA(szClass, "#32770") != 0)
        return TRUE;
    if (GetWindow(hwnd, GW_OWNER) != pData->hwndOwner || !IsWindowVisible(hwnd)) return TRUE;
    pData->hwnd = hwnd;
    return FALSE;
}

struct FindData {
    const char* szClass;
    DWORD dwPid;
    HWND hwnd;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lParam) {
    FindData* pData = (FindData*)lParam;
    char szClass[128];
    if (!GetClassNameA(hwnd, szClass, sizeof szClass)) return TRUE;
    if (lstrcmpA(szClass, pData->szClass) != 0) return TRUE;
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hwnd, &dwPid);
    if (pData->dwPid && dwPid != pData->dwPid) return TRUE;
    pData->hwnd = hwnd;
    return FALSE;
}

} // namespace

void PumpFor(DWORD nMs) {
    DWORD dwStart = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - dwStart < nMs);
}

HWND WaitForWindow(const char* szClass, DWORD dwPid, DWORD nTimeoutMs) {
    DWORD dwStart = GetTickCount();
    for (;;) {
        FindData data = {szClass, dwPid, NULL};
        EnumWindows(FindProc, (LPARAM)&data);
        if (data.hwnd) return data.hwnd;
        if (GetTickCount() - dwStart >= nTimeoutMs) return NULL;
        PumpFor(20);
    }
}

GameRun::GameRun(const char* szName) : GameRun(Wide(szName)) {}

GameRun::GameRun(const std::wstring& wsFolder) {
    bool bFull = wsFolder.size() > 1 && wsFolder[1] == L':';
    wsDir = bFull ? wsFolder : Wide(QUARRION_TESTWORK_DIR_W) + L"\\" + wsFolder;
    // Every level of the path, from the top down.
    for (size_t n = wsDir.find(L'\\', 3); n != std::wstring::npos; n = wsDir.find(L'\\', n + 1))
        CreateDirectoryW(wsDir.substr(0, n).c_str(), NULL);
    CreateDirectoryW(wsDir.c_str(), NULL);
    sDir = Ansi(wsDir);
    EmptyFolder(wsDir);
    CopyDist(wsDir);
    // Once there, the application-data file would be every later run's file.
    wchar_t wszData[MAX_PATH] = L"";
    SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, wszData);
    DeleteFileW((std::wstring(wszData) + L"\\Quarrion\\Quarr95.ini").c_str());
}

// Ends what is still running of the last start and lets its handles go.
static void EndProcess(PROCESS_INFORMATION& pi) {
    if (!pi.hProcess) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    pi = {};
}

GameRun::~GameRun() {
    EndProcess(pi);
}

bool GameRun::WriteIni(const char* szText) const {
    FILE* f = _wfopen((wsDir + L"\\" + kIniName).c_str(), L"wb");
    if (!f) return false;
    fputs(szText, f);
    fclose(f);
    return true;
}

std::string ReadWholeFile(const std::wstring& wsPath) {
    std::string sText;
    FILE* f = _wfopen(wsPath.c_str(), L"rb");
    if (!f) return sText;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) sText.append(buf, n);
    fclose(f);
    return sText;
}

std::string GameRun::ReadIni() const {
    return ReadWholeFile(wsDir + L"\\" + kIniName);
}

bool GameRun::Start(DWORD nTimeoutMs, const wchar_t* wszCurDir) {
    EndProcess(pi);
    hwndGame = NULL;
    // The tests' desktop is large enough for zoom 4: a test that does not
    // choose a size of its own sees the game at zoom 1 (where the folder
    // takes the file).
    std::string sIni = ReadIni();
    if (sIni.find("[Window]") == std::string::npos)
        WriteIni((sIni + "\r\n[Window]\r\nZoom=1\r\n").c_str());
    std::wstring wsExe = wsDir + L"\\" + kExeName;
    std::wstring wsCmd = L"\"" + wsExe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    if (!CreateProcessW(wsExe.c_str(), &wsCmd[0], NULL, NULL, FALSE, 0, NULL,
                        wszCurDir ? wszCurDir : wsDir.c_str(), &si, &pi))
        return false;
    WaitForInputIdle(pi.hProcess, nTimeoutMs);
    hwndGame = WaitForWindow("kvoQuarrwClass", pi.dwProcessId, nTimeoutMs);
    // The window is sized and placed before it is first shown: a loaded
    // machine can find it earlier.
    if (hwndGame) WaitUntil([&] { return IsWindowVisible(hwndGame) != FALSE; }, nTimeoutMs);
    return hwndGame != NULL;
}

bool GameRun::Running() const {
    return pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD GameRun::WaitExit(DWORD nTimeoutMs) {
    if (!pi.hProcess) return STILL_ACTIVE;
    if (WaitForSingleObject(pi.hProcess, nTimeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD dwCode = STILL_ACTIVE;
    GetExitCodeProcess(pi.hProcess, &dwCode);
    return dwCode;
}

DWORD GameRun::Close(DWORD nTimeoutMs) {
    if (hwndGame) PostMessageA(hwndGame, WM_CLOSE, 0, 0);
    // During a game the close asks the quit question first: Yes.
    DWORD dwStart = GetTickCount();
    while (pi.hProcess && WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT &&
           GetTickCount() - dwStart < nTimeoutMs) {
        OwnedData data = {hwndGame, NULL};
        EnumWindows(OwnedProc, (LPARAM)&data);
        if (data.hwnd) PostMessageA(data.hwnd, WM_COMMAND, IDYES, 0);
    }
    return WaitExit(0);
}

HWND WaitForOwnedDialog(HWND hwndOwner, DWORD nTimeoutMs) {
    OwnedData data = {hwndOwner, NULL};
    WaitUntil(
        [&]() {
            EnumWindows(OwnedProc, (LPARAM)&data);
            return data.hwnd != NULL;
        },
        nTimeoutMs);
    return data.hwnd;
}

// Copies the window's client area through its own device context.
bool GrabClient(HWND hwnd, DibCanvas& canvas) {
    HDC hdc = GetDC(hwnd);
    if (!hdc) return false;
    BOOL bOk = BitBlt(canvas.Dc(), 0, 0, canvas.W(), canvas.H(), hdc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, hdc);
    return bOk != 0;
}

COLORREF ClientPixel(HWND hwnd, int x, int y) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    DibCanvas canvas(rc.right, rc.bottom);
    if (!GrabClient(hwnd, canvas)) return CLR_INVALID;
    return canvas.At(x, y);
}

bool SaveClientPng(HWND hwnd, const char* szPath) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    DibCanvas canvas(rc.right, rc.bottom);
    return GrabClient(hwnd, canvas) && canvas.SavePng(szPath);
}

namespace {

struct DialogQuery {
    HWND hwndOwner;
    const char* szCaption;
    HWND hwnd;
};

BOOL CALLBACK FindCaptioned(HWND hwnd, LPARAM lParam) {
    DialogQuery* pQuery = (DialogQuery*)lParam;
    char szClass[16];
    if (!GetClassNameA(hwnd, szClass, sizeof szClass) || lstrcmpA(szClass, "#32770") != 0)
        return TRUE;
    if (GetWindow(hwnd, GW_OWNER) != pQuery->hwndOwner || !IsWindowVisible(hwnd)) return TRUE;
    char szText[128] = "";
    GetWindowTextA(hwnd, szText, sizeof szText);
    if (lstrcmpA(szText, pQuery->szCaption) != 0) return TRUE;
    pQuery->hwnd = hwnd;
    return FALSE;
}

} // namespace

HWND OwnedDialog(HWND hwndOwner, const char* szCaption) {
    DialogQuery query = {hwndOwner, szCaption, NULL};
    EnumWindows(FindCaptioned, (LPARAM)&query);
    return query.hwnd;
}

HWND WaitForDialog(HWND hwndOwner, const char* szCaption, DWORD nTimeoutMs) {
    HWND hDlg = NULL;
    WaitUntil([&]() { return (hDlg = OwnedDialog(hwndOwner, szCaption)) != NULL; }, nTimeoutMs);
    return hDlg;
}
