// The tiles, the paddle and their erasers.
//
// A tile is a slab 34 pixels wide, 39 rows tall face-on and 11 rows thick,
// outlined in black and filled with its colour. It tumbles end over end
// about its lower edge: seen from the front, the face shortens while its
// upper end comes into view above it; at frame 5 only the end shows; after
// that the other face rises above the end, which now lies at the bottom.
// The rows follow the projection 38 cos a + 10 sin a of the slab's outline.
//
// Every face and end is lit from the upper left: a light edge along its top
// and left, a dark edge along its bottom and right, inside the outline. Each
// colour carries its own emblem on its face, in a shade of its own colour,
// so that the tiles differ in shape as well as colour: a player who cannot
// tell red from green still tells a disc from a triangle. The emblem shrinks
// with the face as the tile tips and is gone when the tile is edge-on.
#include "art.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

const int kFrameW = 40, kFrameH = 48;
const int kTileLeft = 3, kTileRight = 36;

struct FrameShape {
    int nTop;    // the tile's top outline row (rows above it are background)
    int nCrease; // the black edge between face and end, or -1
};

// Frames 1..4 show the end above the face, frames 6..9 below it.
const FrameShape aFrame[10] = {
    {9, -1}, {9, 14}, {12, 19}, {21, 30}, {30, 40}, {37, -1}, {30, 37}, {21, 38}, {12, 40}, {9, 42},
};

// The shades of each tile colour: the lit and the shaded edge, and the
// emblem. WHITE has no lighter shade, so its edge and emblem are grey: a
// white tile never looks like an empty white cell.
struct Shades {
    Rgb light, dark, emblem;
};
const Shades aShades[8] = {
    {pal::White, pal::DarkGreen, pal::DarkGreen}, // GREEN
    {pal::White, pal::DarkRed, pal::DarkRed},     // RED
    {pal::White, pal::Olive, pal::Olive},         // YELLOW
    {pal::Cyan, pal::Navy, pal::Cyan},            // BLUE
    {pal::White, pal::Plum, pal::Plum},           // PURPLE
    {pal::White, pal::Grey, pal::Grey},           // WHITE
    {pal::Red, pal::Black, pal::Red},             // DRED
    {pal::White, pal::Teal, pal::Teal},           // LBLUE
};

enum Emblem { TRIANGLE, DISC, STAR, BAR, DIAMOND, RING, SALTIRE, SQUARE };

// The emblem of each colour and its width for a given height.
const Emblem aEmblem[8] = {TRIANGLE, DISC, STAR, BAR, DIAMOND, RING, SALTIRE, SQUARE};
const double aAspect[8] = {1.5, 1.0, 1.1, 1.6, 1.3, 1.0, 1.0, 1.0};

bool InStar(double u, double v) {
    // A five-pointed star, point up, in the unit box; its lowest points lie
    // at 0.81 of the radius, so it is moved down to sit in the middle.
    const double kPi = 3.14159265358979323846;
    v = v * 0.95 - 0.1;
    double px[10], py[10];
    for (int i = 0; i < 10; i++) {
        double a = -kPi / 2 + i * kPi / 5, r = i % 2 ? 0.48 : 1.05;
        px[i] = r * std::cos(a);
        py[i] = r * std::sin(a);
    }
    bool in = false;
    for (int i = 0, j = 9; i < 10; j = i++)
        if ((py[i] > v) != (py[j] > v) &&
            u < (px[j] - px[i]) * (v - py[i]) / (py[j] - py[i]) + px[i])
            in = !in;
    return in;
}

// Whether the point (u, v) of the box -1..1 by -1..1 lies on the emblem.
bool InEmblem(Emblem e, double u, double v) {
    double r2 = u * u + v * v;
    switch (e) {
    case TRIANGLE: return std::fabs(u) <= (v + 1) / 2;
    case DISC: return r2 <= 1.0;
    case STAR: return InStar(u, v);
    case BAR: return std::fabs(v) <= 0.45;
    case DIAMOND: return std::fabs(u) + std::fabs(v) <= 1.0;
    case RING: return r2 <= 1.0 && r2 >= 0.28;
    case SALTIRE: return std::fabs(u - v) <= 0.55 || std::fabs(u + v) <= 0.55;
    case SQUARE: return std::fabs(u) <= 0.9 && std::fabs(v) <= 0.9;
    }
    return false;
}

