// The tiles, the paddle and their erasers.
//
// A tile is a slab 34 pixels wide, 39 rows tall face-on and 11 rows thick,
// outlined in black and filled with its colour all over. It tumbles end over
// end about its lower edge: seen from the front, the face shortens while its
// upper end comes into view above it; at frame 5 only the end shows; after
// that the other face rises above the end, which now lies at the bottom.
// The rows follow the projection 38 cos a + 10 sin a of the slab's outline.
#include "art.h"

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

} // namespace

Canvas TileFrame(int k, int f, Rgb bg) {
    Canvas c(kFrameW, kFrameH, bg);
    const FrameShape& s = aFrame[f];
    int hgt = kFrameH - s.nTop;
    c.Fill(kTileLeft, s.nTop, kTileRight - kTileLeft + 1, hgt, pal::Black);
    c.Fill(kTileLeft + 1, s.nTop + 1, kTileRight - kTileLeft - 1, hgt - 2, aTileFill[k]);
    if (s.nCrease >= 0) c.HLine(kTileLeft + 1, kTileRight - 1, s.nCrease, pal::Black);
    return c;
}

Canvas FlatTile(int k, Rgb bg) {
    Canvas c(40, 11, bg);
    DrawMiniTile(c, kTileLeft, 0, 34, 11, aTileFill[k]);
    return c;
}

void DrawMiniTile(Canvas& c, int x, int y, int w, int h, Rgb fill) {
    c.Fill(x, y, w, h, pal::Black);
    c.Fill(x + 1, y + 1, w - 2, h - 2, fill);
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
