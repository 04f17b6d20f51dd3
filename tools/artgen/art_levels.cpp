// The fifty background patterns. The levels come in ten families of five,
// one family for each run of five goals (points, three patterns, tiles), so
// the look of the room changes when the goals start a new round. Every
// pattern is periodic in its own width and height, so it tiles without a
// seam, and is drawn in four close tones of one hue: ground, shade, light and
// line, so that it stays quiet behind the game.
#include "art.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

typedef std::vector<int> Tones; // one tone index 0..3 per pixel

enum { GROUND = 0, SHADE = 1, LIGHT = 2, LINE = 3 };

int Mod(int a, int b) {
    return ((a % b) + b) % b;
}

// Pattern sizes: 32 x 32 unless listed.
void LevelSize(int level, int& w, int& h) {
    static const int aBig[] = {2, 10, 28, 31, 32, 33, 35, 38, 42, 43, 44, 48, 49, 50};
    w = h = 32;
    for (int b : aBig)
        if (b == level) w = h = 64;
    if (level == 4) w = h = 40;
    if (level == 29) {
        w = 64;
        h = 32;
    }
    if (level == 45) {
        w = 32;
        h = 64;
    }
}

// A small deterministic generator for the stone layouts.
struct Lcg {
    uint32_t s;
    explicit Lcg(uint32_t seed) : s(seed * 2654435761u + 12345u) {}
    int Next(int n) {
        s = s * 1103515245u + 12345u;
        return int((s >> 8) % uint32_t(n));
    }
};

struct Tiler {
    int w, h;
    Tones t;
    Tiler(int width, int height) : w(width), h(height), t(size_t(width * height), GROUND) {}
    int& At(int x, int y) { return t[size_t(Mod(y, h) * w + Mod(x, w))]; }
    int Get(int x, int y) const { return t[size_t(Mod(y, h) * w + Mod(x, w))]; }
};

// Cells around seed points, with distances measured across the wrap so that
// the cells continue over the edges. metric: 0 round, 1 diamond, 2 square.
// Boundaries become LINE; each cell is lit on its upper left edge and shaded
// on its lower right one.
void Cells(Tiler& p, const std::vector<int>& seeds, int metric, int mortar) {
    std::vector<int> owner(size_t(p.w * p.h));
    std::vector<double> gap(size_t(p.w * p.h));
    for (int y = 0; y < p.h; y++)
        for (int x = 0; x < p.w; x++) {
            double d1 = 1e9, d2 = 1e9;
            int best = 0;
            for (size_t s = 0; s + 1 < seeds.size(); s += 2) {
                int dx = std::abs(x - seeds[s]), dy = std::abs(y - seeds[s + 1]);
                dx = std::min(dx, p.w - dx);
                dy = std::min(dy, p.h - dy);
                double d = metric == 0   ? std::sqrt(double(dx * dx + dy * dy))
                           : metric == 1 ? double(dx + dy)
                                         : double(std::max(dx, dy));
                if (d < d1) {
                    d2 = d1;
                    d1 = d;
                    best = int(s);
                } else if (d < d2) {
                    d2 = d;
                }
            }
            owner[size_t(y * p.w + x)] = best;
            gap[size_t(y * p.w + x)] = d2 - d1;
        }
    for (int y = 0; y < p.h; y++)
        for (int x = 0; x < p.w; x++) {
            int i = y * p.w + x;
            if (gap[size_t(i)] < mortar * 0.5 + 0.01) p.At(x, y) = LINE;
        }
    Tones base = p.t;
    auto line = [&](int x, int y) { return base[size_t(Mod(y, p.h) * p.w + Mod(x, p.w))] == LINE; };
    for (int y = 0; y < p.h; y++)
        for (int x = 0; x < p.w; x++) {
            if (line(x, y)) continue;
            if (line(x - 1, y) || line(x, y - 1))
                p.At(x, y) = LIGHT;
            else if (line(x + 1, y) || line(x, y + 1))
                p.At(x, y) = SHADE;
        }
}

