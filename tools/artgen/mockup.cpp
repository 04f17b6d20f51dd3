// Mock-ups of the title screen and of the game screen, put together from the
// generated pictures the way the game lays them out, so that the artwork can
// be judged in place while it is drawn (artgen --mock).
#include "mockup.h"

#include "font.h"

namespace {

const Canvas* Pic(const AssetList& list, const std::string& name) {
    for (const Asset& a : list)
        if (a.name == name) return &a.images[0];
    return nullptr;
}

void Put(Canvas& c, const AssetList& list, const std::string& name, int x, int y) {
    if (const Canvas* p = Pic(list, name)) c.Blit(*p, x, y);
}

// The platform's Rectangle: right and bottom exclusive, black outline.
void Rect(Canvas& c, int l, int t, int r, int b, Rgb fill) {
    c.Fill(l, t, r - l, b - t, pal::Black);
    c.Fill(l + 1, t + 1, r - l - 2, b - t - 2, fill);
}

void Polygon(Canvas& c, std::vector<int> xy, Rgb fill) {
    c.FillPolygon(xy, fill);
    for (size_t i = 0; i < xy.size(); i += 2) {
        size_t j = (i + 2) % xy.size();
        c.Line(xy[i], xy[i + 1], xy[j], xy[j + 1], pal::Black);
    }
}

// The raised-slab frame: grey faces up and to the right, and a bevel.
void Extruded(Canvas& c, int L, int T, int R, int B, int d, bool bevel) {
    Polygon(c, {R, T, R + d, T - d, R + d, B - d - 1, R, B - 1}, pal::Grey);
    Polygon(c, {L, T, L + d, T - d, R + d, T - d, R, T}, pal::Grey);
    if (bevel) {
        int l = L + 1, t = T + 1, r = R - 1, b = B - 2;
        c.VLine(l, t, b, pal::White);
        c.HLine(l, r, t, pal::White);
        c.VLine(r, t, b, pal::Grey);
        c.HLine(l, r, b, pal::Grey);
    }
}

void Background(Canvas& c, const AssetList& list, int level) {
    const Canvas* p = Pic(list, "LEVEL" + std::to_string(level));
    if (!p) return;
    for (int y = 0; y < c.h; y += p->h)
        for (int x = 0; x < c.w; x += p->w) c.Blit(*p, x, y);
}

void RightPanel(Canvas& c, const AssetList& list, bool pressed) {
    Rect(c, 505, 34, 600, 450, pal::Silver);
    Extruded(c, 506, 34, 598, 450, 10, true);
    static const char* const aBtn[6] = {"NEW", "OPTION", "SCORE", "WARP", "HELP", "QUIT"};
    for (int i = 0; i < 6; i++)
        Put(c, list, std::string(aBtn[i]) + (pressed && i == 1 ? "BTNDOWN" : "BTNUP"), 511,
            40 + 70 * i);
}

const int aLaneX[5] = {274, 315, 356, 397, 438};
const int aRowY[5] = {436, 420, 404, 388, 372};

} // namespace

Canvas MockTitle(const AssetList& list) {
    Canvas c(640, 480, pal::Black);
    Background(c, list, 1);
    RightPanel(c, list, false);
    Rect(c, 29, 34, 480, 450, pal::Silver);
    Extruded(c, 29, 34, 479, 450, 10, true);
    Rect(c, 85, 105, 420, 225, pal::Silver);
    Put(c, list, "MAINTITLE", 105, 105);
    Extruded(c, 85, 105, 419, 225, 5, true);
    Rect(c, 85, 270, 420, 390, pal::Silver);
    Put(c, list, "MAINCREDITS", 105, 270);
    Extruded(c, 85, 270, 419, 390, 5, true);
    Rect(c, 90, 230, 424, 260, pal::White);
    if (const Canvas* cr = Pic(list, "CREDITS"))
        for (int j = 0; j < 25; j++)
            for (int i = 0; i < 329; i++) c.Set(94 + i, 231 + j, cr->Get(300 + i, j));
    // The title tiles: rows of seven above and below, columns of four.
    int n = 0;
    auto tile = [&](int x, int y) {
        Put(c, list, std::string(aTileWord[n % 8]) + "TILE" + std::to_string((n * 3) % 10), x, y);
        n++;
    };
    for (int i = 0; i < 7; i++) tile(35 + 67 * i, 40);
    for (int i = 0; i < 4; i++) tile(35, 110 + 70 * i);
    for (int i = 0; i < 7; i++) tile(35 + 67 * i, 390);
    for (int i = 0; i < 4; i++) tile(437, 110 + 70 * i);
    // The button chase frames one button.
    c.Frame(509, 108, 87, 59, pal::Yellow);
    c.Frame(510, 109, 85, 57, pal::Yellow);
    return c;
}

