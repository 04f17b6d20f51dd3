#include "tests/win32/support/monitor_recorder.h"

#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "tests/win32/support/game_process.h"

namespace {

const int kBufferFrames = 882; // 20 ms
const int kBuffers = 100;      // two seconds of slack for a busy machine
const size_t kWindow = 441;    // 10 ms

} // namespace

MonitorRecorder::~MonitorRecorder() {
    Stop();
}

bool MonitorRecorder::Start() {
    // Only the tests' own server: never the machine's microphone.
    char szSocket[512] = "";
    if (!GetEnvironmentVariableA("QUARRION_TEST_AUDIO", szSocket, sizeof szSocket)) {
        sError = "no sound server of the tests (scripts/test starts one, see "
                 "build/pulse/server.log)";
        return false;
    }
    InitializeCriticalSection(&cs);
    bCs = true;
    hEvent = CreateEventA(NULL, FALSE, FALSE, NULL);
    WAVEFORMATEX wf = {WAVE_FORMAT_PCM, 2, kRate, kRate * 4, 4, 16, 0};
    MMRESULT r = waveInOpen(&hwi, WAVE_MAPPER, &wf, (DWORD_PTR)hEvent, 0, CALLBACK_EVENT);
    if (r != MMSYSERR_NOERROR) {
        sError = "waveInOpen failed (" + std::to_string(r) + "): the sound server at " + szSocket +
                 " is not running";
        hwi = NULL;
        return false;
    }
    hThread = CreateThread(NULL, 0, ThreadProc, this, 0, NULL);
    if (!hThread || !WaitFor(kRate / 10, 10000)) {
        sError = std::string("no sound came from the server at ") + szSocket;
        Stop();
        return false;
    }
    return true;
}

DWORD WINAPI MonitorRecorder::ThreadProc(void* p) {
    ((MonitorRecorder*)p)->Run();
    return 0;
}

void MonitorRecorder::Run() {
    std::vector<int16_t> aData((size_t)kBuffers * kBufferFrames * 2);
    std::vector<WAVEHDR> aHdr(kBuffers);
    for (int i = 0; i < kBuffers; i++) {
        aHdr[i] = WAVEHDR{};
        aHdr[i].lpData = (LPSTR)&aData[(size_t)i * kBufferFrames * 2];
        aHdr[i].dwBufferLength = kBufferFrames * 4;
        waveInPrepareHeader(hwi, &aHdr[i], sizeof(WAVEHDR));
        waveInAddBuffer(hwi, &aHdr[i], sizeof(WAVEHDR));
    }
    waveInStart(hwi);
    int nNext = 0;
    while (!bQuit) {
        WaitForSingleObject(hEvent, 50);
        // The buffers come back in the order they were given.
        while (!bQuit && (aHdr[nNext].dwFlags & WHDR_DONE)) {
            WAVEHDR& h = aHdr[nNext];
            DWORD dwNow = GetTickCount();
            const int16_t* p = (const int16_t*)h.lpData;
            size_t nFrames = h.dwBytesRecorded / 4;
            EnterCriticalSection(&cs);
            for (size_t i = 0; i < nFrames; i++)
                aMono.push_back(((float)p[2 * i] + (float)p[2 * i + 1]) / 65536.0f);
            aArrival.emplace_back(dwNow, aMono.size());
            LeaveCriticalSection(&cs);
            h.dwFlags &= ~WHDR_DONE;
            waveInAddBuffer(hwi, &h, sizeof(WAVEHDR));
            nNext = (nNext + 1) % kBuffers;
        }
    }
    waveInReset(hwi);
    for (WAVEHDR& h : aHdr) waveInUnprepareHeader(hwi, &h, sizeof(WAVEHDR));
}

void MonitorRecorder::Stop() {
    if (hThread) {
        bQuit = 1;
        SetEvent(hEvent);
        WaitForSingleObject(hThread, 5000);
        CloseHandle(hThread);
        hThread = NULL;
    }
    if (hwi) waveInClose(hwi);
    hwi = NULL;
    if (hEvent) CloseHandle(hEvent);
    hEvent = NULL;
    if (bCs) DeleteCriticalSection(&cs);
    bCs = false;
}

std::vector<float> MonitorRecorder::Mono() const {
    if (!bCs) return {};
    EnterCriticalSection(&cs);
    std::vector<float> a = aMono;
    LeaveCriticalSection(&cs);
    return a;
}

size_t MonitorRecorder::Frames() const {
    if (!bCs) return 0;
    EnterCriticalSection(&cs);
    size_t n = aMono.size();
    LeaveCriticalSection(&cs);
    return n;
}

