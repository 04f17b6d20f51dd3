#include "access.h"

#include "art.h"
#include "font.h"

#include <algorithm>
#include <cmath>

namespace {

double ToLinear(int v) {
    double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int FromLinear(double c) {
    c = std::clamp(c, 0.0, 1.0);
    double v = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return int(std::lround(v * 255));
}

Canvas Mapped(const Canvas& src, Rgb (*fn)(Rgb), int scale) {
    Canvas out(src.w * scale, src.h * scale);
    for (int y = 0; y < out.h; y++)
        for (int x = 0; x < out.w; x++) out.Set(x, y, fn(src.Get(x / scale, y / scale)));
    return out;
}

} // namespace

Rgb GreyOf(Rgb c) {
    int l = (299 * RgbR(c) + 587 * RgbG(c) + 114 * RgbB(c) + 500) / 1000;
    return MakeRgb(l, l, l);
}

Rgb DeuteranopeOf(Rgb c) {
    // The full-severity deuteranopia matrix of Machado, Oliveira and
    // Fernandes (2009), applied to linear light.
    static const double m[3][3] = {{0.367322, 0.860646, -0.227968},
                                   {0.280085, 0.672501, 0.047413},
                                   {-0.011820, 0.042940, 0.968881}};
    double in[3] = {ToLinear(RgbR(c)), ToLinear(RgbG(c)), ToLinear(RgbB(c))}, out[3];
    for (int i = 0; i < 3; i++) out[i] = m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2];
    return MakeRgb(FromLinear(out[0]), FromLinear(out[1]), FromLinear(out[2]));
}

Canvas TilesAccessSheet() {
    // Three bands, one per view; in each the eight tiles face-on (twice
    // their size), flat (four times) and flat at their own size, on the
    // white of the bins.
    const int kCell = 172, kBandH = 200, kTop = 34, kLeft = 120;
    static const char* const aView[3] = {"colour", "greyscale", "deuteranopia"};
    static Rgb (*const aFn[3])(Rgb) = {nullptr, GreyOf, DeuteranopeOf};
    auto same = [](Rgb c) { return c; };
    Canvas c(kLeft + 8 * kCell, kTop + 3 * kBandH, pal::White);
    TextStyle head;
    head.nScaleX = head.nScaleY = 2;
    DrawText(c, 8, 8, "The eight tiles as players see them", head);
    for (int v = 0; v < 3; v++) {
        int y0 = kTop + v * kBandH;
        c.HLine(0, c.w - 1, y0, pal::Grey);
        DrawText(c, 8, y0 + 90, aView[v], TextStyle());
        Rgb (*fn)(Rgb) = aFn[v] ? aFn[v] : +same;
        for (int k = 0; k < 8; k++) {
            int x0 = kLeft + k * kCell;
            Canvas face = Mapped(TileFrame(k, 0, pal::White), fn, 2);
            c.Blit(face, x0 + (kCell - face.w) / 2, y0 + 6);
            Canvas flat = Mapped(FlatTile(k), fn, 4);
            c.Blit(flat, x0 + (kCell - flat.w) / 2, y0 + 108);
            Canvas one = Mapped(FlatTile(k), fn, 1);
            c.Blit(one, x0 + (kCell - one.w) / 2, y0 + 160);
            if (v == 0) DrawText(c, x0 + 40, y0 + 180, aTileWord[k], TextStyle());
        }
    }
    return c;
}
