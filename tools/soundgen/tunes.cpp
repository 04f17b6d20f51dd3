#include "tunes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

#include "synth.h"

namespace tune {

namespace {

using snd::Rng;

// --- Harmony -----------------------------------------------------------------

enum Quality { kMaj, kMin, kDom7, kMaj7, kMin7, kSus4, kMaj6 };
enum Mode { kMajor, kMinor };

struct Chord {
    int nRoot; // semitones above the key note
    Quality q;
    int nBeats = 0; // 0: a whole bar
};

std::vector<int> QualityIntervals(Quality q) {
    switch (q) {
    case kMin: return {0, 3, 7};
    case kDom7: return {0, 4, 7, 10};
    case kMaj7: return {0, 4, 7, 11};
    case kMin7: return {0, 3, 7, 10};
    case kSus4: return {0, 5, 7};
    case kMaj6: return {0, 4, 7, 9};
    default: return {0, 4, 7};
    }
}

int Pc(int key) {
    return ((key % 12) + 12) % 12;
}

bool Has(const std::vector<int>& pcs, int key) {
    return std::find(pcs.begin(), pcs.end(), Pc(key)) != pcs.end();
}

// --- Tune description -------------------------------------------------------------

enum CompStyle { kCompPop, kCompBossa, kCompSwing, kCompArp };
enum BassStyle { kBassPop, kBassBossa, kBassWalk, kBassHalf, kBassWaltz };
enum DrumStyle { kDrumPop, kDrumBossa, kDrumSwing, kDrumHalf, kDrumWaltz };

struct Section {
    char cName;
    std::vector<Chord> aChord; // eight bars
};

struct TuneDef {
    const char* szFile;
    const char* szTitle;
    double bpm;
    int nBeats; // per bar: 4 or 3
    int nKey;   // MIDI note of the key
    Mode mode;
    bool bSwing;
    int nHome, nLow, nHigh; // melody: resting note and range
    int nProgMelody, nProgHarmony, nProgComp, nProgPad, nProgBass;
    CompStyle comp;
    BassStyle bass;
    DrumStyle drums;
    std::vector<Section> aSection;
    const char* szForm; // I intro, O outro, other letters are sections
    uint32_t nSeed;
    int nExpression = 127; // every part's, so the tunes sit at one loudness
};

enum Part { kMelody, kHarmony, kComp, kPad, kBass, kDrums, kParts };
const int aChannel[kParts] = {0, 1, 2, 3, 4, 9};
const char* const aPartName[kParts] = {"Melody", "Harmony", "Chords", "Pad", "Bass", "Drums"};
// The pad sits under the melody but is heard; the bass is no louder than the melody.
const int aVolume[kParts] = {108, 84, 80, 94, 82, 92};
const int aPanCtl[kParts] = {64, 40, 88, 52, 64, 64};
const int aReverb[kParts] = {56, 56, 44, 72, 20, 40};

constexpr uint32_t kQuarter = midi::kDivision;
constexpr uint32_t kEighth = kQuarter / 2;

// --- The composer ------------------------------------------------------------------

struct Span {
    uint32_t nTick, nLen;
    Chord chord;
};

struct MelNote {
    uint32_t nTick, nLen; // from the start of the section
    int nKey;
    bool bStrong;
};

class Composer {
  public:
    explicit Composer(const TuneDef& def)
        : d(def), rng(def.nSeed), nBar(uint32_t(def.nBeats) * kQuarter), aTrack(kParts + 1) {}
    std::vector<uint8_t> Compose();

  private:
    const TuneDef& d;
    Rng rng;
    uint32_t nBar;
    std::vector<midi::Track> aTrack; // [0] the conductor, then one per part
    std::vector<Span> aSpan;         // the chords of the section being written
    std::map<char, std::vector<MelNote>> aMelody;

    midi::Track& T(Part p) { return aTrack[p + 1]; }
    std::vector<int> ScalePcs() const;
    std::vector<int> ChordPcs(const Chord& c) const;
    std::vector<int> StrongPcs(const Chord& c) const;
    std::vector<int> WeakPcs(const Chord& c) const;
    const Chord& ChordAt(uint32_t rel) const;
    int Snap(int target, const std::vector<int>& pcs, int prefer) const;
    int SnapBeyond(int from, const std::vector<int>& pcs, int dir) const;
    int StepScale(int key, int steps) const;
    std::vector<int> Voicing(const Chord& c, int center) const;
    uint32_t Swing(uint32_t tick) const;
    // Chords sit below the tune.
    int CompCenter() const { return std::min(62, d.nLow - 5); }
    void Note(Part p, uint32_t tick, uint32_t len, int key, int vel);
    int Humanize(int vel, int spread) { return vel + rng.Below(2 * spread + 1) - spread; }