bool MonitorRecorder::WaitFor(size_t nFrames, DWORD nTimeoutMs) const {
    return WaitUntil([&] { return Frames() >= nFrames; }, nTimeoutMs);
}

size_t MonitorRecorder::FrameAt(DWORD dwTick) const {
    if (!bCs) return 0;
    // Frame f was played no later than (arrival of a buffer holding it) - (the
    // frames after it in that buffer): the earliest such bound over all
    // buffers places frame 0, and a moment maps onto the frames from there.
    EnterCriticalSection(&cs);
    double dStart = 1e18;
    for (const auto& a : aArrival)
        dStart = std::min(dStart, (double)a.first - 1000.0 * (double)a.second / kRate);
    LeaveCriticalSection(&cs);
    if (dStart > 1e17) return 0;
    double dMs = (double)dwTick - dStart;
    return dMs <= 0 ? 0 : (size_t)(dMs * kRate / 1000.0);
}

double Rms(const std::vector<float>& a, size_t nFrom, size_t n) {
    if (nFrom >= a.size() || n == 0) return 0;
    n = std::min(n, a.size() - nFrom);
    double d = 0;
    for (size_t i = nFrom; i < nFrom + n; i++) d += (double)a[i] * a[i];
    return std::sqrt(d / (double)n);
}

size_t FirstLoud(const std::vector<float>& a, size_t nFrom, double dLevel, size_t nTo) {
    nTo = std::min(nTo, a.size());
    for (size_t i = nFrom; i + kWindow <= nTo; i += kWindow / 4)
        if (Rms(a, i, kWindow) > dLevel) return i;
    return SIZE_MAX;
}

size_t SilentFrom(const std::vector<float>& a, size_t nFrom, size_t nTo, double dLevel) {
    nTo = std::min(nTo, a.size());
    size_t nQuiet = nTo;
    while (nQuiet > nFrom && std::fabs(a[nQuiet - 1]) <= dLevel) nQuiet--;
    return nTo - nQuiet >= kWindow ? nQuiet : SIZE_MAX;
}

std::pair<double, size_t> BestMatch(const std::vector<float>& a, const std::vector<float>& ref) {
    auto Smooth = [](const std::vector<float>& x) {
        std::vector<float> y(x.size());
        for (size_t i = 0; i < x.size(); i++) {
            float s = 0;
            for (size_t k = 0; k < 4 && k <= i; k++) s += x[i - k];
            y[i] = s / 4;
        }
        return y;
    };
    std::vector<float> sa = Smooth(a), sr = Smooth(ref);
    if (sr.empty() || sa.size() < sr.size()) return {0.0, 0};
    double dRef = 0;
    for (float f : sr) dRef += (double)f * f;
    auto Ncc = [&](size_t nAt, size_t nStep) {
        double dDot = 0, dA = 0;
        for (size_t i = 0; i < sr.size(); i += nStep) {
            dDot += (double)sa[nAt + i] * sr[i];
            dA += (double)sa[nAt + i] * sa[nAt + i];
        }
        double dR = dRef / (double)nStep;
        return dA > 0 && dR > 0 ? dDot / std::sqrt(dA * dR) : 0.0;
    };
    // Every eighth offset on every eighth frame first, then every offset near
    // the best of those.
    size_t nLast = sa.size() - sr.size(), nBest = 0;
    double dBest = -2;
    for (size_t n = 0; n <= nLast; n += 8) {
        double d = Ncc(n, 8);
        if (d > dBest) dBest = d, nBest = n;
    }
    size_t nLo = nBest > 16 ? nBest - 16 : 0, nHi = std::min(nLast, nBest + 16);
    dBest = -2;
    for (size_t n = nLo; n <= nHi; n++) {
        double d = Ncc(n, 1);
        if (d > dBest) dBest = d, nBest = n;
    }
    // Then piece by piece (100 ms), each aligned within 40 ms of the piece
    // before: a stall of the system's playback on a busy machine shifts what
    // follows it, which says nothing about what was played.
    const size_t nPiece = 4410, nReach = 1764;
    double dDot = 0, dA = 0, dR = 0;
    size_t nAt = nBest;
    for (size_t nFrom = 0; nFrom < sr.size(); nFrom += nPiece) {
        size_t nLen = std::min(nPiece, sr.size() - nFrom);
        double dPieceBest = -2, dPieceDot = 0, dPieceA = 0, dPieceR = 0;
        size_t nPieceAt = nAt;
        for (size_t n = nAt > nReach ? nAt - nReach : 0; n <= nAt + nReach; n++) {
            if (n + nFrom + nLen > sa.size()) break;
            double d = 0, a2 = 0, r2 = 0;
            for (size_t i = nFrom; i < nFrom + nLen; i++) {
                d += (double)sa[n + i] * sr[i];
                a2 += (double)sa[n + i] * sa[n + i];
                r2 += (double)sr[i] * sr[i];
            }
            double dNcc = a2 > 0 && r2 > 0 ? d / std::sqrt(a2 * r2) : 0;
            if (dNcc > dPieceBest) {
                dPieceBest = dNcc, nPieceAt = n;
                dPieceDot = d, dPieceA = a2, dPieceR = r2;
            }
        }
        dDot += dPieceDot, dA += dPieceA, dR += dPieceR;
        nAt = nPieceAt;
    }
    double dPieces = dA > 0 && dR > 0 ? dDot / std::sqrt(dA * dR) : 0;
    return {std::max(dBest, dPieces), nBest};
}