std::vector<int> RandomSeeds(int w, int h, int n, uint32_t seed) {
    // Jittered grid: one stone per cell of a coarse grid, so the stones come
    // out evenly sized.
    Lcg r(seed);
    int cols = std::max(1, int(std::lround(std::sqrt(double(n) * w / h))));
    int rows = std::max(1, n / cols);
    std::vector<int> s;
    for (int j = 0; j < rows; j++)
        for (int i = 0; i < cols; i++) {
            int cw = w / cols, ch = h / rows;
            s.push_back(i * cw + cw / 4 + r.Next(std::max(1, cw / 2)) + (j % 2) * cw / 2);
            s.push_back(j * ch + ch / 4 + r.Next(std::max(1, ch / 2)));
        }
    for (size_t i = 0; i < s.size(); i += 2) {
        s[i] = Mod(s[i], w);
        s[i + 1] = Mod(s[i + 1], h);
    }
    return s;
}

// --- family 1: quarry stones (levels 1..5) -------------------------------------
// Five ways of laying stone, so that no two levels look alike: flagstones,
// cobbles, pebbles on sand, coursed ashlar and crazy paving.
void Block(Tiler& p, int x, int y, int bw, int bh);

void Stones(Tiler& p, int v, int level) {
    switch (v) {
    case 0: Cells(p, RandomSeeds(p.w, p.h, 4, 11), 0, 1); break;
    case 1: // cobbles: small round stones set in dark joints
        Cells(p, RandomSeeds(p.w, p.h, 16, uint32_t(level)), 0, 3);
        break;
    case 2: { // pebbles lying on raked sand
        for (int y = 0; y < p.h; y++)
            for (int x = 0; x < p.w; x++) p.At(x, y) = Mod(y, 4) == 0 ? SHADE : GROUND;
        Lcg r(23);
        for (int k = 0; k < 6; k++) {
            int cx = r.Next(p.w), cy = r.Next(p.h), rx = 3 + r.Next(3), ry = 2 + r.Next(2);
            for (int dy = -ry - 1; dy <= ry + 1; dy++)
                for (int dx = -rx - 1; dx <= rx + 1; dx++) {
                    double d = double(dx * dx) / (rx * rx) + double(dy * dy) / (ry * ry);
                    if (d <= 1.0)
                        p.At(cx + dx, cy + dy) = dx + dy < -1 ? LIGHT : GROUND;
                    else if (d <= 1.9 && dx + dy > 0)
                        p.At(cx + dx, cy + dy) = LINE;
                }
        }
        break;
    }
    case 3: // coursed ashlar: long cut blocks in courses of two heights
        for (int y = 0, row = 0; y < p.h; row++) {
            int bh = row % 2 ? 8 : 12, off = (row * 13) % 20;
            for (int x = 0; x < p.w; x += 20) Block(p, x + off, y, 20, bh);
            y += bh;
        }
        break;
    default: Cells(p, RandomSeeds(p.w, p.h, 9, 5), 1, 2); break;
    }
}

// A rectangle outlined in LINE with a lit top-left and shaded bottom-right.
void Block(Tiler& p, int x, int y, int bw, int bh) {
    for (int j = 0; j < bh; j++)
        for (int i = 0; i < bw; i++) {
            int t = GROUND;
            if (i == bw - 1 || j == bh - 1)
                t = LINE;
            else if (i == 0 || j == 0)
                t = LIGHT;
            else if (i == bw - 2 || j == bh - 2)
                t = SHADE;
            p.At(x + i, y + j) = t;
        }
}

