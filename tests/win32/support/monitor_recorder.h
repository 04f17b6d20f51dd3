// Listens to what the game plays. scripts/test gives the tests a PulseAudio
// server of their own whose only output is a null sink and whose default
// source is that sink's monitor; through Wine's waveIn this records exactly
// what reaches the output, 44,100 frames a second, kept as one mono track
// (left and right averaged, -1..1).
//
//   MonitorRecorder rec;
//   ASSERT_TRUE(rec.Start()) << rec.Error();
//   DWORD t = GetTickCount(); Key(hwnd, 'M');
//   ASSERT_TRUE(rec.WaitFor(rec.FrameAt(t) + 44100));     // a second after
//   size_t n = FirstLoud(rec.Mono(), rec.FrameAt(t));
//
// A thread of its own takes the buffers as they fill, so a busy test loses
// nothing. FrameAt maps a tick count onto the recording from the buffers'
// arrival times: each buffer arrives after its last frame was played, so the
// frame it gives for a moment is never later than the frame then playing,
// and a delay measured from it is never shorter than the real one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class MonitorRecorder {
  public:
    static constexpr int kRate = 44100;
    MonitorRecorder() = default;
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // Starts recording; false, with Error() saying why, when the tests' sound
    // server is not there or gives no data within ten seconds.
    bool Start();
    void Stop();
    const std::string& Error() const { return sError; }

    // The frames recorded so far (a copy, safe while recording goes on).
    std::vector<float> Mono() const;
    size_t Frames() const;
    // Waits, pumping messages, until nFrames are recorded; false on timeout
    // (the server stopped giving data).
    bool WaitFor(size_t nFrames, DWORD nTimeoutMs = 10000) const;
    // The frame that was playing at tick dwTick (see above).
    size_t FrameAt(DWORD dwTick) const;

  private:
    static DWORD WINAPI ThreadProc(void* p);
    void Run();

    std::string sError;
    HWAVEIN hwi = NULL;
    HANDLE hEvent = NULL, hThread = NULL;
    volatile LONG bQuit = 0;
    mutable CRITICAL_SECTION cs;
    bool bCs = false;
    std::vector<float> aMono;
    // Per buffer: the tick it arrived and the frames recorded then.
    std::vector<std::pair<DWORD, size_t>> aArrival;
};

// --- Reading a recording ---------------------------------------------------------

// Root mean square of a[nFrom, nFrom + n).
double Rms(const std::vector<float>& a, size_t nFrom, size_t n);
// The first frame from nFrom on whose 10 ms window has an RMS above dLevel;
// SIZE_MAX when there is none before nTo.
size_t FirstLoud(const std::vector<float>& a, size_t nFrom, double dLevel = 0.01,
                 size_t nTo = SIZE_MAX);
// The first frame from nFrom on after which nothing up to nTo is above
// dLevel (no sample larger): where silence began. SIZE_MAX when the last
// 10 ms before nTo are not silent.
size_t SilentFrom(const std::vector<float>& a, size_t nFrom, size_t nTo, double dLevel = 0.003);
// The normalised cross-correlation of ref with a at the offset (searched
// over the whole of a) where they match best, both smoothed over four frames
// first (a resampler's images above 11 kHz count for nothing): the best
// value and its offset. Where the pieces of 100 ms, each aligned within 40 ms
// of the one before, match better (a stall of the playback on a busy
// machine), that value counts.
std::pair<double, size_t> BestMatch(const std::vector<float>& a, const std::vector<float>& ref);
// The strength of frequency dHz in a[nFrom, nFrom + n) (Goertzel).
double ToneLevel(const std::vector<float>& a, size_t nFrom, size_t n, double dHz);
// The longest run of samples at full scale (|s| >= 0.99) in a[nFrom, nTo):
// a click, which none of the game's sounds reach.
size_t LongestFullScaleRun(const std::vector<float>& a, size_t nFrom, size_t nTo);

// Follows a recording a against the same sound rendered here (ref), which it
// matches sample for sample at one offset (a's frame minus ref's) while
// nothing goes wrong, in 10 ms blocks from a's first loud frame after nFrom
// (looked up among ref's first nFirstSearch frames) to nTo. A block off the
// offset is looked up within a second either way and starts a new stretch:
// a later offset is a gap, an earlier one a skip. nBlocks counts a stretch's
// matching blocks.
struct Stretch {
    size_t nAt;
    long nOffset;
    size_t nBlocks;
};
std::vector<Stretch> FollowReference(const std::vector<float>& a, const std::vector<float>& ref,
                                     size_t nFrom, size_t nTo, size_t nFirstSearch);
