// The game starts as one window of its class, with the caption of its design
// and a client area of 640 x 480 below the menu bar, and ends with exit code 0 when that window is
// closed.
#include <gtest/gtest.h>

#include "tests/win32/support/game_process.h"

TEST(Startup, MainWindowCaptionSizeAndCleanExit) {
    GameRun run("startup");
    ASSERT_TRUE(run.Start()) << "no window of class kvoQuarrwClass appeared";
    HWND hwnd = run.Window();

    char szCaption[80] = "";
    GetWindowTextA(hwnd, szCaption, sizeof szCaption);
    EXPECT_STREQ(szCaption, "Quarrion v1.52");

    RECT rc;
    ASSERT_TRUE(GetClientRect(hwnd, &rc));
    EXPECT_EQ(rc.right, 640);
    EXPECT_EQ(rc.bottom, 480);
    EXPECT_TRUE(GetMenu(hwnd) != NULL);

    LONG lStyle = GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_EQ(lStyle & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(lStyle & WS_SYSMENU);
    EXPECT_TRUE(lStyle & WS_MINIMIZEBOX);
    EXPECT_FALSE(lStyle & WS_MAXIMIZEBOX);
    EXPECT_FALSE(lStyle & WS_THICKFRAME);

    EXPECT_EQ(run.Close(), 0u);
}

namespace {

BOOL CALLBACK CountGameWindow(HWND hwnd, LPARAM lParam) {
    char szClass[32] = "";
    GetClassNameA(hwnd, szClass, sizeof szClass);
    if (lstrcmpA(szClass, "kvoQuarrwClass") == 0) ++*(int*)lParam;
    return TRUE;
}

int GameWindowCount() {
    int nCount = 0;
    EnumWindows(CountGameWindow, (LPARAM)&nCount);
    return nCount;
}

// Two copies of the exe, made suspended and let go back to back; whatever is
// still running when the pair goes away is ended.
struct Twins {
    PROCESS_INFORMATION api[2] = {};
    bool Start(const GameRun& run) {
        std::string sExe = run.PathOf("Quarrion.exe");
        for (PROCESS_INFORMATION& pi : api) {
            std::string sCmd = "\"" + sExe + "\"";
            STARTUPINFOA si = {};
            si.cb = sizeof si;
            if (!CreateProcessA(sExe.c_str(), &sCmd[0], NULL, NULL, FALSE, CREATE_SUSPENDED, NULL,
                                run.Dir().c_str(), &si, &pi))
                return false;
        }
        for (PROCESS_INFORMATION& pi : api) ResumeThread(pi.hThread);
        return true;
    }
    ~Twins() {
        for (PROCESS_INFORMATION& pi : api) {
            if (!pi.hProcess) continue;
            TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, 5000);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
};

} // namespace

// Two copies started at the same moment: one runs, the other hands over to it
// and ends with code 0, every time.
TEST(Startup, TwoCopiesStartedTogetherLeaveOneWindow) {
    GameRun run("twin_start");
    for (int nRound = 0; nRound < 20; nRound++) {
        SCOPED_TRACE(testing::Message() << "round " << nRound);
        Twins twins;
        ASSERT_TRUE(twins.Start(run));
        HANDLE ahProcess[2] = {twins.api[0].hProcess, twins.api[1].hProcess};
        DWORD dwEnded = WaitForMultipleObjects(2, ahProcess, FALSE, 15000) - WAIT_OBJECT_0;
        ASSERT_LT(dwEnded, 2u) << "neither copy ended";
        DWORD dwCode = STILL_ACTIVE;
        GetExitCodeProcess(ahProcess[dwEnded], &dwCode);
        EXPECT_EQ(dwCode, 0u);

        const PROCESS_INFORMATION& piKept = twins.api[1 - dwEnded];
        EXPECT_TRUE(WaitForWindow("kvoQuarrwClass", piKept.dwProcessId, 15000));
        EXPECT_EQ(WaitForSingleObject(piKept.hProcess, 0), (DWORD)WAIT_TIMEOUT);
        EXPECT_EQ(GameWindowCount(), 1);
        // The pair's end takes the kept copy with it before the next round.
    }
}

namespace {

// A window of the game's class on a thread that answers no message until it is
// let go, as the window of a copy that has hung; it starts minimized.
struct HungCopy {
    HANDLE hReady = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE hLetGo = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE hEnd = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE hThread = NULL;
    HWND hwnd = NULL;

    static DWORD WINAPI Run(void* pParam) {
        HungCopy* p = (HungCopy*)pParam;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "kvoQuarrwClass";
        RegisterClassA(&wc);
        p->hwnd = CreateWindowExA(0, "kvoQuarrwClass", "hung", WS_OVERLAPPEDWINDOW | WS_MINIMIZE, 0,
                                  0, 200, 150, NULL, NULL, wc.hInstance, NULL);
        ShowWindow(p->hwnd, SW_SHOWMINNOACTIVE);
        SetEvent(p->hReady);
        WaitForSingleObject(p->hLetGo, INFINITE); // hung: no message is looked at
        while (MsgWaitForMultipleObjects(1, &p->hEnd, FALSE, INFINITE, QS_ALLINPUT) ==
               WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        }
        DestroyWindow(p->hwnd);
        return 0;
    }
    bool Start() {
        hThread = CreateThread(NULL, 0, Run, this, 0, NULL);
        return hThread && WaitForSingleObject(hReady, 10000) == WAIT_OBJECT_0 && hwnd;
    }
    ~HungCopy() {
        SetEvent(hLetGo);
        SetEvent(hEnd);
        if (hThread) WaitForSingleObject(hThread, 10000);
        for (HANDLE h : {hThread, hReady, hLetGo, hEnd})
            if (h) CloseHandle(h);
    }
};

} // namespace

// A running copy that hangs does not hang the next one: the hand-over asks
// that copy's window to show without waiting for it, and the new copy ends
// with code 0. The window comes up in its normal size once its copy answers.
TEST(Startup, ASecondCopyHandsOverToAHungFirstCopyWithoutWaiting) {
    GameRun run("hung_first");
    HungCopy hung;
    ASSERT_TRUE(hung.Start());
    ASSERT_TRUE(IsIconic(hung.hwnd));
    EXPECT_FALSE(run.Start(3000)) << "it made a window of its own";
    EXPECT_EQ(run.WaitExit(15000), 0u);
    SetEvent(hung.hLetGo);
    EXPECT_TRUE(
        WaitUntil([&] { return !IsIconic(hung.hwnd) && IsWindowVisible(hung.hwnd); }, 10000));
}
