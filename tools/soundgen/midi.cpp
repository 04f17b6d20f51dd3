#include "midi.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace midi {

void Track::Meta(uint32_t tick, uint8_t type, const std::vector<uint8_t>& data) {
    Event e{tick, 0, {0xFF, type, uint8_t(data.size())}};
    e.aData.insert(e.aData.end(), data.begin(), data.end());
    aEvent.push_back(e);
}

void Track::Name(const std::string& text) {
    Meta(0, 0x03, std::vector<uint8_t>(text.begin(), text.end()));
}

void Track::Tempo(uint32_t tick, double bpm) {
    uint32_t us = uint32_t(std::lround(60000000.0 / bpm));
    Meta(tick, 0x51, {uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)});
}

void Track::TimeSignature(uint32_t tick, int beats, int beatUnitLog2) {
    Meta(tick, 0x58, {uint8_t(beats), uint8_t(beatUnitLog2), 24, 8});
}

void Track::KeySignature(uint32_t tick, int sharps, int minor) {
    Meta(tick, 0x59, {uint8_t(int8_t(sharps)), uint8_t(minor)});
}

void Track::Program(uint32_t tick, int channel, int program) {
    aEvent.push_back({tick, 2, {uint8_t(0xC0 | channel), uint8_t(program)}});
}

void Track::Control(uint32_t tick, int channel, int control, int value) {
    aEvent.push_back({tick, 2, {uint8_t(0xB0 | channel), uint8_t(control), uint8_t(value)}});
}

void Track::Note(uint32_t tick, uint32_t len, int channel, int key, int velocity) {
    if (len == 0) len = 1;
    key = std::clamp(key, 0, 127);
    velocity = std::clamp(velocity, 1, 127);
    aEvent.push_back({tick, 3, {uint8_t(0x90 | channel), uint8_t(key), uint8_t(velocity)}});
    aEvent.push_back({tick + len, 1, {uint8_t(0x80 | channel), uint8_t(key), 64}});
}

namespace {

void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(uint8_t(v >> s));
}

void PutVarLen(std::vector<uint8_t>& b, uint32_t v) {
    uint8_t tmp[5];
    int n = 0;
    do {
        tmp[n++] = uint8_t(v & 0x7f);
        v >>= 7;
    } while (v);
    while (n--) b.push_back(uint8_t(tmp[n] | (n ? 0x80 : 0)));
}

} // namespace

std::vector<uint8_t> FileBytes(const std::vector<Track>& tracks, uint32_t endTick) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    Put32(out, 6);
    out.insert(out.end(), {0, 1, uint8_t(tracks.size() >> 8), uint8_t(tracks.size()),
                           uint8_t(kDivision >> 8), uint8_t(kDivision & 0xff)});
    for (const Track& t : tracks) {
        std::vector<Event> ev = t.aEvent;
        std::stable_sort(ev.begin(), ev.end(), [](const Event& a, const Event& b) {
            return a.nTick != b.nTick ? a.nTick < b.nTick : a.nOrder < b.nOrder;
        });
        std::vector<uint8_t> body;
        uint32_t now = 0;
        for (const Event& e : ev) {
            PutVarLen(body, e.nTick - now);
            now = e.nTick;
            body.insert(body.end(), e.aData.begin(), e.aData.end());
        }
        PutVarLen(body, std::max(endTick, now) - now);
        body.insert(body.end(), {0xFF, 0x2F, 0x00});
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        Put32(out, uint32_t(body.size()));
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

} // namespace midi
