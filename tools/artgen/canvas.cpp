#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

const Rgb aGamePalette[16] = {pal::Black, pal::DarkRed, pal::DarkGreen, pal::Olive,
                              pal::Navy,  pal::Plum,    pal::Teal,      pal::Silver,
                              pal::Grey,  pal::Red,     pal::Green,     pal::Yellow,
                              pal::Blue,  pal::Magenta, pal::Cyan,      pal::White};

const Rgb aTileFill[8] = {pal::Green,   pal::Red,   pal::Yellow,  pal::Blue,
                          pal::Magenta, pal::White, pal::DarkRed, pal::Cyan};

const char* const aTileWord[8] = {"GREEN",  "RED",   "YELLOW", "BLUE",
                                  "PURPLE", "WHITE", "DRED",   "LBLUE"};

void Canvas::Fill(int x, int y, int rw, int rh, Rgb c) {
    int x0 = std::max(x, 0), y0 = std::max(y, 0);
    int x1 = std::min(x + rw, w), y1 = std::min(y + rh, h);
    for (int j = y0; j < y1; j++)
        for (int i = x0; i < x1; i++) px[size_t(j) * size_t(w) + size_t(i)] = c;
}

void Canvas::Frame(int x, int y, int rw, int rh, Rgb c) {
    if (rw <= 0 || rh <= 0) return;
    HLine(x, x + rw - 1, y, c);
    HLine(x, x + rw - 1, y + rh - 1, c);
    VLine(x, y, y + rh - 1, c);
    VLine(x + rw - 1, y, y + rh - 1, c);
}

void Canvas::HLine(int x0, int x1, int y, Rgb c) {
    if (x0 > x1) std::swap(x0, x1);
    for (int x = x0; x <= x1; x++) Set(x, y, c);
}

void Canvas::VLine(int x, int y0, int y1, Rgb c) {
    if (y0 > y1) std::swap(y0, y1);
    for (int y = y0; y <= y1; y++) Set(x, y, c);
}

void Canvas::Line(int x0, int y0, int x1, int y1, Rgb c) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Set(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// Whether the pixel centre (i, j) lies inside the ellipse of the box.
static bool InEllipse(int x, int y, int rw, int rh, int i, int j) {
    double a = rw / 2.0, b = rh / 2.0;
    double dx = (i + 0.5 - x - a) / a, dy = (j + 0.5 - y - b) / b;
    return dx * dx + dy * dy <= 1.0;
}

void Canvas::FillEllipse(int x, int y, int rw, int rh, Rgb c) {
    for (int j = y; j < y + rh; j++)
        for (int i = x; i < x + rw; i++)
            if (InEllipse(x, y, rw, rh, i, j)) Set(i, j, c);
}

void Canvas::FrameEllipse(int x, int y, int rw, int rh, Rgb c) {
    for (int j = y; j < y + rh; j++)
        for (int i = x; i < x + rw; i++) {
            if (!InEllipse(x, y, rw, rh, i, j)) continue;
            bool edge = !InEllipse(x, y, rw, rh, i - 1, j) || !InEllipse(x, y, rw, rh, i + 1, j) ||
                        !InEllipse(x, y, rw, rh, i, j - 1) || !InEllipse(x, y, rw, rh, i, j + 1);
            if (edge) Set(i, j, c);
        }
}

void Canvas::FillPolygon(const std::vector<int>& xy, Rgb c) {
    size_t n = xy.size() / 2;
    if (n < 3) return;
    int ymin = h, ymax = -1;
    for (size_t k = 0; k < n; k++) {
        ymin = std::min(ymin, xy[2 * k + 1]);
        ymax = std::max(ymax, xy[2 * k + 1]);
    }
    for (int y = std::max(ymin, 0); y <= std::min(ymax, h - 1); y++) {
        double yc = y + 0.5;
        std::vector<double> xs;
        for (size_t k = 0; k < n; k++) {
            double ax = xy[2 * k], ay = xy[2 * k + 1];
            double bx = xy[2 * ((k + 1) % n)], by = xy[2 * ((k + 1) % n) + 1];
            if ((ay <= yc && by > yc) || (by <= yc && ay > yc))
                xs.push_back(ax + (yc - ay) * (bx - ax) / (by - ay));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t k = 0; k + 1 < xs.size(); k += 2)
            for (int x = int(std::ceil(xs[k] - 0.5)); x + 0.5 <= xs[k + 1]; x++) Set(x, y, c);
    }
}

void Canvas::Bevel(int x, int y, int rw, int rh, Rgb light, Rgb dark) {
    HLine(x, x + rw - 2, y, light);
    VLine(x, y, y + rh - 2, light);
    HLine(x, x + rw - 1, y + rh - 1, dark);
    VLine(x + rw - 1, y, y + rh - 1, dark);
}

void Canvas::Blit(const Canvas& src, int x, int y) {
    for (int j = 0; j < src.h; j++)
        for (int i = 0; i < src.w; i++) {
            Rgb c = src.Get(i, j);
            if (c != kClear) Set(x + i, y + j, c);
        }
}

void Canvas::Replace(Rgb from, Rgb to) {
    for (Rgb& c : px)
        if (c == from) c = to;
}

Mask Mask::Grown(int r) const {
    Mask out(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            bool on = false;
            for (int dy = -r; dy <= r && !on; dy++)
                for (int dx = -r; dx <= r && !on; dx++) on = Get(x + dx, y + dy);
            out.Set(x, y, on);
        }
    return out;
}

void Mask::Paint(Canvas& c, int x, int y, Rgb colour) const {
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++)
            if (m[size_t(j) * size_t(w) + size_t(i)]) c.Set(x + i, y + j, colour);
}