// At the six rows of the flat tile the emblems are drawn by hand: at that
// size a sampled outline loses its shape.
const char* const aSmallEmblem[8][6] = {
    {".....#.....", "....###....", "...#####...", "..#######..", ".#########.", "###########"},
    {"..####..", ".######.", "########", "########", ".######.", "..####.."},
    {"....#....", "...###...", "#########", "..#####..", ".###.###.", ".##...##."},
    {".............", ".............", "#############", "#############", "#############",
     "............."},
    {"...##...", "..####..", ".######.", ".######.", "..####..", "...##..."},
    {"..####..", ".##..##.", "##....##", "##....##", ".##..##.", "..####.."},
    {"##....##", ".##..##.", "..####..", "..####..", ".##..##.", "##....##"},
    {"######", "######", "######", "######", "######", "######"},
};
const int kSmallEmblemH = 6;

} // namespace

int EmblemWidth(int k, int h) {
    return std::max(1, int(std::lround(aAspect[k] * h)));
}

void DrawEmblem(Canvas& c, int k, int cx, int top, int w, int h) {
    if (h == kSmallEmblemH) {
        const char* const* rows = aSmallEmblem[k];
        int sw = int(std::string(rows[0]).size());
        for (int j = 0; j < h; j++)
            for (int i = 0; i < sw; i++)
                if (rows[j][i] == '#') c.Set(cx - sw / 2 + i, top + j, aShades[k].emblem);
        return;
    }
    // Four by four samples a pixel; a pixel at least half covered is drawn.
    const int n = 4;
    int x0 = cx - w / 2;
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            int hits = 0;
            for (int sj = 0; sj < n; sj++)
                for (int si = 0; si < n; si++) {
                    double u = ((i + (si + 0.5) / n) / w) * 2 - 1;
                    double v = ((j + (sj + 0.5) / n) / h) * 2 - 1;
                    hits += InEmblem(aEmblem[k], u, v);
                }
            if (2 * hits >= n * n) c.Set(x0 + i, top + j, aShades[k].emblem);
        }
}

void DrawTileBody(Canvas& c, int x, int y, int w, int h, int k, int edge) {
    // Light along the top and left, dark along the bottom and right; the
    // lower left corner belongs to the light edge, the upper right one to
    // the dark edge, so no dark row runs the whole width.
    const Shades& s = aShades[k];
    c.Fill(x, y, w, h, aTileFill[k]);
    for (int i = 0; i < edge && 2 * i < std::min(w, h); i++) {
        c.VLine(x + w - 1 - i, y + i, y + h - 1 - i, s.dark);
        c.HLine(x + i + 1, x + w - 1 - i, y + h - 1 - i, s.dark);
        c.HLine(x + i, x + w - 2 - i, y + i, s.light);
        c.VLine(x + i, y + i, y + h - 1 - i, s.light);
    }
}

void DrawMiniTile(Canvas& c, int x, int y, int w, int h, int k) {
    c.Fill(x, y, w, h, pal::Black);
    int edge = std::min(w, h) >= 20 ? 2 : 1;
    DrawTileBody(c, x + 1, y + 1, w - 2, h - 2, k, edge);
    // The emblem keeps a row of the colour between it and the edge of its
    // own shade: below it, or above it where the lit edge has that shade.
    int room = h - 2 - 2 * edge - 1;
    int eh = std::min(room, (h - 2) * 3 / 4 + 1);
    if (eh < 2) return;
    // Up to a few rows more, the hand-drawn emblems read better.
    if (eh > kSmallEmblemH && eh < kSmallEmblemH + 4) eh = kSmallEmblemH;
    int ew = std::min(EmblemWidth(k, eh) * 5 / 4, w - 2 - 2 * edge - 2);
    bool gapAbove = aShades[k].light == aShades[k].emblem;
    DrawEmblem(c, k, x + w / 2, y + 1 + edge + gapAbove + (room - eh) / 2, ew, eh);
}

