// The pictures of the title screen, the pause logo, the goal pictures of the
// side panel and the game-over and ending screens.
#include "art.h"
#include "font.h"
#include "quarrion_version.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const Rgb aLetterFace[8] = {pal::Green,   pal::Red,   pal::Yellow,  pal::Blue,
                            pal::Magenta, pal::White, pal::DarkRed, pal::Cyan};
const Rgb aLetterDark[8] = {pal::DarkGreen, pal::DarkRed, pal::Olive, pal::Navy,
                            pal::Plum,      pal::Silver,  pal::Black, pal::Teal};

TextStyle Plain(Rgb face, int scale = 1) {
    TextStyle st;
    st.face = face;
    st.nScaleX = st.nScaleY = scale;
    return st;
}

// The display style: heavy letters with a black outline, standing out of the
// picture up and to the right like the game's panels.
TextStyle Display(int scale, Rgb face, Rgb faceLow, Rgb side, int depth) {
    TextStyle st;
    st.nScaleX = st.nScaleY = scale;
    st.nBold = scale / 3;
    st.face = face;
    st.faceLow = faceLow;
    st.outline = pal::Black;
    st.side = side;
    st.nDepth = depth;
    st.nGapPx = scale + depth; // room for the extrusion between letters
    return st;
}

// Draws a picture made on a clear background, outlined in black, at (x, y).
void BlitOutlined(Canvas& dst, const Canvas& src, int x, int y) {
    dst.Blit(Outlined(src), x, y);
}

// A four-pointed sparkle.
void Sparkle(Canvas& c, int x, int y, int r, Rgb col) {
    c.HLine(x - r, x + r, y, col);
    c.VLine(x, y - r, y + r, col);
    c.Set(x, y, pal::White);
}

// A row of the eight flat tiles in miniature.
void TileRow(Canvas& c, int cx, int y, int w, int h, int gap) {
    int total = 8 * w + 7 * gap, x = cx - total / 2;
    for (int k = 0; k < 8; k++) DrawMiniTile(c, x + k * (w + gap), y, w, h, k);
}

// --- title screen ---------------------------------------------------------------

Canvas MainTitle() {
    Canvas c(300, 115, pal::Silver);
    const char* sz = "QUARRION";
    int cell = 6, w = BlockTextWidth(sz, cell);
    DrawBlockText(c, (300 - w) / 2, 8, sz, cell, aLetterFace, aLetterDark, 8, pal::Grey);
    TileRow(c, 150, 62, 28, 11, 6);
    DrawTextCentred(c, 150, 78, "Catch the tiles, stack them, line them up!", Plain(pal::Navy));
    DrawTextCentred(c, 150, 94, "Version " QUARRION_VERSION_TEXT, Plain(pal::DarkRed));
    return c;
}

Canvas MainCredits() {
    Canvas c(300, 115, pal::Silver);
    TextStyle head = Plain(pal::DarkRed, 2);
    head.nGapPx = 2;
    DrawTextCentred(c, 150, 5, "How to play", head);
    struct Row {
        const char* key;
        const char* what;
    };
    static const Row aRows[] = {
        {"Enter or N", "start a new game"},
        {GLYPH_LEFT " " GLYPH_RIGHT, "move the paddle"},
        {GLYPH_UP, "turn the stack on the paddle"},
        {GLYPH_DOWN, "drop the top tile into the bin"},
        {"Space", "pause, and play on"},
    };
    int y = 26;
    for (const Row& r : aRows) {
        TextStyle key = Plain(pal::Blue);
        DrawText(c, 100 - TextWidth(r.key, key), y, r.key, key);
        DrawText(c, 112, y, r.what, Plain(pal::Black));
        y += 11;
    }
    DrawTextCentred(c, 150, y + 3, "Line up three or more of one colour!", Plain(pal::Navy));
    c.HLine(40, 259, y + 16, pal::Grey);
    c.HLine(40, 259, y + 17, pal::White);
    DrawTextCentred(c, 150, y + 22, "Design, code, art and sound: the Quarrion team",
                    Plain(pal::DarkRed));
    return c;
}