// --- family 2: brickwork (levels 6..10) -----------------------------------------
void Bricks(Tiler& p, int v) {
    switch (v) {
    case 0: // running bond
        for (int y = 0; y < p.h; y += 8)
            for (int x = 0; x < p.w; x += 16) Block(p, x + (y / 8 % 2) * 8, y, 16, 8);
        break;
    case 1: // stack bond of square tiles with a small inset
        for (int y = 0; y < p.h; y += 8)
            for (int x = 0; x < p.w; x += 8) {
                Block(p, x, y, 8, 8);
                if ((x / 8 + y / 8) % 2) p.At(x + 3, y + 3) = SHADE;
            }
        break;
    case 2: // chevrons
        for (int y = 0; y < p.h; y++)
            for (int x = 0; x < p.w; x++) {
                int d = Mod(y + std::abs(Mod(x, 16) - 8), 8);
                p.At(x, y) = d == 0 ? LINE : d == 1 ? LIGHT : d == 7 ? SHADE : GROUND;
            }
        break;
    case 3: // basket weave: pairs of bricks turning by quarters
        for (int by = 0; by < p.h; by += 16)
            for (int bx = 0; bx < p.w; bx += 16) {
                bool flat = (bx / 16 + by / 16) % 2 == 0;
                for (int k = 0; k < 2; k++) {
                    if (flat)
                        Block(p, bx, by + 8 * k, 16, 8);
                    else
                        Block(p, bx + 8 * k, by, 8, 16);
                }
            }
        break;
    default: // Flemish bond: long and short bricks in turn, 64 wide
        for (int y = 0; y < p.h; y += 8)
            for (int x = 0; x < p.w; x += 24) {
                int o = (y / 8 % 2) * 12;
                Block(p, x + o, y, 16, 8);
                Block(p, x + o + 16, y, 8, 8);
            }
        break;
    }
}

// --- family 3: diamonds (levels 11..15) ------------------------------------------
void Diamonds(Tiler& p, int v) {
    int s = p.w >= 64 ? 16 : 8; // half the diamond's width
    for (int y = 0; y < p.h; y++)
        for (int x = 0; x < p.w; x++) {
            int a = Mod(x + y, 2 * s), b = Mod(x - y, 2 * s);
            int t = GROUND;
            switch (v) {
            case 0: t = a == 0 || b == 0 ? LINE : (a == 1 || b == 1) ? LIGHT : GROUND; break;
            case 1: // argyle: shaded and plain diamonds, fine dotted cross lines
                t = ((x + y) / (2 * s) + Mod(x - y, 4 * s) / (2 * s)) % 2 ? SHADE : GROUND;
                if ((a == s || b == s) && (x % 2 == 0)) t = LINE;
                break;
            case 2: { // small diamonds in a grid
                int cx = Mod(x, 8) - 4, cy = Mod(y, 8) - 4;
                int d = std::abs(cx) + std::abs(cy);
                t = d <= 1 ? LINE : d == 2 ? SHADE : GROUND;
                break;
            }
            case 3: { // diamonds within diamonds
                int cx = Mod(x, 2 * s) - s, cy = Mod(y, 2 * s) - s;
                int d = std::abs(cx) + std::abs(cy);
                t = d % 4 == 0 ? LINE : d % 4 == 1 ? LIGHT : GROUND;
                break;
            }
            default: // quilting: stitched lines, a knot at each crossing
                t = (a == 0 || b == 0) && Mod(x, 4) != 3 ? LINE : GROUND;
                if (Mod(x, 2 * s) == 0 && Mod(y, 2 * s) == 0) t = SHADE;
                if ((a == 0 || b == 0) && t == GROUND) t = LIGHT;
                break;
            }
            p.At(x, y) = t;
        }
}

// A sine table over one period of n steps, amplitude amp.
int Wave(int x, int n, int amp) {
    const double kPi = 3.14159265358979323846;
    return int(std::lround(amp * std::sin(2 * kPi * Mod(x, n) / n)));
}

