// The six command buttons, the side panel's title and life pictures, and the
// studio mark of the About box.
#include "art.h"
#include "font.h"
#include "quarrion_version.h"

#include <cmath>

namespace {

const Rgb aLetterFace[8] = {pal::Green,   pal::Red,   pal::Yellow,  pal::Blue,
                            pal::Magenta, pal::White, pal::DarkRed, pal::Cyan};
const Rgb aLetterDark[8] = {pal::DarkGreen, pal::DarkRed, pal::Olive, pal::Navy,
                            pal::Plum,      pal::Silver,  pal::Black, pal::Teal};

const int kBtnW = 83, kBtnH = 55;

// --- button pictures, drawn around the centre (cx, cy) ------------------------------

void PicNew(Canvas& c, int cx, int cy) {
    // A burst with a fresh tile in it.
    std::vector<int> pts;
    const double kPi = 3.14159265358979323846;
    for (int i = 0; i < 16; i++) {
        double a = i * kPi / 8, r = i % 2 ? 7.0 : 14.0;
        pts.push_back(cx + int(std::lround(r * 1.3 * std::cos(a))));
        pts.push_back(cy + int(std::lround(r * std::sin(a))));
    }
    c.FillPolygon(pts, pal::Yellow);
    for (size_t i = 0; i < pts.size(); i += 2) {
        size_t j = (i + 2) % pts.size();
        c.Line(pts[i], pts[i + 1], pts[j], pts[j + 1], pal::Olive);
    }
    DrawMiniTile(c, cx - 8, cy - 6, 17, 13, 0);
}

void PicOptions(Canvas& c, int cx, int cy) {
    // Two sliders, set to different places.
    for (int k = 0; k < 2; k++) {
        int y = cy - 6 + 12 * k, knob = cx + (k ? 8 : -10);
        c.HLine(cx - 20, cx + 20, y - 1, pal::Grey);
        c.HLine(cx - 20, cx + 20, y, pal::Black);
        c.HLine(cx - 20, cx + 20, y + 1, pal::White);
        c.HLine(cx - 19, knob, y, k ? pal::Red : pal::Blue);
        c.Fill(knob - 3, y - 5, 7, 11, pal::Black);
        c.Fill(knob - 3, y - 5, 6, 10, pal::White);
        c.Fill(knob - 2, y - 4, 5, 9, pal::Grey);
        c.Fill(knob - 2, y - 4, 4, 8, pal::Silver);
        for (int t = -20; t <= 20; t += 10) c.Set(cx + t, y + 3, pal::Black);
    }
}

void PicScores(Canvas& c, int cx, int cy) {
    // A winners' podium, first place in the middle.
    struct Step {
        int dx, h;
        Rgb col;
        const char* sz;
    };
    static const Step aStep[3] = {
        {-20, 10, pal::Silver, "2"}, {-6, 16, pal::Yellow, "1"}, {8, 7, pal::DarkRed, "3"}};
    int base = cy + 12;
    for (const Step& s : aStep) {
        c.Fill(cx + s.dx, base - s.h, 14, s.h, pal::Black);
        c.Fill(cx + s.dx + 1, base - s.h + 1, 12, s.h - 2,
               s.col == pal::Silver ? pal::White : s.col);
        TextStyle st;
        st.face = s.col == pal::DarkRed ? pal::White : pal::Black;
        DrawTextCentred(c, cx + s.dx + 7, base - s.h + 2, s.sz, st);
    }
    // A star over the winner.
    std::vector<int> pts;
    const double kPi = 3.14159265358979323846;
    for (int i = 0; i < 10; i++) {
        double a = -kPi / 2 + i * kPi / 5, r = i % 2 ? 3.0 : 7.0;
        pts.push_back(cx + 1 + int(std::lround(r * std::cos(a))));
        pts.push_back(cy - 10 + int(std::lround(r * std::sin(a))));
    }
    c.FillPolygon(pts, pal::Yellow);
    for (size_t i = 0; i < pts.size(); i += 2) {
        size_t j = (i + 2) % pts.size();
        c.Line(pts[i], pts[i + 1], pts[j], pts[j + 1], pal::Black);
    }
}

void PicWarp(Canvas& c, int cx, int cy) {
    // A tunnel of rings, and a tile flying into it.
    c.FillEllipse(cx + 4 - 18, cy - 12, 36, 24, pal::Black);
    c.FillEllipse(cx + 4 - 17, cy - 11, 34, 22, pal::Cyan);
    c.FillEllipse(cx + 4 - 13, cy - 8, 27, 16, pal::Blue);
    c.FillEllipse(cx + 4 - 8, cy - 5, 18, 10, pal::Navy);
    c.FillEllipse(cx + 4 - 3, cy - 2, 8, 4, pal::Black);
    for (int i = 0; i < 3; i++) c.HLine(cx - 24, cx - 17 - 2 * i, cy - 4 + 4 * i, pal::White);
    DrawMiniTile(c, cx - 16, cy - 4, 11, 9, 2);
}

void PicHelp(Canvas& c, int cx, int cy) {
    c.FillEllipse(cx - 13, cy - 13, 27, 27, pal::Black);
    c.FillEllipse(cx - 12, cy - 12, 25, 25, pal::Yellow);
    TextStyle st;
    st.nScaleX = st.nScaleY = 3;
    st.face = pal::Blue;
    int w = TextWidth("?", st);
    DrawText(c, cx - w / 2 + 1, cy - 10, "?", st);
}

void PicQuit(Canvas& c, int cx, int cy) {
    // An open door and the way out.
    int x0 = cx - 18, y0 = cy - 13;
    c.Fill(x0, y0, 18, 27, pal::Black);
    c.Fill(x0 + 2, y0 + 2, 14, 25, pal::Navy);
    c.FillPolygon({x0 + 2, y0 + 2, x0 + 10, y0 + 6, x0 + 10, y0 + 29, x0 + 2, y0 + 27}, pal::Olive);
    c.Line(x0 + 2, y0 + 2, x0 + 10, y0 + 6, pal::Black);
    c.Line(x0 + 10, y0 + 6, x0 + 10, y0 + 29, pal::Black);
    c.Set(x0 + 8, y0 + 16, pal::Yellow);
    // The arrow.
    int ay = cy + 1;
    c.Fill(cx - 2, ay - 2, 14, 5, pal::Black);
    c.FillPolygon({cx + 10, ay - 8, cx + 19, ay + 1, cx + 10, ay + 9}, pal::Black);
    c.Fill(cx - 1, ay - 1, 12, 3, pal::Red);
    c.FillPolygon({cx + 11, ay - 5, cx + 17, ay + 1, cx + 11, ay + 7}, pal::Red);
}

typedef void (*PicFn)(Canvas&, int, int);

// A button, released or pressed. Pressed, the edges turn (dark above and to
// the left, light below and to the right) and the picture and label move two
// pixels down and right, into the shade.
Canvas Button(PicFn pic, const char* label, bool pressed) {
    Canvas c(kBtnW, kBtnH, pal::Silver);
    int d = pressed ? 2 : 0;
    pic(c, kBtnW / 2 + d, 18 + d);
    TextStyle st;
    st.nScaleX = st.nScaleY = 2;
    st.nGapPx = 1;
    st.face = pal::Black;
    DrawTextCentred(c, kBtnW / 2 + d, 35 + d, label, st);
    if (!pressed) {
        c.HLine(0, kBtnW - 2, 0, pal::White);
        c.VLine(0, 0, kBtnH - 2, pal::White);
        c.HLine(0, kBtnW - 1, kBtnH - 1, pal::Black);
        c.VLine(kBtnW - 1, 0, kBtnH - 1, pal::Black);
        c.HLine(1, kBtnW - 2, kBtnH - 2, pal::Grey);
        c.VLine(kBtnW - 2, 1, kBtnH - 2, pal::Grey);
    } else {
        c.HLine(0, kBtnW - 1, 0, pal::Black);
        c.VLine(0, 0, kBtnH - 1, pal::Black);
        c.HLine(1, kBtnW - 2, 1, pal::Grey);
        c.VLine(1, 1, kBtnH - 2, pal::Grey);
        c.HLine(1, kBtnW - 1, kBtnH - 1, pal::White);
        c.VLine(kBtnW - 1, 1, kBtnH - 1, pal::White);
    }
    return c;
}

// --- side panel -----------------------------------------------------------------------

Canvas Title() {
    // The panel's frame draws over the outer two pixels; the lettering keeps
    // clear of them.
    Canvas c(192, 92, pal::Silver);
    const char* sz = "QUARRION";
    int cell = 4, w = BlockTextWidth(sz, cell);
    DrawBlockText(c, (192 - w) / 2, 8, sz, cell, aLetterFace, aLetterDark, 8, pal::Grey);
    // The eight tile colours.
    for (int k = 0; k < 8; k++) DrawMiniTile(c, 14 + 21 * k, 46, 17, 13, k);
    TextStyle st;
    st.face = pal::Navy;
    DrawTextCentred(c, 96, 67, "Catch, stack, line up!", st);
    st.face = pal::DarkRed;
    DrawTextCentred(c, 96, 78, "Version " QUARRION_VERSION_TEXT, st);
    return c;
}

Canvas Life() {
    // A tile held on a little paddle, on the white of the lives box.
    Canvas c(15, 10, pal::White);
    DrawMiniTile(c, 2, 0, 11, 6, 1);
    c.Fill(2, 5, 11, 5, pal::Black);
    c.Fill(0, 6, 15, 3, pal::Black);
    c.Fill(1, 6, 13, 3, pal::Grey);
    c.HLine(2, 12, 6, pal::Silver);
    c.Set(4, 7, pal::Green);
    c.Set(7, 7, pal::Green);
    c.Set(10, 7, pal::Green);
    return c;
}

Canvas KvoLogo() {
    Canvas c(90, 54, pal::Silver);
    // A navy badge with rounded corners.
    c.Fill(3, 2, 84, 50, pal::Black);
    c.Fill(2, 3, 86, 48, pal::Black);
    c.Fill(4, 3, 82, 48, pal::Navy);
    c.Fill(3, 4, 84, 46, pal::Navy);
    c.HLine(5, 84, 4, pal::Blue);
    c.VLine(4, 5, 48, pal::Blue);
    static const Rgb aFace[3] = {pal::Red, pal::Yellow, pal::Cyan};
    static const Rgb aDark[3] = {pal::DarkRed, pal::Olive, pal::Teal};
    int cell = 4, w = BlockTextWidth("KVO", cell);
    DrawBlockText(c, (90 - w) / 2, 5, "KVO", cell, aFace, aDark, 3, pal::Black);
    c.HLine(12, 77, 37, pal::Blue);
    TextStyle st;
    st.face = pal::White;
    DrawTextCentred(c, 45, 41, "QUARRION TEAM", st);
    return c;
}

} // namespace

void MakePanelArt(AssetList& list) {
    struct Btn {
        const char* name;
        const char* label;
        PicFn pic;
    };
    static const Btn aBtn[6] = {
        {"NEW", "NEW", PicNew},         {"OPTION", "OPTIONS", PicOptions},
        {"SCORE", "SCORES", PicScores}, {"WARP", "WARP", PicWarp},
        {"HELP", "HELP", PicHelp},      {"QUIT", "QUIT", PicQuit},
    };
    for (const Btn& b : aBtn) {
        AddBitmap(list, std::string(b.name) + "BTNUP", Button(b.pic, b.label, false));
        AddBitmap(list, std::string(b.name) + "BTNDOWN", Button(b.pic, b.label, true));
    }
    AddBitmap(list, "TITLE", Title());
    AddBitmap(list, "LIFE", Life());
    AddBitmap(list, "KVOLOGO", KvoLogo());
}
