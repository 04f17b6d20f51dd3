// The program's icons, each at 32 x 32 and 16 x 16, and the hand cursor.
#include "art.h"

#include <cmath>
#include <cstdlib>

// Outlines every shape of a picture drawn on a clear ground in black.
Canvas Outlined(const Canvas& src) {
    Canvas out = src;
    for (int j = 0; j < src.h; j++)
        for (int i = 0; i < src.w; i++) {
            if (src.Get(i, j) != kClear) continue;
            bool near = false;
            for (int d = 0; d < 4 && !near; d++) {
                int ni = i + (d == 0) - (d == 1), nj = j + (d == 2) - (d == 3);
                near = src.In(ni, nj) && src.Get(ni, nj) != kClear;
            }
            if (near) out.Set(i, j, pal::Black);
        }
    return out;
}

namespace {

// The game's own picture: a tile tumbling down onto a stack on the paddle.
Canvas MainIcon(int s) {
    Canvas c(s, s, kClear);
    if (s == 32) {
        c.Fill(2, 27, 28, 4, pal::Grey);
        c.HLine(2, 29, 27, pal::White);
        for (int i = 0; i < 4; i++)
            c.Fill(5 + 6 * i, 29, 4, 1, i == 1 ? pal::Green : pal::DarkGreen);
        c.Fill(5, 21, 22, 5, pal::Red);
        c.Fill(5, 15, 22, 5, pal::Yellow);
        c.Fill(9, 1, 14, 10, pal::Green);
    } else {
        c.Fill(1, 13, 14, 2, pal::Grey);
        c.Set(5, 14, pal::Green);
        c.Set(10, 14, pal::Green);
        c.Fill(3, 10, 10, 2, pal::Red);
        c.Fill(3, 7, 10, 2, pal::Yellow);
        c.Fill(4, 1, 8, 4, pal::Green);
    }
    Canvas o = Outlined(c);
    if (s == 32) {
        o.HLine(9, 22, 4, pal::Black); // the edge of the tumbling tile
        o.VLine(5, 2, 5, pal::White);  // and its fall
        o.VLine(26, 3, 7, pal::White);
    }
    return o;
}

Canvas SoundIcon(int s) {
    Canvas c(s, s, kClear);
    double f = s / 32.0;
    auto X = [&](int v) { return int(v * f + 0.5); };
    c.Fill(X(3), X(12), X(7), X(9), pal::Grey);
    c.FillPolygon({X(10), X(12), X(18), X(4), X(18), X(28), X(10), X(21)}, pal::Silver);
    c.VLine(X(17), X(6), X(26), pal::Grey);
    Canvas o = Outlined(c);
    // The sound: two arcs in front of the cone.
    if (s == 16) {
        static const int aArc[12][2] = {{11, 6},  {12, 7},  {12, 8}, {11, 9}, {13, 4}, {14, 5},
                                        {14, 10}, {13, 11}, {15, 6}, {15, 7}, {15, 8}, {15, 9}};
        for (const auto& p : aArc) o.Set(p[0], p[1], pal::Blue);
        return o;
    }
    for (int r = 0; r < 2; r++) {
        double rad = 6 + 6 * r;
        for (int j = 0; j < s; j++)
            for (int i = 20; i < s; i++) {
                double dx = i + 0.5 - 16, dy = j + 0.5 - 16;
                double d = dx * dx + dy * dy;
                if (d >= (rad - 0.5) * (rad - 0.5) && d <= (rad + 2) * (rad + 2) &&
                    std::abs(dy) < dx * 1.1)
                    o.Set(i, j, pal::Blue);
            }
    }
    return o;
}

Canvas WarpIcon(int s) {
    Canvas c(s, s, kClear);
    double f = s / 32.0;
    auto X = [&](int v) { return int(v * f + 0.5); };
    c.FillEllipse(X(6), X(4), X(26), X(24), pal::Cyan);
    c.FillEllipse(X(10), X(8), X(19), X(17), pal::Blue);
    c.FillEllipse(X(14), X(12), X(12), X(10), pal::Navy);
    c.FillEllipse(X(17), X(15), X(6), X(4), pal::Black);
    Canvas o = Outlined(c);
    // A yellow tile flying into the tunnel, with its trail.
    o.Fill(X(1), X(20), X(10), X(8), pal::Black);
    o.Fill(X(1) + 1, X(20) + 1, X(10) - 2, X(8) - 2, pal::Yellow);
    return o;
}

// The hand, pointing up with its index finger; drawn in white and outlined.
// The hot spot is the outline's top pixel over the fingertip, (8, 0).
Canvas Hand() {
    Canvas c(32, 32, kClear);
    c.Fill(7, 2, 3, 14, pal::White); // index finger
    c.Set(8, 1, pal::White);
    c.Fill(11, 7, 3, 8, pal::White); // the folded fingers
    c.Fill(15, 8, 3, 7, pal::White);
    c.Fill(19, 9, 2, 6, pal::White);
    c.Fill(7, 11, 14, 9, pal::White); // palm
    c.Fill(8, 20, 12, 1, pal::White);
    c.Fill(2, 12, 3, 2, pal::White); // thumb
    c.Fill(3, 14, 4, 1, pal::White);
    c.Fill(4, 15, 3, 2, pal::White);
    c.Fill(5, 17, 2, 1, pal::White);
    c.Fill(6, 18, 1, 2, pal::White);
    c.Fill(9, 22, 10, 3, pal::White); // cuff
    Canvas o = Outlined(c);
    // Creases between the folded fingers and above the cuff.
    o.VLine(10, 11, 12, pal::Black);
    o.VLine(14, 11, 12, pal::Black);
    o.VLine(18, 11, 12, pal::Black);
    return o;
}

} // namespace

void MakeIconArt(AssetList& list) {
    struct Ico {
        const char* name;
        Canvas (*fn)(int);
    };
    static const Ico aIco[3] = {
        {"MAINICON", MainIcon}, {"SOUNDICON", SoundIcon}, {"WARPICON", WarpIcon}};
    for (const Ico& ic : aIco) {
        Asset a;
        a.name = ic.name;
        a.kind = ASSET_ICON;
        a.images.push_back(ic.fn(32));
        a.images.push_back(ic.fn(16));
        list.push_back(a);
    }
    Asset cur;
    cur.name = "Finger";
    cur.kind = ASSET_CURSOR;
    cur.images.push_back(Hand());
    cur.nHotX = 8;
    cur.nHotY = 0;
    list.push_back(cur);
}