// --- family 4: water (levels 16..20) ----------------------------------------------
void Waves(Tiler& p, int v) {
    for (int y = 0; y < p.h; y++)
        for (int x = 0; x < p.w; x++) {
            int t = GROUND;
            switch (v) {
            case 0: { // scallops
                int cx = Mod(x + (Mod(y, 16) < 8 ? 0 : 8), 16) - 8, cy = Mod(y, 8);
                int d = cx * cx + cy * cy;
                t = d >= 49 && d < 64 ? LINE : d < 16 ? LIGHT : GROUND;
                break;
            }
            case 1: { // rolling waves
                int yy = Mod(y + Wave(x, 32, 3), 8);
                t = yy == 0 ? LINE : yy == 1 ? LIGHT : yy == 6 ? SHADE : GROUND;
                break;
            }
            case 2: { // ripples, a zigzag that shifts each band
                int yy = Mod(y + std::abs(Mod(x + 4 * (y / 8), 8) - 4), 8);
                t = yy == 0 ? LINE : yy == 1 ? LIGHT : yy >= 5 ? SHADE : GROUND;
                break;
            }
            case 3: { // crossing waves
                int a = Mod(y + Wave(x, 32, 4), 16), b = Mod(x + Wave(y, 32, 4), 16);
                t = a == 0 ? LINE : b == 0 ? SHADE : (a == 1 ? LIGHT : GROUND);
                break;
            }
            default: { // swell: long waves with foam crests
                int yy = Mod(y + Wave(x, 64, 6) + Wave(x, 16, 1), 16);
                t = yy == 0 ? LINE : yy < 3 ? LIGHT : yy > 12 ? SHADE : GROUND;
                break;
            }
            }
            p.At(x, y) = t;
        }
}

// --- family 5: dots and rings (levels 21..25) -------------------------------------
void Dots(Tiler& p, int v) {
    for (int y = 0; y < p.h; y++)
        for (int x = 0; x < p.w; x++) {
            int t = GROUND;
            // Distance to the nearest point of an offset grid of spacing 16.
            int gx = Mod(x, 16) - 8, gy = Mod(y, 16) - 8;
            int hx = Mod(x + 8, 16) - 8, hy = Mod(y + 8, 16) - 8;
            int d1 = gx * gx + gy * gy, d2 = hx * hx + hy * hy;
            switch (v) {
            case 0: t = d1 <= 8 ? SHADE : d2 <= 8 ? LIGHT : GROUND; break;
            case 1: t = d1 >= 20 && d1 <= 30 ? LINE : d2 <= 2 ? SHADE : GROUND; break;
            case 2: // a dot with its shadow
                t = d1 <= 9                                          ? LIGHT
                    : (gx - 1) * (gx - 1) + (gy - 1) * (gy - 1) <= 9 ? SHADE
                                                                     : GROUND;
                if (d2 <= 1) t = SHADE;
                break;
            case 3: { // concentric squares
                int c = std::max(std::abs(gx), std::abs(gy));
                t = c % 4 == 0 ? LINE : c % 4 == 2 ? SHADE : GROUND;
                break;
            }
            default: { // rings of two sizes
                int c = Mod(x, 8) - 4, e = Mod(y, 8) - 4;
                int d3 = c * c + e * e;
                t = d1 >= 36 && d1 <= 50 ? LINE : d3 <= 2 ? SHADE : GROUND;
                break;
            }
            }
            p.At(x, y) = t;
        }
}

