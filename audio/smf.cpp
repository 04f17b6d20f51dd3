// The Standard MIDI File reader: two walks over every track, the first to
// check and count, the second to fill the one buffer; then the events are put
// in time order and given their frames through the tempo map.
#include "audio/smf.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

enum { MAX_TICK = 0x7FFFFFFF };

uint32_t Be32(const uint8_t* p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

uint32_t Le32(const uint8_t* p) {
    return (uint32_t)p[3] << 24 | (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
}

// A variable-length quantity of at most four bytes; 0 when it runs past nEnd.
int ReadVlq(const uint8_t* p, size_t nEnd, size_t* pAt, uint32_t* pValue) {
    uint32_t n = 0;
    for (int i = 0; i < 4; i++) {
        if (*pAt >= nEnd) return 0;
        uint8_t b = p[(*pAt)++];
        n = n << 7 | (b & 0x7F);
        if (!(b & 0x80)) {
            *pValue = n;
            return 1;
        }
    }
    return 0;
}

// Walks one track's events in p[0, n). Channel messages and tempo changes go
// to aOut (when not null) from *pnCount on; *pnCount counts them either way.
// *pnEndTick is the track's end. 0 for a broken event.
// Counts one more event and, with a buffer, writes it; 0 when the table is full.
int EventAdd(SmfEvent* aOut, int* pnCount, uint64_t nTick, uint8_t nStatus, uint8_t nData1,
             uint8_t nData2, uint8_t nData3) {
    if (*pnCount >= SMF_MAX_EVENTS) return 0;
    if (aOut) aOut[*pnCount] = {(uint32_t)nTick, 0, nStatus, nData1, nData2, nData3};
    (*pnCount)++;
    return 1;
}

int TrackWalk(const uint8_t* p, size_t n, SmfEvent* aOut, int* pnCount, uint32_t* pnEndTick) {
    size_t nAt = 0;
    uint64_t nTick = 0;
    uint8_t nRunning = 0;
    while (nAt < n) {
        uint32_t nDelta;
        if (!ReadVlq(p, n, &nAt, &nDelta)) return 0;
        nTick += nDelta;
        if (nTick > MAX_TICK || nAt >= n) return 0;
        uint8_t nStatus = p[nAt];
        if (nStatus & 0x80)
            nAt++;
        else if (nRunning)
            nStatus = nRunning; // running status: the byte read is data
        else
            return 0;
        if (nStatus < 0xF0) {
            nRunning = nStatus;
            int nData = (nStatus & 0xE0) == 0xC0 ? 1 : 2; // program, channel pressure
            if (n - nAt < (size_t)nData) return 0;
            if ((p[nAt] & 0x80) || (nData == 2 && (p[nAt + 1] & 0x80))) return 0;
            if (!EventAdd(aOut, pnCount, nTick, nStatus, p[nAt], nData == 2 ? p[nAt + 1] : 0, 0))
                return 0;
            nAt += (size_t)nData;
            continue;
        }
        uint8_t nMeta = 0;
        if (nStatus == 0xFF) {
            if (nAt >= n || (p[nAt] & 0x80)) return 0;
            nMeta = p[nAt++];
        } else if (nStatus != 0xF0 && nStatus != 0xF7) {
            return 0; // no other system message belongs in a file
        }
        uint32_t nLen;
        if (!ReadVlq(p, n, &nAt, &nLen) || nLen > n - nAt) return 0;
        if (nStatus == 0xFF && nMeta == 0x2F) {
            *pnEndTick = (uint32_t)nTick;
            return 1; // whatever follows the end of the track is not read
        }
        if (nStatus == 0xFF && nMeta == 0x51 && nLen == 3 &&
            !EventAdd(aOut, pnCount, nTick, SMF_STATUS_TEMPO, p[nAt], p[nAt + 1], p[nAt + 2]))
            return 0;
        nAt += nLen;
    }
    *pnEndTick = (uint32_t)nTick; // no end-of-track event: the last event's time
    return 1;
}

// Walks every track the header counts; chunks of other kinds are skipped.
int TracksWalk(const uint8_t* p, size_t n, int nTracks, SmfEvent* aOut, int* pnCount,
               uint32_t* pnEndTick) {
    uint32_t nHead = Be32(p + 4);
    size_t nAt = 8 + (size_t)nHead;
    *pnCount = 0;
    *pnEndTick = 0;
    for (int nFound = 0; nFound < nTracks;) {
        if (n - nAt < 8) return 0;
        uint32_t nLen = Be32(p + nAt + 4);
        if (nLen > n - nAt - 8) return 0;
        if (memcmp(p + nAt, "MTrk", 4) == 0) {
            uint32_t nEnd = 0;
            if (!TrackWalk(p + nAt + 8, nLen, aOut, pnCount, &nEnd)) return 0;
            *pnEndTick = std::max(*pnEndTick, nEnd);
            nFound++;
        }
        nAt += 8 + (size_t)nLen;
    }
    return 1;
}

int HeaderRead(const uint8_t* p, size_t n, int* pnFormat, int* pnTracks, int* pnDivision) {
    if (n < 14 || memcmp(p, "MThd", 4) != 0) return 0;
    uint32_t nHead = Be32(p + 4);
    if (nHead < 6 || nHead > n - 8) return 0;
    *pnFormat = p[8] << 8 | p[9];
    *pnTracks = p[10] << 8 | p[11];
    *pnDivision = p[12] << 8 | p[13];
    if (*pnFormat > 2 || *pnTracks == 0) return 0;
    if (*pnDivision & 0x8000) {
        int nFps = 256 - (*pnDivision >> 8);
        if ((nFps != 24 && nFps != 25 && nFps != 29 && nFps != 30) || !(*pnDivision & 0xFF))
            return 0;
    } else if (*pnDivision == 0) {
        return 0;
    }
    return 1;
}

// The frames of a tick through the tempo in force since nTickBase (which
// began at nUsBase microseconds). SMPTE time ignores the tempo.
struct TempoState {
    uint32_t nTickBase;
    double dUsBase;
    double dUsPerTick;
};

double TickUs(const TempoState& t, uint32_t nTick) {
    return t.dUsBase + (double)(nTick - t.nTickBase) * t.dUsPerTick;
}

int UsFrame(double dUs, uint32_t* pnFrame) {
    double d = dUs * ((double)SMF_RATE / 1e6) + 0.5;
    if (d >= 4294967295.0) return 0;
    *pnFrame = (uint32_t)d;
    return 1;
}

} // namespace

int SmfFind(const uint8_t* pFile, size_t nFile, const uint8_t** ppSmf, size_t* pnSmf) {
    if (nFile >= 4 && memcmp(pFile, "MThd", 4) == 0) {
        *ppSmf = pFile;
        *pnSmf = nFile;
        return 1;
    }
    if (nFile < 12 || memcmp(pFile, "RIFF", 4) != 0 || memcmp(pFile + 8, "RMID", 4) != 0) return 0;
    uint64_t nEnd = 8 + (uint64_t)Le32(pFile + 4);
    if (nEnd > nFile) return -1;
    for (uint64_t nAt = 12; nAt + 8 <= nEnd;) {
        uint64_t nLen = Le32(pFile + nAt + 4);
        if (nLen > nEnd - nAt - 8) return -1;
        if (memcmp(pFile + nAt, "data", 4) == 0) {
            *ppSmf = pFile + nAt + 8;
            *pnSmf = (size_t)nLen;
            return 1;
        }
        nAt += 8 + nLen + (nLen & 1);
    }
    return -1;
}

int SmfRead(const uint8_t* p, size_t n, SmfSong* pSong) {
    if (pSong) memset(pSong, 0, sizeof *pSong);
    int nFormat, nTracks, nDivision;
    if (!HeaderRead(p, n, &nFormat, &nTracks, &nDivision)) return 0;
    int nCount;
    uint32_t nEndTick;
    if (!TracksWalk(p, n, nTracks, nullptr, &nCount, &nEndTick)) return 0;
    if (!pSong) return 1;

    SmfEvent* aEvent = nullptr;
    if (nCount > 0) {
        aEvent = (SmfEvent*)malloc(sizeof(SmfEvent) * (size_t)nCount);
        if (!aEvent) return 0;
        TracksWalk(p, n, nTracks, aEvent, &nCount, &nEndTick);
        // One list in time order; at one tick the earlier track first.
        std::stable_sort(aEvent, aEvent + nCount,
                         [](const SmfEvent& a, const SmfEvent& b) { return a.nTick < b.nTick; });
    }

    TempoState t = {0, 0.0, 0.0};
    int bSmpte = (nDivision & 0x8000) != 0;
    if (bSmpte)
        t.dUsPerTick = 1e6 / ((256 - (nDivision >> 8)) * (double)(nDivision & 0xFF));
    else
        t.dUsPerTick = 500000.0 / nDivision; // 120 beats a minute until told
    for (int i = 0; i < nCount; i++) {
        SmfEvent* e = &aEvent[i];
        double dUs = TickUs(t, e->nTick);
        if (!UsFrame(dUs, &e->nFrame)) {
            free(aEvent);
            return 0;
        }
        if (e->nStatus == SMF_STATUS_TEMPO && !bSmpte) {
            uint32_t nUsPerQuarter = (uint32_t)e->nData1 << 16 | e->nData2 << 8 | e->nData3;
            t.nTickBase = e->nTick;
            t.dUsBase = dUs;
            t.dUsPerTick = std::max<uint32_t>(nUsPerQuarter, 1) / (double)nDivision;
        }
    }
    uint32_t nEndFrame;
    if (!UsFrame(TickUs(t, nEndTick), &nEndFrame)) {
        free(aEvent);
        return 0;
    }
    pSong->aEvent = aEvent;
    pSong->nEvents = nCount;
    pSong->nEndFrame = nEndFrame;
    pSong->nFormat = nFormat;
    pSong->nTracks = nTracks;
    pSong->nDivision = nDivision;
    return 1;
}

int SmfFileFits(const uint8_t* pFile, size_t nFile) {
    const uint8_t* p;
    size_t n;
    int nFound = SmfFind(pFile, nFile, &p, &n);
    if (nFound == 0) return 1;
    return nFound > 0 && SmfRead(p, n, nullptr);
}

void SmfFree(SmfSong* pSong) {
    free(pSong->aEvent);
    memset(pSong, 0, sizeof *pSong);
}