// The scrolling credits: one line that repeats every 2427 pixels, the step
// at which the title screen's scroll starts again, so the band runs on
// without a jump; the last 373 columns repeat the first ones.
Canvas CreditsStrip() {
    const int kLoop = 2427;
    static const char* const aPart[] = {
        "Quarrion " QUARRION_VERSION_TEXT,
        "The Quarrion team: design, programming, artwork, sound and music",
        "Enter or N starts a game",
        GLYPH_LEFT " and " GLYPH_RIGHT " move the paddle, " GLYPH_UP " turns the stack, " GLYPH_DOWN
                   " drops a tile, Space pauses",
        "Line up three or more of one colour",
    };
    TextStyle st = Plain(pal::Blue, 2);
    st.nGapPx = 2;
    TextStyle sep = st;
    // Measure, then share the spare room out between the parts.
    int n = int(sizeof aPart / sizeof aPart[0]), text = 0;
    int sepW = TextWidth(GLYPH_TILE, sep);
    for (int i = 0; i < n; i++) text += TextWidth(aPart[i], st);
    int gap = (kLoop - text - n * sepW) / (2 * n);
    if (gap < 12) {
        // The build stops rather than ship a ticker whose parts run together.
        std::fprintf(stderr, "artgen: the credits are %d pixels too long\n", (12 - gap) * 2 * n);
        std::exit(1);
    }
    Canvas loop(kLoop, 25, pal::White);
    int x = gap;
    for (int i = 0; i < n; i++) {
        DrawText(loop, x, 4, aPart[i], st);
        x += TextWidth(aPart[i], st) + gap;
        DrawText(loop, x, 4, GLYPH_TILE, sep);
        x += sepW + gap;
    }
    Canvas c(2800, 25, pal::White);
    for (int j = 0; j < 25; j++)
        for (int i = 0; i < 2800; i++) c.Set(i, j, loop.Get(i % kLoop, j));
    return c;
}

Canvas PausedLogo() {
    Canvas c(180, 60, pal::Silver);
    TextStyle st = Display(4, pal::Yellow, pal::Yellow, pal::Olive, 3);
    DrawTextCentred(c, 88, 9, "PAUSED", st);
    DrawTextCentred(c, 90, 45, "Press Space to play on", Plain(pal::Navy));
    return c;
}

// --- goal pictures ----------------------------------------------------------------

// The goal pictures stand at (9, 291) of the side panel under a frame that
// redraws their top row and right column in black; they carry the same edge.
Canvas GoalBase() {
    Canvas c(196, 60, pal::Silver);
    c.Frame(0, 0, 196, 60, pal::Black);
    return c;
}

// The example cells of the pattern goals, in picture coordinates: the panel
// paints them at these rectangles (right and bottom exclusive) plus (9, 291).
const int aCellX[10] = {36, 66, 69, 98, 101, 130, 133, 162, 165, 194};
const int aCellY[10] = {2, 10, 13, 22, 25, 34, 37, 46, 49, 58};

Canvas Goal() {
    Canvas c = GoalBase();
    for (int col = 0; col < 5; col++)
        for (int row = 0; row < 5; row++) {
            int x0 = aCellX[2 * col], x1 = aCellX[2 * col + 1];
            int y0 = aCellY[2 * row], y1 = aCellY[2 * row + 1];
            c.Fill(x0, y0, x1 - x0, y1 - y0, pal::Black);
            c.Fill(x0 + 1, y0 + 1, x1 - x0 - 2, y1 - y0 - 2, pal::White);
        }
    TextStyle st = Plain(pal::Navy);
    DrawTextCentred(c, 18, 12, "MAKE", st);
    DrawTextCentred(c, 18, 23, "THIS", st);
    TextStyle arrow = Plain(pal::Red, 2);
    DrawTextCentred(c, 18, 36, GLYPH_RIGHT, arrow);
    return c;
}