// --- family 6: weaving (levels 26..30) ---------------------------------------------
void Weave(Tiler& p, int v) {
    int s = v == 2 ? 16 : 8; // strip width
    for (int y = 0; y < p.h; y++)
        for (int x = 0; x < p.w; x++) {
            int t = GROUND;
            int cx = x / s, cy = y / s, ix = Mod(x, s), iy = Mod(y, s);
            switch (v) {
            case 0:
            case 2: { // basket weave: bundles of strands passing over and under
                bool across = (cx + cy) % 2 == 0;
                int edge = across ? iy : ix, along = across ? ix : iy;
                int k = Mod(edge, 4);
                t = k == 0 ? LINE : k == 1 ? LIGHT : k == 3 ? SHADE : GROUND;
                // Where a bundle dives under its neighbour it darkens.
                if ((along == 0 || along == s - 1) && k != 0) t = SHADE;
                break;
            }
            case 1: { // twill: diagonal steps of the weave
                int d = Mod(x / 4 - y / 4, 4);
                t = d == 0 ? SHADE : (Mod(y, 4) == 0 ? LINE : GROUND);
                break;
            }
            case 3: { // a long weave, 64 x 32
                bool across = Mod(x / 16 + y / 8, 2) == 0;
                int edge = across ? Mod(y, 8) : Mod(x, 16);
                int limit = across ? 8 : 16;
                t = edge == 0 ? LINE : edge == 1 ? LIGHT : edge == limit - 1 ? SHADE : GROUND;
                break;
            }
            default: { // cane: an open lattice with holes
                int a = Mod(x, 8), b = Mod(y, 8);
                t = (a == 3 || a == 4 || b == 3 || b == 4) ? GROUND : (a + b) % 2 ? SHADE : LINE;
                if ((a == 3 || a == 4) && (b == 3 || b == 4)) t = LIGHT;
                break;
            }
            }
            p.At(x, y) = t;
        }
}

// --- family 7: scales (levels 31..35) ------------------------------------------------
void Scales(Tiler& p, int v) {
    int r = v == 3 ? 8 : 16;               // scale radius
    int step = v == 1 ? r * 3 / 4 : r / 2; // rows of scales overlap
    for (int y = 0; y < p.h; y++)
        for (int x = 0; x < p.w; x++) {
            // The upper rows lie over the lower ones: the first row from the
            // top whose scale covers the pixel owns it.
            int t = GROUND;
            for (int row = (y - r) / step - 1; row <= (y + r) / step + 1; row++) {
                int cy = row * step, off = Mod(row, 2) * r;
                int cx = Mod(x - off, 2 * r) - r, dy = y - cy;
                double d = std::sqrt(double(cx * cx + dy * dy));
                if (d > r || dy < 0) continue;
                double ring = r - d;
                t = ring < 1.3 ? LINE : ring < 3 ? LIGHT : GROUND;
                if (v == 2 && t == GROUND && dy > r / 2) t = SHADE;
                if (v == 4 && d < r / 3.0) t = SHADE;
                if (v == 0 && t == GROUND && cx > r / 3) t = SHADE;
                break;
            }
            p.At(x, y) = t;
        }
}

// --- family 8: cloth (levels 36..40) ---------------------------------------------------
// Tartan, gingham, madras, windowpane and a twill stripe: five weaves that
// differ in how busy they are, not only in their colours.
void Plaid(Tiler& p, int v) {
    for (int y = 0; y < p.h; y++)
        for (int x = 0; x < p.w; x++) {
            auto band = [&](int c, int n) {
                int m = Mod(c, n);
                switch (v) {
                case 0: return m < 6 ? 2 : m == 10 ? 3 : 0;
                case 2: return m < 12 ? 2 : m == 16 || m == 18 ? 3 : 0;
                default: return 0;
                }
            };
            int n = p.w >= 64 ? 32 : 16;
            int a = band(x, n), b = band(y, n);
            int t = GROUND;
            if (v == 1) {
                // Gingham: checks where the coloured threads cross.
                int cx = Mod(x, 16) < 8, cy = Mod(y, 16) < 8;
                t = cx && cy ? LINE : cx || cy ? SHADE : GROUND;
            } else if (v == 3) {
                // Windowpane: thin lines on a plain ground.
                int mx = Mod(x, 16), my = Mod(y, 16);
                t = mx == 0 || my == 0 ? LINE : mx == 1 || my == 1 ? LIGHT : GROUND;
            } else if (v == 4) {
                // Twill stripes running on the slant.
                int m = Mod(x + y, 16);
                t = m < 5 ? SHADE : m == 8 ? LINE : m == 9 ? LIGHT : GROUND;
            } else {
                if (a == 3 || b == 3)
                    t = (x + y) % 2 ? LINE : (a == 2 || b == 2 ? SHADE : GROUND);
                else if (a && b)
                    t = SHADE;
                else if (a || b)
                    t = (x + y) % 2 ? SHADE : GROUND;
            }
            p.At(x, y) = t;
        }
}