Canvas MockGame(const AssetList& list, int level) {
    Canvas c(640, 480, pal::Black);
    Background(c, list, level);
    RightPanel(c, list, true);
    Rect(c, 29, 34, 248, 450, pal::Silver);
    Extruded(c, 29, 34, 247, 450, 10, false);
    // The side panel at (29, 34).
    int px = 29, py = 34;
    Rect(c, px, py, px + 219, py + 416, pal::Silver);
    Put(c, list, "TITLE", px + 9, py + 13);
    Extruded(c, px + 9, py + 12, px + 209, py + 106, 5, true);
    c.Frame(px + 9, py + 12, 201, 94, pal::Black);
    static const int aLine[3][2] = {{137, 156}, {191, 210}, {376, 395}};
    static const char* const aText[3] = {" Level 07", " Score: 00123450",
                                         " 3 3-Tile-Diagonals To Go"};
    static const Rgb aInk[3] = {pal::Blue, pal::Red, pal::DarkGreen};
    for (int i = 0; i < 3; i++) {
        Extruded(c, px + 9, py + aLine[i][0] - 12, px + 209, py + aLine[i][1] + 9, 5, true);
        Rect(c, px + 14, py + aLine[i][0], px + 203, py + aLine[i][1], pal::White);
        TextStyle st;
        st.face = aInk[i];
        DrawTextCentred(c, px + 108, py + aLine[i][0] + 6, aText[i], st);
    }
    Extruded(c, px + 9, py + 236, px + 209, py + 277, 5, true);
    Rect(c, px + 14, py + 249, px + 199, py + 268, pal::White);
    for (int i = 0; i < 3; i++) Put(c, list, "LIFE", px + 18 + 25 * i, py + 255);
    Put(c, list, "GOAL", px + 9, py + 291);
    Extruded(c, px + 9, py + 291, px + 204, py + 351, 5, false);
    // An example of the goal: a diagonal of three.
    static const int aCellX[5][2] = {{45, 75}, {78, 107}, {110, 139}, {142, 171}, {174, 203}};
    static const int aCellY[5][2] = {{293, 301}, {304, 313}, {316, 325}, {328, 337}, {340, 349}};
    for (int k = 0; k < 3; k++)
        Rect(c, px + aCellX[k][0], py + aCellY[2 + k][0], px + aCellX[k][1], py + aCellY[2 + k][1],
             pal::Cyan);
    // The playfield.
    Rect(c, 273, 301, 480, 450, pal::White);
    static const int aBins[5][5] = {{0, 1, 2, -1, -1},
                                    {3, 3, -1, -1, -1},
                                    {4, 5, 6, 7, -1},
                                    {1, -1, -1, -1, -1},
                                    {2, 0, 6, -1, -1}};
    for (int b = 0; b < 5; b++)
        for (int r = 0; r < 5; r++) {
            int v = aBins[b][r];
            Put(c, list, v < 0 ? "SMALLTILEERASE" : std::string(aTileWord[v]) + "TILE", aLaneX[b],
                aRowY[r]);
        }
    for (int r = 0; r < 5; r++) c.HLine(273, 479, aRowY[r] + 13, pal::Black);
    c.HLine(273, 479, aRowY[4] - 3, pal::Black);
    for (int b = 0; b < 5; b++) c.VLine(aLaneX[b] - 1, 369, 449, pal::Black);
    c.VLine(aLaneX[4] + 41, 369, 449, pal::Black);
    Rect(c, 273, 34, 480, 302, pal::Silver);
    Extruded(c, 273, 34, 479, 450, 10, false);
    static const int aFall[4][4] = {{0, 60, 1, 0}, {2, 130, 3, 4}, {3, 200, 5, 7}, {4, 90, 7, 2}};
    for (const auto& f : aFall)
        Put(c, list, std::string(aTileWord[f[2]]) + "TILE" + std::to_string(f[3]), aLaneX[f[0]],
            f[1]);
    int lane = 1, held = 2, y = 305 + 10 * held;
    Put(c, list, "PADDLE2", aLaneX[lane], y);
    Put(c, list, "REDTILE", aLaneX[lane], y - 10);
    Put(c, list, "BLUETILE", aLaneX[lane], y - 20);
    return c;
}

Canvas MockPatterns(const AssetList& list) {
    // Every pattern laid over a 128 x 128 square, ten to a row, so that
    // seams and restlessness show as they would on the screen.
    const int kCell = 128, kGap = 8;
    Canvas c(10 * (kCell + kGap) + kGap, 5 * (kCell + kGap + 10) + kGap, MakeRgb(44, 52, 68));
    for (int level = 1; level <= 50; level++) {
        const Canvas* p = Pic(list, "LEVEL" + std::to_string(level));
        if (!p) continue;
        int x0 = kGap + ((level - 1) % 10) * (kCell + kGap);
        int y0 = kGap + ((level - 1) / 10) * (kCell + kGap + 10);
        TextStyle st;
        st.face = pal::White;
        DrawText(c, x0, y0, std::to_string(level).c_str(), st);
        for (int y = 0; y < kCell; y++)
            for (int x = 0; x < kCell; x++) c.Set(x0 + x, y0 + 10 + y, p->Get(x % p->w, y % p->h));
    }
    return c;
}