double ToneLevel(const std::vector<float>& a, size_t nFrom, size_t n, double dHz) {
    if (nFrom >= a.size()) return 0;
    n = std::min(n, a.size() - nFrom);
    double dCoeff = 2 * std::cos(2 * 3.14159265358979 * dHz / MonitorRecorder::kRate), s1 = 0,
           s2 = 0;
    for (size_t i = nFrom; i < nFrom + n; i++) {
        double s0 = a[i] + dCoeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    double dPower = s1 * s1 + s2 * s2 - dCoeff * s1 * s2;
    return n ? std::sqrt(std::max(dPower, 0.0)) / (double)n : 0;
}

size_t LongestFullScaleRun(const std::vector<float>& a, size_t nFrom, size_t nTo) {
    size_t nLongest = 0, nRun = 0;
    for (size_t i = nFrom; i < std::min(nTo, a.size()); i++) {
        nRun = std::fabs(a[i]) >= 0.99f ? nRun + 1 : 0;
        nLongest = std::max(nLongest, nRun);
    }
    return nLongest;
}

namespace {

const size_t kBlock = MonitorRecorder::kRate / 100;
const float kMatchRms = 0.002f; // the difference allowed: rounding, far below music

// Does a[nAt, +kBlock) equal ref at a's frame minus nOffset? Gives up as soon
// as the difference is past the limit, so a search over many offsets is quick.
bool BlockMatches(const std::vector<float>& a, const std::vector<float>& ref, size_t nAt,
                  long nOffset) {
    long nRef = (long)nAt - nOffset;
    if (nRef < 0 || (size_t)nRef + kBlock > ref.size() || nAt + kBlock > a.size()) return false;
    float dLimit = kMatchRms * kMatchRms * (float)kBlock, d = 0;
    for (size_t i = 0; i < kBlock; i++) {
        float e = a[nAt + i] - ref[(size_t)nRef + i];
        if ((d += e * e) > dLimit) return false;
    }
    return true;
}

} // namespace

std::vector<Stretch> FollowReference(const std::vector<float>& a, const std::vector<float>& ref,
                                     size_t nFrom, size_t nTo, size_t nFirstSearch) {
    std::vector<Stretch> aStretch;
    nTo = std::min(nTo, a.size());
    for (size_t nAt = FirstLoud(a, nFrom, 0.01, nTo); nAt != SIZE_MAX && nAt + kBlock <= nTo;
         nAt += kBlock) {
        bool bFirst = aStretch.empty();
        long nLast = bFirst ? (long)nAt : aStretch.back().nOffset, nRef = (long)nAt - nLast;
        // The same offset, or quiet in both (which says nothing).
        if (!bFirst &&
            (BlockMatches(a, ref, nAt, nLast) || (Rms(a, nAt, kBlock) < 0.005 && nRef >= 0 &&
                                                  Rms(ref, (size_t)nRef, kBlock) < 0.005))) {
            aStretch.back().nBlocks++;
            continue;
        }
        // The first block from ref's start on; later ones nearest first, so
        // a small slip is found before a far look-alike.
        long nTries = bFirst ? (long)nFirstSearch : 2 * MonitorRecorder::kRate;
        for (long d = 0; d <= nTries; d++) {
            long nOffset = bFirst ? nLast - d : nLast + (d % 2 ? -(d + 1) / 2 : d / 2);
            if (BlockMatches(a, ref, nAt, nOffset)) {
                aStretch.push_back({nAt, nOffset, 1});
                break;
            }
        }
    }
    return aStretch;
}