    void LayOut(const std::vector<Chord>& chords);
    std::vector<MelNote> MakeMelody(const Section& sec);
    void WriteMelody(Part p, uint32_t at, const std::vector<MelNote>& mel, int velocity);
    void WriteHarmonyLine(uint32_t at, const std::vector<MelNote>& mel);
    void WriteComp(uint32_t at, int bars);
    void WritePad(uint32_t at);
    void WriteBass(uint32_t at);
    void WriteDrums(uint32_t at, int bars, bool bIntro, bool bLight, bool bFill, bool bCrash);
    void WriteEnding(uint32_t at);
};

std::vector<int> Composer::ScalePcs() const {
    std::vector<int> steps = d.mode == kMajor ? std::vector<int>{0, 2, 4, 5, 7, 9, 11}
                                              : std::vector<int>{0, 2, 3, 5, 7, 8, 10};
    for (int& s : steps) s = Pc(d.nKey + s);
    return steps;
}

std::vector<int> Composer::ChordPcs(const Chord& c) const {
    std::vector<int> pcs;
    for (int i : QualityIntervals(c.q)) pcs.push_back(Pc(d.nKey + c.nRoot + i));
    return pcs;
}

// Chord tones a melody may rest on: over a major seventh chord not the root,
// which would rub against the seventh below it.
std::vector<int> Composer::StrongPcs(const Chord& c) const {
    std::vector<int> pcs = ChordPcs(c);
    if (c.q == kMaj7) pcs.erase(pcs.begin());
    return pcs;
}

// Notes a passing melody may use over the chord: its own tones and the scale
// tones that do not rub a semitone against them.
std::vector<int> Composer::WeakPcs(const Chord& c) const {
    std::vector<int> chord = ChordPcs(c), scale = ScalePcs(), out = chord;
    for (int s : scale) {
        bool rub = false;
        for (int t : chord) {
            if (Pc(s - t) == 1) rub = true;                   // a minor ninth above
            if (Pc(t - s) == 1 && !Has(scale, t)) rub = true; // beside a chromatic tone
        }
        if (!rub && !Has(out, s)) out.push_back(s);
    }
    return out;
}

const Chord& Composer::ChordAt(uint32_t rel) const {
    for (const Span& s : aSpan)
        if (rel >= s.nTick && rel < s.nTick + s.nLen) return s.chord;
    return aSpan.back().chord;
}

// The nearest note to target whose pitch class is in pcs; ties go the
// preferred way (+1 up, -1 down).
int Composer::Snap(int target, const std::vector<int>& pcs, int prefer) const {
    for (int dist = 0; dist < 12; ++dist) {
        int first = prefer >= 0 ? target + dist : target - dist;
        int second = prefer >= 0 ? target - dist : target + dist;
        if (Has(pcs, first)) return first;
        if (Has(pcs, second)) return second;
    }
    return target;
}

// The first note beyond from, in direction dir, whose pitch class is in pcs.
int Composer::SnapBeyond(int from, const std::vector<int>& pcs, int dir) const {
    for (int dist = 1; dist <= 12; ++dist)
        if (Has(pcs, from + dir * dist)) return from + dir * dist;
    return from;
}

int Composer::StepScale(int key, int steps) const {
    std::vector<int> scale = ScalePcs();
    key = Snap(key, scale, steps >= 0 ? -1 : 1);
    int dir = steps >= 0 ? 1 : -1;
    for (int n = std::abs(steps); n > 0; --n) {
        key += dir;
        while (!Has(scale, key)) key += dir;
    }
    return key;
}

// Close voicing: every chord tone in the octave around center, low to high.
std::vector<int> Composer::Voicing(const Chord& c, int center) const {
    std::vector<int> keys;
    for (int pc : ChordPcs(c)) keys.push_back(center - 6 + Pc(pc - (center - 6)));
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Swung eighths: the off-beat eighth moves to the last third of the beat.
uint32_t Composer::Swing(uint32_t tick) const {
    if (!d.bSwing) return tick;
    uint32_t beat = tick / kQuarter * kQuarter, pos = tick % kQuarter;
    uint32_t swung = pos <= kEighth ? pos * 4 / 3 : 320 + (pos - kEighth) * 2 / 3;
    return beat + swung;
}

void Composer::Note(Part p, uint32_t tick, uint32_t len, int key, int vel) {
    uint32_t on = Swing(tick), off = Swing(tick + len);
    T(p).Note(on, off > on + 1 ? off - on - 1 : 1, aChannel[p], key, vel);
}

void Composer::LayOut(const std::vector<Chord>& chords) {
    aSpan.clear();
    uint32_t at = 0;
    for (const Chord& c : chords) {
        uint32_t len = c.nBeats ? uint32_t(c.nBeats) * kQuarter : nBar;
        aSpan.push_back({at, len, c});
        at += len;
    }
}

// --- Melody ------------------------------------------------------------------------

// One bar of rhythm in eighths; a negative length is a rest.
using Rhythm = std::vector<int>;

const std::vector<Rhythm>& Rhythms(int beats) {
    static const std::vector<Rhythm> four = {
        {2, 1, 1, 2, 2}, {3, 1, 2, 2}, {1, 1, 2, 1, 1, 2}, {2, 2, 3, 1},        {-2, 1, 1, 2, 2},
        {4, 2, 2},       {2, 2, 2, 2}, {3, 3, 2},          {-1, 1, 1, 1, 2, 2}, {2, 1, 1, 4}};
    static const std::vector<Rhythm> three = {{2, 2, 2},  {3, 1, 2},    {2, 1, 1, 2}, {4, 2},
                                              {-2, 2, 2}, {1, 1, 2, 2}, {2, 4}};
    return beats == 3 ? three : four;
}

const std::vector<Rhythm>& Cadences(int beats) {
    static const std::vector<Rhythm> four = {{2, 2, 4}, {3, 1, 4}, {2, 6}, {1, 1, 6}};
    static const std::vector<Rhythm> three = {{6}, {2, 4}, {1, 1, 4}};
    return beats == 3 ? three : four;
}

std::vector<MelNote> Composer::MakeMelody(const Section& sec) {
    const std::vector<Rhythm>& lib = Rhythms(d.nBeats);
    const std::vector<Rhythm>& cad = Cadences(d.nBeats);
    int n = int(lib.size());
    // Bar plan a b a c | a b d cadence: the motif comes back three times.
    // The motif itself moves: it has three notes or more.
    int a = rng.Below(n);
    while (std::count_if(lib[a].begin(), lib[a].end(), [](int v) { return v > 0; }) < 3)
        a = (a + 1) % n;
    int b = (a + 1 + rng.Below(n - 1)) % n;
    int c = rng.Below(n), e = rng.Below(n);
    const int plan[8] = {a, b, a, c, a, b, e, -1};
    // The phrase climbs and comes home; later sections sit a little higher.
    int lift = sec.cName == 'A' ? 0 : 2;
    const int arc[8] = {0, 2, 4, 5, 1, 3, 2, 0};
    std::map<int, std::vector<int>> contour;
    const int steps[] = {1, 1, -1, -1, 2, -2, 0, 1, -1, 3, -2, -3};
    std::vector<MelNote> out;
    int strongEvery = d.nBeats == 3 ? 6 : 4;
    int prev = d.nHome, repeats = 0;
    for (int bar = 0; bar < 8; ++bar) {
        const Rhythm& r = plan[bar] >= 0 ? lib[plan[bar]] : cad[rng.Below(int(cad.size()))];
        std::vector<int>& shape = contour[plan[bar]];
        while (shape.size() < r.size()) shape.push_back(steps[rng.Below(12)]);
        // Each bar starts between where the tune is and where the arc wants it.
        int anchor = (2 * StepScale(d.nHome, arc[bar] + lift) + prev) / 3;
        int slot = 0, j = 0, last = -1;
        for (int k = 0; k < int(r.size()); ++k)
            if (r[k] > 0) last = k;
        for (int k = 0; k < int(r.size()); ++k) {
            int len = std::abs(r[k]);
            if (r[k] < 0) {
                slot += len;
                continue;
            }
            uint32_t tick = uint32_t(bar) * nBar + uint32_t(slot) * kEighth;
            const Chord& chord = ChordAt(tick);
            bool strong = slot % strongEvery == 0 || len >= 3;
            bool end = bar == 7 && k == last;
            int step = j == 0 ? 0 : shape[k];
            int target = j == 0 ? anchor : StepScale(prev, step);
            if (target > d.nHigh || target < d.nLow) {
                // Turn back at the edge of the range.
                step = -step;
                target = StepScale(prev, step);
            }
            // The phrase ends on the chord's root near home; long and
            // on-beat notes are chord tones; the rest may pass through the scale.
            std::vector<int> pcs = end      ? std::vector<int>{Pc(d.nKey + chord.nRoot)}
                                   : strong ? StrongPcs(chord)
                                            : WeakPcs(chord);
            int dir = step > 0 ? 1 : step < 0 ? -1 : target >= prev ? 1 : -1;
            int key = Snap(end ? d.nHome : target, pcs, dir);
            if (!end && step != 0 && key == prev) key = SnapBeyond(prev, pcs, dir);
            // A third strike of one note in a row becomes a move away.
            if (!end && key == prev && repeats >= 1)
                key = SnapBeyond(prev, pcs, prev + 2 > d.nHigh ? -1 : 1);
            while (key > d.nHigh) key -= 12;
            while (key < d.nLow) key += 12;
            // No leaps wider than a fifth inside a bar, or a sixth into one.
            int maxLeap = j == 0 ? 9 : 7;
            if (std::abs(key - prev) > maxLeap) {
                int other = key > prev ? key - 12 : key + 12;
                if (other >= d.nLow && other <= d.nHigh &&
                    std::abs(other - prev) < std::abs(key - prev))
                    key = other;
            }
            if (!end && std::abs(key - prev) > maxLeap)
                key = SnapBeyond(prev, pcs, key > prev ? 1 : -1);
            repeats = key == prev ? repeats + 1 : 0;
            if (end) strong = true;
            out.push_back({tick, uint32_t(len) * kEighth, key, strong});
            prev = key;
            ++j;
            slot += len;
        }
    }
    return out;
}

void Composer::WriteMelody(Part p, uint32_t at, const std::vector<MelNote>& mel, int velocity) {
    for (const MelNote& m : mel) {
        uint32_t len = m.nLen * 9 / 10;
        Note(p, at + m.nTick, len, m.nKey, Humanize(velocity + (m.bStrong ? 8 : 0), 4));
    }
}

// A second voice a third (or so) below the tune, on chord tones where the
// tune is on one.
void Composer::WriteHarmonyLine(uint32_t at, const std::vector<MelNote>& mel) {
    for (const MelNote& m : mel) {
        const Chord& chord = ChordAt(m.nTick);
        int h = StepScale(m.nKey, -2);
        if (m.bStrong && !Has(ChordPcs(chord), h)) h = Snap(m.nKey - 4, ChordPcs(chord), -1);
        if (!m.bStrong && !Has(WeakPcs(chord), h)) h = Snap(h, WeakPcs(chord), -1);
        if (m.nKey - h < 3) h = Snap(m.nKey - 3, ChordPcs(chord), -1);
        Note(kHarmony, at + m.nTick, m.nLen * 9 / 10, h, Humanize(72, 4));
    }
}

// --- Accompaniment -----------------------------------------------------------------

void Composer::WriteComp(uint32_t at, int bars) {
    struct Hit {
        int nSlot, nLen;
    };
    for (int bar = 0; bar < bars; ++bar) {
        uint32_t base = uint32_t(bar) * nBar;
        if (d.comp == kCompArp) {
            // Rolling eighths over the chord, up and back down.
            static const int up4[8] = {0, 1, 2, 3, 4, 3, 2, 1}, up3[6] = {0, 1, 2, 3, 2, 1};
            int slots = 2 * d.nBeats;
            for (int s = 0; s < slots; ++s) {
                std::vector<int> v = Voicing(ChordAt(base + uint32_t(s) * kEighth), 60);
                v.push_back(v[0] + 12);
                v.push_back(v[1] + 12);
                int idx = d.nBeats == 3 ? up3[s] : up4[s];
                // Each note rings into the next, but never across the bar line.
                uint32_t len = s == slots - 1 ? kEighth : 2 * kEighth;
                Note(kComp, at + base + uint32_t(s) * kEighth, len, v[idx],
                     Humanize(s == 0 ? 70 : 58, 4));
            }
            continue;
        }
        std::vector<Hit> hits;
        switch (d.comp) {
        case kCompBossa:
            hits = bar % 2 == 0 ? std::vector<Hit>{{0, 2}, {3, 2}, {6, 2}}
                                : std::vector<Hit>{{2, 2}, {5, 2}};
            break;
        case kCompSwing:
            hits =
                bar % 2 == 0 ? std::vector<Hit>{{0, 2}, {3, 1}} : std::vector<Hit>{{2, 1}, {5, 2}};
            break;
        default: hits = {{0, 3}, {3, 2}, {6, 2}}; break;
        }
        for (const Hit& h : hits) {
            uint32_t tick = base + uint32_t(h.nSlot) * kEighth;
            uint32_t len = uint32_t(h.nLen) * kEighth;
            // A hit stops where its chord gives way to the next one.
            for (const Span& sp : aSpan)
                if (tick >= sp.nTick && tick < sp.nTick + sp.nLen)
                    len = std::min(len, sp.nTick + sp.nLen - tick);
            int vel = Humanize(h.nSlot == 0 ? 72 : 62, 4);
            for (int key : Voicing(ChordAt(tick), CompCenter()))
                Note(kComp, at + tick, len - 20, key, vel);
        }
    }
}

void Composer::WritePad(uint32_t at) {
    for (const Span& s : aSpan)
        for (int key : Voicing(s.chord, 56)) Note(kPad, at + s.nTick, s.nLen - 10, key, 54);
}

void Composer::WriteBass(uint32_t at) {
    for (size_t i = 0; i < aSpan.size(); ++i) {
        const Span& s = aSpan[i];
        const Chord& next = i + 1 < aSpan.size() ? aSpan[i + 1].chord : aSpan[0].chord;
        int root = 35 + Pc(d.nKey + s.chord.nRoot - 35);
        int fifth = root + 7, octave = root + 12;
        int third = root + (s.chord.q == kMin || s.chord.q == kMin7 ? 3 : 4);
        int nextRoot = 35 + Pc(d.nKey + next.nRoot - 35);
        int beats = int(s.nLen / kQuarter);
        struct Hit {
            int nSlot, nLen, nKey;
        };
        std::vector<Hit> hits;
        switch (d.bass) {
        case kBassPop:
            hits = beats >= 4 ? std::vector<Hit>{{0, 3, root},
                                                 {3, 1, root},
                                                 {4, 2, fifth},
                                                 {6, 1, octave},
                                                 {7, 1, fifth}}
                              : std::vector<Hit>{{0, 3, root}, {3, 1, fifth}};
            break;
        case kBassBossa:
            hits = beats >= 4
                       ? std::vector<Hit>{{0, 3, root}, {3, 1, fifth}, {4, 3, fifth}, {7, 1, root}}
                       : std::vector<Hit>{{0, 3, root}, {3, 1, fifth}};
            break;
        case kBassWalk: {
            // Quarter notes: root, a chord tone, the fifth, then a step into
            // the next chord's root.
            int approach = nextRoot + (rng.Below(2) ? 1 : -1);
            if (beats >= 4)
                hits = {{0, 2, root},
                        {2, 2, rng.Below(2) ? third : octave},
                        {4, 2, fifth},
                        {6, 2, approach}};
            else
                hits = {{0, 2, root}, {2, 2, approach}};
            break;
        }
        case kBassHalf:
            hits = beats >= 4 ? std::vector<Hit>{{0, 5, root}, {6, 1, fifth}, {7, 1, octave}}
                              : std::vector<Hit>{{0, 4, root}};
            break;
        case kBassWaltz: {
            // One note a bar, root and low fifth by turns.
            int low = fifth - 12 >= 33 ? fifth - 12 : fifth;
            hits = {{0, 2, (s.nTick / nBar) % 2 ? low : root}};
            break;
        }
        }
        for (const Hit& h : hits) {
            int vel = Humanize(h.nSlot == 0 ? 98 : 86, 4);
            Note(kBass, at + s.nTick + uint32_t(h.nSlot) * kEighth, uint32_t(h.nLen) * kEighth - 24,
                 h.nKey, vel);
        }
    }
}

// Drum patterns in sixteenths: X accent, x hit, o ghost.
struct DrumLine {
    int nKey;
    const char* szSteps;
};

std::vector<DrumLine> DrumBar(DrumStyle style, bool bOddBar) {
    switch (style) {
    case kDrumBossa:
        return {{36, "X..x....X..x...."},
                {37, bOddBar ? "....x.....x....." : "x.....x.....x..."},
                {70, "xoxoxoxoxoxoxoxo"},
                {42, "..o...o...o...o."}};
    case kDrumSwing:
        return {{51, "x...x.x.x...x.x."},
                {44, "....x.......x..."},
                {36, "o.......o......."},
                {38, bOddBar ? "..........o....." : "......o.......o."}};
    case kDrumHalf:
        return {{36, "X.........x....."},
                {38, "........X......."},
                {42, "x.o.x.o.x.o.x.o."},
                {54, "....o.......o..."}};
    case kDrumWaltz: return {{36, "X..........."}, {42, "....x...x..."}, {70, "x.o.x.o.x.o."}};
    default: return {{36, "X.......X.x....."}, {38, "....X.......X..."}, {42, "x.o.x.o.x.o.x.o."}};
    }
}

void Composer::WriteDrums(uint32_t at, int bars, bool bIntro, bool bLight, bool bFill,
                          bool bCrash) {
    uint32_t sixteenth = kQuarter / 4;
    int steps = 4 * d.nBeats;
    for (int bar = 0; bar < bars; ++bar) {
        uint32_t base = at + uint32_t(bar) * nBar;
        bool fill = bFill && bar == bars - 1;
        for (const DrumLine& line : DrumBar(d.drums, bar % 2 == 1)) {
            bool backbeat = line.nKey == 38 || line.nKey == 36;
            if ((bIntro && bar < 2 && backbeat) || (bLight && backbeat)) continue;
            for (int s = 0; s < steps && line.szSteps[s]; ++s) {
                char c = line.szSteps[s];
                if (c == '.' || (fill && s >= steps / 2)) continue;
                int vel = c == 'X' ? 108 : c == 'x' ? 88 : 52;
                Note(kDrums, base + uint32_t(s) * sixteenth, sixteenth / 2, line.nKey,
                     Humanize(vel, 6));
            }
        }
        if (fill) {
            // Down the toms into the next section (soft snare for the gentle styles).
            bool toms = d.drums == kDrumPop || d.drums == kDrumHalf;
            static const int tom[4] = {50, 48, 47, 45};
            for (int s = steps / 2, k = 0; s < steps; s += 2, ++k) {
                int key = toms ? tom[k % 4] : 38;
                int vel = toms ? 92 : 46 + 8 * k;
                Note(kDrums, base + uint32_t(s) * sixteenth, sixteenth, key, Humanize(vel, 4));
                if (!toms || s % 4 == 2)
                    Note(kDrums, base + uint32_t(s + 1) * sixteenth, sixteenth / 2, 38,
                         Humanize(toms ? 70 : 40, 4));
            }
        }
        if (bCrash && bar == 0) Note(kDrums, base, kQuarter, 49, Humanize(96, 4));
    }
}

void Composer::WriteEnding(uint32_t at) {
    Chord home{0, d.mode == kMajor ? kMaj : kMin, 0};
    uint32_t len = 2 * nBar - kEighth;
    int top = Snap(d.nHome, {Pc(d.nKey)}, -1);
    T(kMelody).Note(at, len, aChannel[kMelody], top, 96);
    T(kHarmony).Note(at, len, aChannel[kHarmony], Snap(top - 4, ChordPcs(home), -1), 72);
    for (int key : Voicing(home, CompCenter())) T(kComp).Note(at, len, aChannel[kComp], key, 70);
    for (int key : Voicing(home, 56)) T(kPad).Note(at, len, aChannel[kPad], key, 58);
    int root = 35 + Pc(d.nKey - 35);
    T(kBass).Note(at, len, aChannel[kBass], root, 100);
    T(kDrums).Note(at, kQuarter, aChannel[kDrums], 49, 100);
    T(kDrums).Note(at, kEighth, aChannel[kDrums], 36, 104);
}

// --- The whole tune ----------------------------------------------------------------

int KeySignature(int key, Mode mode) {
    static const int sharps[12] = {0, -5, 2, -3, 4, -1, 6, 1, -4, 3, -2, 5};
    return sharps[Pc(key + (mode == kMinor ? 3 : 0))];
}

std::vector<uint8_t> Composer::Compose() {
    midi::Track& cond = aTrack[0];
    cond.Name(d.szTitle);
    std::string credit = "(c) the Quarrion team";
    cond.Meta(0, 0x02, std::vector<uint8_t>(credit.begin(), credit.end()));
    cond.TimeSignature(0, d.nBeats, 2);
    cond.KeySignature(0, KeySignature(d.nKey, d.mode), d.mode == kMinor);
    cond.Tempo(0, d.bpm);
    const int programs[kParts] = {d.nProgMelody, d.nProgHarmony, d.nProgComp,
                                  d.nProgPad,    d.nProgBass,    0};
    for (int p = 0; p < kParts; ++p) {
        midi::Track& t = aTrack[p + 1];
        int ch = aChannel[p];
        t.Name(aPartName[p]);
        t.Control(0, ch, 121, 0); // reset controllers
        t.Program(0, ch, programs[p]);
        t.Control(0, ch, 7, aVolume[p]);
        if (d.nExpression < 127) t.Control(0, ch, 11, d.nExpression);
        t.Control(0, ch, 10, aPanCtl[p]);
        t.Control(0, ch, 91, aReverb[p]);
        t.Control(0, ch, 93, p == kPad ? 40 : 10);
    }

    std::map<char, const Section*> bySection;
    for (const Section& s : d.aSection) bySection[s.cName] = &s;
    std::string form = d.szForm;
    std::map<char, int> seen, total;
    for (char c : form) total[c]++;

    uint32_t at = 0;
    for (size_t i = 0; i < form.size(); ++i) {
        char c = form[i];
        int occurrence = seen[c]++;
        if (c == 'O') {
            cond.Tempo(at, d.bpm * 0.9);
            cond.Tempo(at + nBar, d.bpm * 0.8);
            WriteEnding(at);
            at += 2 * nBar;
            continue;
        }
        if (c == 'I') {
            const Section& first = *bySection.at(form[i + 1]);
            LayOut(std::vector<Chord>(first.aChord.begin(), first.aChord.begin() + 4));
            WriteComp(at, 4);
            WriteBass(at);
            WriteDrums(at, 4, true, false, true, false);
            at += 4 * nBar;
            continue;
        }
        const Section& sec = *bySection.at(c);
        LayOut(sec.aChord);
        if (!aMelody.count(c)) aMelody[c] = MakeMelody(sec);
        const std::vector<MelNote>& mel = aMelody[c];
        bool last = occurrence == total[c] - 1;
        if (c == 'C') {
            // The bridge: the second voice takes the tune over a lighter groove.
            WriteMelody(kHarmony, at, mel, 88);
            WritePad(at);
        } else {
            WriteMelody(kMelody, at, mel, 92);
            if (occurrence % 2 == 1 || last) WriteHarmonyLine(at, mel);
            if (c != 'A' || last) WritePad(at);
        }
        WriteComp(at, 8);
        WriteBass(at);
        WriteDrums(at, 8, false, c == 'C', true, true);
        at += 8 * nBar;
    }
    return midi::FileBytes(aTrack, at + kQuarter);
}

// --- The tunes ---------------------------------------------------------------------

const std::vector<TuneDef>& Tunes() {
    static const std::vector<TuneDef> tunes = {
        {"sunny_lanes.mid",
         "Sunny Lanes",
         112,
         4,
         65,
         kMajor,
         false,
         77,
         67,
         86,
         12,
         73,
         4,
         48,
         33,
         kCompPop,
         kBassPop,
         kDrumPop,
         {{'A',
           {{0, kMaj},
            {9, kMin},
            {5, kMaj},
            {7, kMaj},
            {0, kMaj},
            {9, kMin},
            {2, kMin, 2},
            {7, kMaj, 2},
            {0, kMaj}}},
          {'B',
           {{5, kMaj},
            {7, kMaj},
            {4, kMin},
            {9, kMin},
            {2, kMin7},
            {7, kMaj},
            {0, kMaj},
            {7, kSus4, 2},
            {7, kMaj, 2}}},
          {'C',
           {{9, kMin},
            {4, kMin},
            {5, kMaj},
            {0, kMaj},
            {2, kMin},
            {4, kMin},
            {5, kMaj},
            {7, kMaj}}}},
         "IAABACBAO",
         0x51a7e001u},
        {"tide_pool.mid",
         "Tide Pool",
         84,
         4,
         62,
         kMajor,
         false,
         74,
         64,
         83,
         11,
         65,
         24,
         88,
         32,
         kCompBossa,
         kBassBossa,
         kDrumBossa,
         {{'A',
           {{0, kMaj7},
            {5, kMaj7},
            {4, kMin7},
            {9, kMin7},
            {2, kMin7},
            {7, kDom7},
            {0, kMaj7},
            {7, kDom7}}},
          {'B',
           {{2, kMin7},
            {7, kDom7},
            {0, kMaj7},
            {9, kMin7},
            {2, kMin7},
            {7, kDom7},
            {4, kMin7, 2},
            {9, kMin7, 2},
            {2, kMin7, 2},
            {7, kDom7, 2}}}},
         "IABABAO",
         0x71de9002u},
        {"night_bins.mid",
         "Night Bins",
         96,
         4,
         57,
         kMinor,
         false,
         69,
         62,
         81,
         79,
         75,
         5,
         89,
         38,
         kCompArp,
         kBassHalf,
         kDrumHalf,
         {{'A',
           {{0, kMin7},
            {8, kMaj7},
            {3, kMaj},
            {10, kMaj},
            {0, kMin7},
            {5, kMin7},
            {8, kMaj7},
            {7, kMin7}}},
          {'B',
           {{5, kMin7},
            {10, kMaj},
            {3, kMaj7},
            {8, kMaj7},
            {5, kMin7},
            {7, kMin7},
            {8, kMaj},
            {10, kMaj}}}},
         "IAABABAO",
         0x0b175003u,
         114},
        {"tumble_bop.mid",
         "Tumble Bop",
         138,
         4,
         55,
         kMajor,
         true,
         79,
         70,
         86,
         59,
         66,
         0,
         16,
         32,
         kCompSwing,
         kBassWalk,
         kDrumSwing,
         {{'A',
           {{0, kMaj7},
            {9, kMin7},
            {2, kMin7},
            {7, kDom7},
            {4, kMin7},
            {9, kMin7},
            {2, kMin7, 2},
            {7, kDom7, 2},
            {0, kMaj6}}},
          {'B',
           {{5, kMaj7},
            {5, kMaj6},
            {4, kMin7},
            {9, kDom7},
            {2, kMin7},
            {7, kDom7},
            {0, kMaj7},
            {7, kDom7}}},
          {'C',
           {{0, kMaj7},
            {0, kDom7},
            {5, kMaj7},
            {5, kMin7},
            {4, kMin7},
            {9, kDom7},
            {2, kMin7},
            {7, kDom7}}}},
         "IAABACABAO",
         0x7b0b4004u},
        {"lantern_waltz.mid",
         "Lantern Waltz",
         132,
         3,
         63,
         kMajor,
         false,
         75,
         67,
         87,
         10,
         71,
         46,
         49,
         45,
         kCompArp,
         kBassWaltz,
         kDrumWaltz,
         {{'A',
           {{0, kMaj},
            {7, kMaj},
            {9, kMin},
            {4, kMin},
            {5, kMaj},
            {0, kMaj},
            {2, kMin},
            {7, kMaj}}},
          {'B',
           {{5, kMaj},
            {7, kMaj},
            {4, kMin},
            {9, kMin},
            {2, kMin7},
            {7, kDom7},
            {0, kMaj},
            {7, kDom7}}},
          {'C',
           {{9, kMin},
            {5, kMaj},
            {0, kMaj},
            {7, kMaj},
            {9, kMin},
            {5, kMaj},
            {2, kMin},
            {7, kSus4}}}},
         "IAABACBAO",
         0x1a2e5005u},
    };
    return tunes;
}

} // namespace

std::vector<TuneFile> ComposeAll() {
    std::vector<TuneFile> out;
    for (const TuneDef& def : Tunes()) {
        Composer c(def);
        out.push_back({def.szFile, def.szTitle, def.bpm, c.Compose()});
    }
    return out;
}

} // namespace tune