Canvas GoalPoints() {
    Canvas c = GoalBase();
    // A gold star.
    Canvas star(40, 40, kClear);
    std::vector<int> pts;
    const double kPi = 3.14159265358979323846;
    for (int i = 0; i < 10; i++) {
        double a = -kPi / 2 + i * kPi / 5, r = i % 2 ? 8.0 : 19.0;
        pts.push_back(20 + int(std::lround(r * std::cos(a))));
        pts.push_back(21 + int(std::lround(r * std::sin(a))));
    }
    star.FillPolygon(pts, pal::Yellow);
    for (int j = 0; j < 40; j++)
        for (int i = 21; i < 40; i++)
            if (star.Get(i, j) == pal::Yellow) star.Set(i, j, pal::Olive);
    BlitOutlined(c, star, 4, 9);
    Sparkle(c, 44, 12, 3, pal::Yellow);
    TextStyle st = Display(4, pal::Red, pal::Red, pal::DarkRed, 2);
    st.nScaleY = 5;
    st.nScaleX = 3;
    st.nGapPx = 5;
    DrawTextCentred(c, 124, 14, "POINTS", st);
    return c;
}

Canvas GoalTiles() {
    Canvas c = GoalBase();
    // Three tiles caught on a little paddle.
    DrawMiniTile(c, 8, 12, 30, 10, 0);
    DrawMiniTile(c, 8, 21, 30, 10, 1);
    DrawMiniTile(c, 8, 30, 30, 10, 3);
    c.Fill(5, 40, 36, 8, pal::Black);
    c.Fill(6, 41, 34, 6, pal::Grey);
    c.HLine(6, 39, 41, pal::White);
    for (int i = 0; i < 4; i++) c.Fill(9 + 8 * i, 43, 4, 3, i == 1 ? pal::Green : pal::DarkGreen);
    TextStyle st = Display(4, pal::Blue, pal::Blue, pal::Navy, 2);
    st.nScaleY = 5;
    st.nScaleX = 3;
    st.nGapPx = 5;
    DrawTextCentred(c, 124, 14, "TILES", st);
    return c;
}

// --- game over and ending ------------------------------------------------------------

Canvas GameOver() {
    Canvas c(360, 60, pal::Silver);
    TextStyle st = Display(6, pal::Red, pal::Red, pal::DarkRed, 4);
    st.nBold = 2;
    DrawTextCentred(c, 178, 12, "GAME OVER", st);
    return c;
}

Canvas Trophy() {
    Canvas t(120, 122, kClear);
    int cx = 60;
    // Handles: rings on both sides of the cup.
    for (int side = 0; side < 2; side++) {
        int hx = side ? cx + 22 : cx - 52;
        t.FillEllipse(hx, 10, 30, 40, pal::Yellow);
        t.FillEllipse(hx + 6, 16, 18, 28, kClear);
    }
    // The bowl: the lower part of a tall ellipse under a flat rim.
    Canvas bowl(120, 122, kClear);
    bowl.FillEllipse(cx - 36, -36, 72, 110, pal::Yellow);
    for (int j = 0; j < 8; j++) bowl.HLine(0, 119, j, kClear);
    t.Blit(bowl, 0, 0);
    t.FillEllipse(cx - 36, 2, 72, 14, pal::Yellow);
    t.FillEllipse(cx - 31, 5, 62, 8, pal::Olive);
    // Stem, knot and a stepped foot.
    t.Fill(cx - 6, 70, 12, 22, pal::Yellow);
    t.FillEllipse(cx - 13, 78, 26, 10, pal::Yellow);
    t.Fill(cx - 26, 92, 52, 8, pal::Yellow);
    t.Fill(cx - 34, 100, 68, 20, pal::Olive);
    // Light from the left: a bright stripe, the right side in shade.
    for (int j = 10; j < 100; j++) {
        for (int i = cx + 14; i < 120; i++)
            if (t.Get(i, j) == pal::Yellow) t.Set(i, j, pal::Olive);
        for (int i = cx - 24; i < cx - 19; i++)
            if (t.Get(i, j) == pal::Yellow && j > 16 && j < 60) t.Set(i, j, pal::White);
    }
    // The plate on the foot.
    t.Fill(cx - 22, 104, 44, 12, pal::Black);
    t.Fill(cx - 21, 105, 42, 10, pal::Yellow);
    DrawTextCentred(t, cx, 107, "50", Plain(pal::Black));
    return t;
}