// --- family 9: honeycomb (levels 41..45) ---------------------------------------------
void Hexes(Tiler& p, int v) {
    // Rows of cell centres s apart, every other row shifted by s / 2: each
    // cell has six neighbours, so the cells come out six-sided.
    int s = v == 1 || v == 3 ? 32 : 16;
    std::vector<int> seeds;
    for (int j = 0; j < p.h / s; j++)
        for (int i = 0; i < p.w / s; i++) {
            seeds.push_back(i * s + (j % 2) * s / 2);
            seeds.push_back(j * s);
        }
    Cells(p, seeds, v == 4 ? 1 : 0, v == 1 ? 2 : 1);
    if (v == 2 || v == 3) {
        // A small hollow in the middle of every cell.
        for (size_t k = 0; k < seeds.size(); k += 2)
            for (int dy = -1; dy <= (v == 3 ? 2 : 0); dy++)
                for (int dx = -1; dx <= (v == 3 ? 2 : 0); dx++)
                    p.At(seeds[k] + dx, seeds[k + 1] + dy) = SHADE;
    }
}

// --- family 10: night mosaic (levels 46..50) ------------------------------------------
void Mosaic(Tiler& p, int v) {
    switch (v) {
    case 0: // a wall of flat tiles, staggered
        for (int y = 0; y < p.h; y += 4)
            for (int x = 0; x < p.w; x += 16) Block(p, x + (y / 4 % 2) * 8, y, 16, 4);
        break;
    case 1: { // small stars on a still sky
        Lcg r(47);
        for (int k = 0; k < 9; k++) {
            int x = r.Next(p.w), y = r.Next(p.h);
            p.At(x, y) = LIGHT;
            if (k < 3) {
                p.At(x - 1, y) = SHADE;
                p.At(x + 1, y) = SHADE;
                p.At(x, y - 1) = SHADE;
                p.At(x, y + 1) = SHADE;
            }
        }
        break;
    }
    case 2: { // tiles caught in mid-tumble, four to a row, each row a step on
        static const int aHgt[8] = {13, 12, 9, 6, 4, 6, 9, 12};
        for (int row = 0; row < p.h / 16; row++)
            for (int i = 0; i < p.w / 16; i++) {
                int f = Mod(i + 2 * row, 8), hgt = aHgt[f];
                int x0 = 16 * i + 2, y1 = 16 * row + 14; // bottom row of the tile
                for (int y = 0; y < hgt; y++)
                    for (int x = 0; x < 12; x++) {
                        bool edge = y == 0 || x == 0 || y == hgt - 1 || x == 11;
                        bool crease =
                            f != 0 && f != 4 && y == (f < 4 ? hgt / 4 : hgt - 1 - hgt / 4);
                        p.At(x0 + x, y1 - y) = edge || crease ? LINE : SHADE;
                    }
            }
        break;
    }
    case 3: // squares of the mosaic in several tones
        for (int by = 0; by < p.h; by += 8)
            for (int bx = 0; bx < p.w; bx += 8) {
                int tone = Mod(bx * 7 + by * 3 + (bx / 8) * (by / 8), 5);
                for (int y = 0; y < 8; y++)
                    for (int x = 0; x < 8; x++) {
                        int t = tone < 2 ? GROUND : tone < 4 ? SHADE : LIGHT;
                        if (x == 7 || y == 7) t = LINE;
                        p.At(bx + x, by + y) = t;
                    }
            }
        break;
    default: // quatrefoils
        for (int y = 0; y < p.h; y++)
            for (int x = 0; x < p.w; x++) {
                int cx = Mod(x, 32) - 16, cy = Mod(y, 32) - 16, t = GROUND;
                for (int k = 0; k < 4; k++) {
                    int ox = k == 0 ? 6 : k == 1 ? -6 : 0, oy = k == 2 ? 6 : k == 3 ? -6 : 0;
                    int d = (cx - ox) * (cx - ox) + (cy - oy) * (cy - oy);
                    if (d <= 40 && d >= 25)
                        t = LINE;
                    else if (d < 25 && t != LINE)
                        t = SHADE;
                }
                if (std::abs(cx) + std::abs(cy) >= 30) t = LIGHT;
                p.At(x, y) = t;
            }
        break;
    }
}

