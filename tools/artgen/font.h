// Quarrion's own pixel font: 5 x 7 capitals and digits, lower case with
// two-row descenders, drawn at whole-number scales. The display style adds
// weight, a black outline and an extrusion up and to the right, the same
// raised-slab look as the game's panels.
#pragma once

#include "canvas.h"

// Glyphs beyond ASCII, for the key descriptions and separators.
#define GLYPH_LEFT "\x01"
#define GLYPH_RIGHT "\x02"
#define GLYPH_UP "\x03"
#define GLYPH_DOWN "\x04"
#define GLYPH_TILE "\x05"

struct TextStyle {
    int nScaleX = 1;       // pixels per glyph column
    int nScaleY = 1;       // pixels per glyph row
    int nBold = 0;         // extra pixels of weight to the right of each stroke
    int nSpacing = 1;      // glyph columns between letters
    int nGapPx = -1;       // if set, pixels between letters instead
    bool bMono = false;    // every glyph 5 columns wide (digits in tables)
    Rgb face = pal::Black; // letter colour
    Rgb faceLow = kClear;  // if set, the lower half of the letters
    Rgb outline = kClear;  // 1-pixel ring around the letters
    Rgb side = kClear;     // extrusion colour
    int nDepth = 0;        // extrusion depth, up and to the right
    Rgb shadow = kClear;   // drop shadow below and to the right
    int nShadow = 0;
};

// Width and height in pixels of a line of text in the style (the height runs
// from the top of the capitals to the bottom of the descenders).
int TextWidth(const char* sz, const TextStyle& st);
int TextHeight(const TextStyle& st);
// Height of the capitals alone.
int CapHeight(const TextStyle& st);

// The letters as a coverage mask (no outline, shadow or extrusion).
Mask TextMask(const char* sz, const TextStyle& st);

// Draws one line with its top-left corner (top of the capitals) at (x, y).
// Outline, extrusion and shadow extend outside that box.
void DrawText(Canvas& c, int x, int y, const char* sz, const TextStyle& st);
// Draws one line centred on the column cx.
void DrawTextCentred(Canvas& c, int cx, int y, const char* sz, const TextStyle& st);

// Title lettering built of small tiles: every pixel of the glyphs becomes a
// cell x cell block with a black outline, letter k coloured aFace[k % n] with
// its darker edge aDark[k % n]; shadow (or kClear) falls down and right.
int BlockTextWidth(const char* sz, int cell);
void DrawBlockText(Canvas& c, int x, int y, const char* sz, int cell, const Rgb* aFace,
                   const Rgb* aDark, int nColours, Rgb shadow);