// The top half of both ending pictures: the greeting, the cup and tiles.
Canvas EndingBase() {
    Canvas c(500, 400, pal::Silver);
    TextStyle st = Display(4, pal::Yellow, pal::Yellow, pal::Olive, 3);
    st.nBold = 1;
    DrawTextCentred(c, 248, 16, "CONGRATULATIONS!", st);
    BlitOutlined(c, Trophy(), 190, 62);
    // Tiles tumbling down on both sides of the cup, one frame apart.
    for (int i = 0; i < 3; i++) {
        c.Blit(TileFrame(i, 2 * i), 36 + 52 * i, 64 + 26 * i);
        c.Blit(TileFrame(5 - i, 8 - 2 * i), 424 - 52 * i, 64 + 26 * i);
    }
    Sparkle(c, 180, 72, 4, pal::White);
    Sparkle(c, 322, 80, 3, pal::White);
    Sparkle(c, 200, 170, 3, pal::Yellow);
    Sparkle(c, 300, 60, 4, pal::Yellow);
    TileRow(c, 250, 194, 34, 11, 8);
    TextStyle line = Plain(pal::Navy, 2);
    line.nGapPx = 2;
    DrawTextCentred(c, 250, 216, "You have cleared all 50 levels!", line);
    return c;
}

// A game won with a place in the high-score table: the lower part is a plain
// band for the name field, which the ending screen lays over it. By the
// dialog's font the field comes to lie within x 45..413, y 304..371 of the
// picture; only an etched line marks the band's top and bottom.
Canvas Ending() {
    Canvas c = EndingBase();
    TextStyle line = Plain(pal::Black, 2);
    line.nGapPx = 2;
    DrawTextCentred(c, 250, 240, "Your score earns a place among the best.", line);
    TextStyle ask = Plain(pal::DarkRed, 2);
    ask.nGapPx = 2;
    DrawTextCentred(c, 250, 264, GLYPH_DOWN " Type your name and press Enter " GLYPH_DOWN, ask);
    c.HLine(12, 487, 284, pal::Grey);
    c.HLine(12, 487, 285, pal::White);
    c.HLine(12, 487, 394, pal::Grey);
    c.HLine(12, 487, 395, pal::White);
    return c;
}

// A game won without a place in the table: no name to ask for.
Canvas Ending2() {
    Canvas c = EndingBase();
    TextStyle line = Plain(pal::Black, 2);
    line.nGapPx = 2;
    DrawTextCentred(c, 250, 244, "Thank you for playing Quarrion.", line);
    TextStyle more = Plain(pal::DarkRed, 2);
    more.nGapPx = 2;
    DrawTextCentred(c, 250, 268, "Press Enter to go back to the title.", more);
    // The paddle holding a full stack, the last picture of the game.
    int x0 = 230;
    for (int i = 0; i < 5; i++) c.Blit(FlatTile((i * 3 + 1) % 8, pal::Silver), x0, 344 - 10 * i);
    c.Fill(x0 + 3, 355, 34, 12, pal::Black);
    c.Fill(x0 + 1, 356, 38, 10, pal::Black);
    c.Fill(x0 + 2, 356, 36, 10, pal::Grey);
    c.HLine(x0 + 3, x0 + 36, 356, pal::White);
    for (int i = 0; i < 5; i++) c.Fill(x0 + 4 + 7 * i, 359, 4, 4, pal::Green);
    TileRow(c, 250, 378, 34, 11, 8);
    return c;
}

} // namespace

void MakeScreenArt(AssetList& list) {
    AddBitmap(list, "MAINTITLE", MainTitle());
    AddBitmap(list, "MAINCREDITS", MainCredits());
    Asset credits;
    credits.name = "CREDITS";
    credits.kind = ASSET_BMP1;
    credits.c0 = pal::White;
    credits.c1 = pal::Blue;
    credits.images.push_back(CreditsStrip());
    list.push_back(credits);
    AddBitmap(list, "PAUSEDLOGO", PausedLogo());
    AddBitmap(list, "GOAL", Goal());
    AddBitmap(list, "GOALPOINTS", GoalPoints());
    AddBitmap(list, "GOALTILES", GoalTiles());
    AddBitmap(list, "GAMEOVER", GameOver());
    AddBitmap(list, "ENDING", Ending());
    AddBitmap(list, "ENDING2", Ending2());
}