// HSL to RGB, lightness and saturation 0..1, hue in degrees.
Rgb Hsl(double hue, double sat, double light) {
    double c = (1 - std::fabs(2 * light - 1)) * sat;
    double hp = std::fmod(hue, 360.0) / 60.0;
    double x = c * (1 - std::fabs(std::fmod(hp, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    if (hp < 1)
        r = c, g = x;
    else if (hp < 2)
        r = x, g = c;
    else if (hp < 3)
        g = c, b = x;
    else if (hp < 4)
        g = x, b = c;
    else if (hp < 5)
        r = x, b = c;
    else
        r = c, b = x;
    double m = light - c / 2;
    auto ch = [&](double v) { return int(std::lround(std::clamp(v + m, 0.0, 1.0) * 255)); };
    return MakeRgb(ch(r), ch(g), ch(b));
}

struct Family {
    double hue, sat, light; // the ground tone of the first level
    double hueStep;         // the hue moves a little from level to level
};

const Family aFamily[10] = {
    {38, 0.18, 0.63, 2},  // warm quarry stone
    {10, 0.34, 0.52, 2},  // clay brick
    {214, 0.28, 0.60, 2}, // dusty blue
    {158, 0.28, 0.50, 2}, // sea green
    {270, 0.22, 0.64, 2}, // lavender
    {54, 0.28, 0.52, 2},  // khaki
    {188, 0.34, 0.45, 2}, // teal
    {350, 0.30, 0.50, 2}, // muted red cloth
    {40, 0.45, 0.55, 2},  // honey
    {228, 0.32, 0.30, 2}, // night blue
};

Canvas Pattern(int level) {
    int w, h;
    LevelSize(level, w, h);
    int fam = (level - 1) / 5, v = (level - 1) % 5;
    Tiler p(w, h);
    switch (fam) {
    case 0: Stones(p, v, level); break;
    case 1: Bricks(p, v); break;
    case 2: Diamonds(p, v); break;
    case 3: Waves(p, v); break;
    case 4: Dots(p, v); break;
    case 5: Weave(p, v); break;
    case 6: Scales(p, v); break;
    case 7: Plaid(p, v); break;
    case 8: Hexes(p, v); break;
    default: Mosaic(p, v); break;
    }
    const Family& f = aFamily[fam];
    // Neighbouring levels of a family take turns at a lighter and a darker
    // ground and lean their hue apart, so that each new level looks new.
    static const double aLight[5] = {0.02, -0.02, 0.03, -0.01, -0.03};
    static const double aHue[5] = {0, 2, -2, 4, -4};
    double hue = f.hue + f.hueStep * aHue[v], l = f.light + aLight[v];
    Rgb tone[4] = {Hsl(hue, f.sat, l), Hsl(hue, f.sat, l - 0.09), Hsl(hue, f.sat * 0.9, l + 0.07),
                   Hsl(hue, f.sat, l - 0.17)};
    Canvas c(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) c.Set(x, y, tone[p.Get(x, y)]);
    return c;
}

} // namespace

void MakeLevelArt(AssetList& list) {
    for (int level = 1; level <= 50; level++) {
        Asset a;
        a.name = "LEVEL" + std::to_string(level);
        a.kind = ASSET_BMP4;
        a.bOwnPalette = true;
        a.images.push_back(Pattern(level));
        list.push_back(a);
    }
}
