// The entry point of both Win32 test programs. It makes sure that no thread
// is still starting up when the process ends: under Wine a process exit that
// overtakes a thread still being created can end in a segmentation fault
// after every test has passed.
//
// The test framework starts such a thread itself: the first time a thread
// needs a per-thread value (a SCOPED_TRACE, a skip, a failure) it starts a
// watcher that waits for that thread's end. A quick test whose only trace
// came last started it in the very moment the process exited. Here the main
// thread's watcher is started before the first test and waited for.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

namespace {

volatile LONG nThreadsAttached;

// Every new thread passes here once it is fully set up, before its own code
// runs.
void NTAPI ThreadEvent(PVOID, DWORD dwReason, PVOID) {
    if (dwReason == DLL_THREAD_ATTACH) InterlockedIncrement(&nThreadsAttached);
}

} // namespace

// A thread-local-storage callback of the exe, between the runtime's own.
extern "C" __attribute__((section(".CRT$XLQ"), used))
const PIMAGE_TLS_CALLBACK pfnQuarrionThreadEvent = ThreadEvent;

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);

    const LONG nBefore = nThreadsAttached;
    { SCOPED_TRACE("start-up"); } // the main thread's watcher starts here
    const DWORD dwStart = GetTickCount();
    while (nThreadsAttached == nBefore && GetTickCount() - dwStart < 10000) Sleep(1);

    int nResult = RUN_ALL_TESTS();

    // An effect still playing, or a sequencer still open, has a thread of its
    // own: stop them, which waits for those threads to finish.
    sndPlaySoundA(NULL, 0);
    mciSendStringA("close all", NULL, 0, NULL);
    return nResult;
}
