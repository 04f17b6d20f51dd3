// Runs the real Quarrion.exe for an end-to-end test.
//
//   GameRun run("startup");            // a fresh folder with the exe in it
//   ASSERT_TRUE(run.Start());          // launches it, waits for its window
//   HWND hwnd = run.Window();
//   ...
//   EXPECT_EQ(run.Close(), 0u);        // WM_CLOSE, waits, the exit code
//
// Each run gets its own folder under the build's test work area, and no file
// in the application-data folder, so the initialisation file of one test
// never leaks into another. Whatever is still
// running when the object goes away is ended.
#pragma once

#include <windows.h>

#include <string>

class GameRun {
  public:
    explicit GameRun(const char* szName);
    // A folder of any name: a path under the test work area ("a\\b" makes
    // both levels), or a full path ("C:\\...").
    explicit GameRun(const std::wstring& wsFolder);
    ~GameRun();
    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;

    // The folder the exe runs from, and a path inside it.
    const std::string& Dir() const { return sDir; }
    std::string PathOf(const char* szFile) const { return sDir + "\\" + szFile; }

    const std::wstring& DirW() const { return wsDir; }

    // Writes an initialisation file into the run's folder before Start.
    bool WriteIni(const char* szText) const;
    std::string ReadIni() const;

    // Launches the exe and waits up to nTimeoutMs for its main window; it
    // runs in wszCurDir when given, else in its own folder. After Close or
    // WaitExit it starts the same folder's exe again (the file kept). An
    // initialisation file without a section "Window" gets one with Zoom=1.
    bool Start(DWORD nTimeoutMs = 15000, const wchar_t* wszCurDir = nullptr);
    HWND Window() const { return hwndGame; }
    DWORD ProcessId() const { return pi.dwProcessId; }
    bool Running() const;

    // Waits up to nTimeoutMs for the process to end; returns its exit code,
    // or STILL_ACTIVE if it did not end.
    DWORD WaitExit(DWORD nTimeoutMs = 10000);
    // Posts WM_CLOSE to the main window, answers Yes to the quit question a
    // running game asks, and waits for the exit code.
    DWORD Close(DWORD nTimeoutMs = 10000);

  private:
    std::string sDir;
    std::wstring wsDir;
    PROCESS_INFORMATION pi = {};
    HWND hwndGame = NULL;
};

// The whole of a file (empty when it cannot be read).
std::string ReadWholeFile(const std::wstring& wsPath);

// Waits up to nTimeoutMs for a top-level window of the class that belongs to
// process dwPid (0: any process).
HWND WaitForWindow(const char* szClass, DWORD dwPid, DWORD nTimeoutMs);

// Pumps this thread's messages while waiting nMs.
void PumpFor(DWORD nMs);

// Waits up to nTimeoutMs for a dialog or message box (class "#32770") owned by
// hwndOwner.
HWND WaitForOwnedDialog(HWND hwndOwner, DWORD nTimeoutMs);

// The visible dialog (class "#32770") owned by hwndOwner with exactly this
// caption ("" for the screens without one), or NULL; and the wait for one.
HWND OwnedDialog(HWND hwndOwner, const char* szCaption);
HWND WaitForDialog(HWND hwndOwner, const char* szCaption, DWORD nTimeoutMs);

// Waits up to nTimeoutMs until bDone() holds, pumping messages meanwhile.
template <typename Pred> bool WaitUntil(Pred bDone, DWORD nTimeoutMs) {
    DWORD dwStart = GetTickCount();
    while (!bDone()) {
        if (GetTickCount() - dwStart >= nTimeoutMs) return false;
        PumpFor(20);
    }
    return true;
}

// Copies the client area of another process's window into a DibCanvas-like
// buffer and reads one pixel of it (client coordinates).
COLORREF ClientPixel(HWND hwnd, int x, int y);

// Copies the client area of hwnd (of any process) into canvas, from (0, 0).
class DibCanvas;
bool GrabClient(HWND hwnd, DibCanvas& canvas);

// Saves the client area of hwnd as a PNG file (a Wine path).
bool SaveClientPng(HWND hwnd, const char* szPath);
