// A small true-colour drawing surface for the artwork generator. Pixels are
// 0xRRGGBB; the writers map them onto the palette of the file they write, so
// every colour drawn here must exist in that palette (checked when writing).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef uint32_t Rgb;

inline constexpr Rgb MakeRgb(int r, int g, int b) {
    return (Rgb(r) << 16) | (Rgb(g) << 8) | Rgb(b);
}
inline int RgbR(Rgb c) {
    return int((c >> 16) & 0xFF);
}
inline int RgbG(Rgb c) {
    return int((c >> 8) & 0xFF);
}
inline int RgbB(Rgb c) {
    return int(c & 0xFF);
}

// A pixel of an icon or cursor that lets the screen show through.
constexpr Rgb kClear = 0x01000000;

// The sixteen colours of the game's palette, in the classic display order.
namespace pal {
constexpr Rgb Black = MakeRgb(0, 0, 0);
constexpr Rgb DarkRed = MakeRgb(128, 0, 0);
constexpr Rgb DarkGreen = MakeRgb(0, 128, 0);
constexpr Rgb Olive = MakeRgb(128, 128, 0);
constexpr Rgb Navy = MakeRgb(0, 0, 128);
constexpr Rgb Plum = MakeRgb(128, 0, 128);
constexpr Rgb Teal = MakeRgb(0, 128, 128);
constexpr Rgb Silver = MakeRgb(192, 192, 192);
constexpr Rgb Grey = MakeRgb(128, 128, 128);
constexpr Rgb Red = MakeRgb(255, 0, 0);
constexpr Rgb Green = MakeRgb(0, 255, 0);
constexpr Rgb Yellow = MakeRgb(255, 255, 0);
constexpr Rgb Blue = MakeRgb(0, 0, 255);
constexpr Rgb Magenta = MakeRgb(255, 0, 255);
constexpr Rgb Cyan = MakeRgb(0, 255, 255);
constexpr Rgb White = MakeRgb(255, 255, 255);
} // namespace pal

extern const Rgb aGamePalette[16];

// The fill colour of each tile colour, indexed by tile colour 0..7.
extern const Rgb aTileFill[8];
extern const char* const aTileWord[8];

struct Canvas {
    int w = 0, h = 0;
    std::vector<Rgb> px;

    Canvas() {}
    Canvas(int width, int height, Rgb fill = pal::White)
        : w(width), h(height), px(size_t(width) * size_t(height), fill) {}

    bool In(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    Rgb Get(int x, int y) const { return px[size_t(y) * size_t(w) + size_t(x)]; }
    void Set(int x, int y, Rgb c) {
        if (In(x, y)) px[size_t(y) * size_t(w) + size_t(x)] = c;
    }

    // Rectangles take left, top, width, height.
    void Fill(int x, int y, int rw, int rh, Rgb c);
    void Frame(int x, int y, int rw, int rh, Rgb c);
    void HLine(int x0, int x1, int y, Rgb c);
    void VLine(int x, int y0, int y1, Rgb c);
    void Line(int x0, int y0, int x1, int y1, Rgb c);
    // Filled and outlined ellipses in the box (x, y, rw, rh).
    void FillEllipse(int x, int y, int rw, int rh, Rgb c);
    void FrameEllipse(int x, int y, int rw, int rh, Rgb c);
    // A filled polygon (even-odd, pixel centres).
    void FillPolygon(const std::vector<int>& xy, Rgb c);
    // A raised (or sunken) bevel ring just inside (x, y, rw, rh).
    void Bevel(int x, int y, int rw, int rh, Rgb light, Rgb dark);
    void Blit(const Canvas& src, int x, int y);
    // Replaces every pixel of colour from by to.
    void Replace(Rgb from, Rgb to);
};

// A one-bit coverage map, the intermediate form of lettering and shapes.
struct Mask {
    int w = 0, h = 0;
    std::vector<uint8_t> m;

    Mask() {}
    Mask(int width, int height) : w(width), h(height), m(size_t(width) * size_t(height), 0) {}
    bool Get(int x, int y) const {
        return x >= 0 && y >= 0 && x < w && y < h && m[size_t(y) * size_t(w) + size_t(x)];
    }
    void Set(int x, int y, bool v = true) {
        if (x >= 0 && y >= 0 && x < w && y < h) m[size_t(y) * size_t(w) + size_t(x)] = v;
    }
    // The mask grown by r pixels in the eight directions (square brush).
    Mask Grown(int r) const;
    // Paints every set pixel of the mask at (x, y) of the canvas.
    void Paint(Canvas& c, int x, int y, Rgb colour) const;
};