Canvas TileFrame(int k, int f, Rgb bg) {
    Canvas c(kFrameW, kFrameH, bg);
    const FrameShape& s = aFrame[f];
    int inW = kTileRight - kTileLeft - 1;
    c.Fill(kTileLeft, s.nTop, inW + 2, kFrameH - s.nTop, pal::Black);
    // The inner rows of the face and of the end (first, count); frame 0
    // shows only the face and frame 5 only the end.
    int face0 = s.nTop + 1, faceH = kFrameH - 2 - s.nTop, end0 = 0, endH = 0;
    if (f == 5) {
        end0 = face0, endH = faceH, faceH = 0;
    } else if (s.nCrease >= 0 && f < 5) {
        end0 = face0, endH = s.nCrease - face0;
        face0 = s.nCrease + 1, faceH = kFrameH - 2 - s.nCrease;
    } else if (s.nCrease >= 0) {
        end0 = s.nCrease + 1, endH = kFrameH - 2 - s.nCrease;
        faceH = s.nCrease - face0;
    }
    if (endH > 0) DrawTileBody(c, kTileLeft + 1, end0, inW, endH, k, 1);
    if (faceH <= 0) return c;
    int edge = faceH >= 30 ? 2 : 1;
    DrawTileBody(c, kTileLeft + 1, face0, inW, faceH, k, edge);
    // The emblem, foreshortened with the face: its height follows the
    // face's, its width stays.
    const int kFullFace = kFrameH - 2 - aFrame[0].nTop, kFullEmblem = 19;
    int room = faceH - 2 * edge - 2;
    int eh = std::min(room, int(std::lround(double(kFullEmblem) * faceH / kFullFace)));
    if (eh < 1) return c;
    int ew = std::min(EmblemWidth(k, kFullEmblem), 24);
    // On the last sliver of face before the tile is edge-on, a glimpse.
    if (faceH < 8) ew = ew * 2 / 5;
    DrawEmblem(c, k, kFrameW / 2, face0 + edge + 1 + (room - eh) / 2, ew, eh);
    return c;
}

Canvas FlatTile(int k, Rgb bg) {
    Canvas c(40, 11, bg);
    DrawMiniTile(c, kTileLeft, 0, 34, 11, k);
    return c;
}

namespace {

// Lamp i (0..4) of the paddle: its window's left column; the window is six
// columns wide and spans rows 3..8, with the lamp in its inner 4 x 4.
int LampLeft(int i) {
    return 3 + 7 * i;
}

Canvas Paddle(int frame) {
    static const int aLit[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    Canvas c(41, 12, pal::White);
    // The rounded bar over columns 0..39; column 40 stays white.
    c.Fill(3, 0, 34, 12, pal::Black);
    c.Fill(1, 1, 38, 10, pal::Black);
    c.Fill(0, 3, 40, 6, pal::Black);
    c.Fill(3, 1, 34, 10, pal::Grey);
    c.Fill(1, 3, 38, 6, pal::Grey);
    c.Set(2, 2, pal::Grey);
    c.Set(37, 2, pal::Grey);
    c.Set(2, 9, pal::Grey);
    c.Set(37, 9, pal::Grey);
    // Light from above: a bright rim along the top and down the left.
    c.HLine(3, 36, 1, pal::White);
    c.HLine(2, 37, 2, pal::Silver);
    c.Set(2, 2, pal::White);
    c.VLine(1, 3, 8, pal::Silver);
    for (int i = 0; i < 5; i++) {
        bool lit = frame == 8 || aLit[frame] == i;
        int x = LampLeft(i);
        c.Fill(x, 3, 6, 6, pal::Black);
        c.Fill(x + 1, 4, 4, 4, lit ? pal::Green : pal::DarkGreen);
    }
    return c;
}

} // namespace

void MakeTileArt(AssetList& list) {
    for (int f = 0; f < 10; f++)
        for (int k = 0; k < 8; k++)
            AddBitmap(list, std::string(aTileWord[k]) + "TILE" + std::to_string(f),
                      TileFrame(k, f));
    for (int k = 0; k < 8; k++) AddBitmap(list, std::string(aTileWord[k]) + "TILE", FlatTile(k));
    AddBitmap(list, "TILEERASE", Canvas(40, 48, pal::Silver));
    AddBitmap(list, "SMALLTILEERASE", Canvas(40, 11, pal::White));
    Asset erase;
    erase.name = "PLAYERERASE";
    erase.kind = ASSET_BMP1;
    erase.images.push_back(Canvas(40, 12, pal::White));
    // A colour table that is not black-and-white makes the platform load the
    // eraser as a colour bitmap, white whatever the target's text colours.
    erase.c0 = pal::White;
    erase.c1 = pal::Black;
    list.push_back(erase);
    for (int i = 0; i < 9; i++) AddBitmap(list, "PADDLE" + std::to_string(i), Paddle(i));
}
