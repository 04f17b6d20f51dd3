// The file formats the generator writes: Windows BMP (4 and 1 bit), icon and
// cursor files, and PNG for the contact sheet.
#pragma once

#include "canvas.h"

#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

// A palette of up to 16 colours; the picture's colours must all be in it.
struct Palette {
    std::vector<Rgb> colours;
};

Palette GamePalette();
// The distinct colours of a picture, in first-seen order (at most 16).
Palette PaletteOf(const Canvas& c);

// Encodes a 4-bit BMP with a 16-entry colour table. Fails (returns false and
// sets err) when a pixel's colour is not in the palette.
bool EncodeBmp4(const Canvas& c, const Palette& p, Bytes& out, std::string& err);
// Encodes a 1-bit BMP whose colour table is {c0, c1}.
bool EncodeBmp1(const Canvas& c, Rgb c0, Rgb c1, Bytes& out, std::string& err);
// An icon file with one 16-colour image per canvas (kClear is transparent).
bool EncodeIcon(const std::vector<Canvas>& images, Bytes& out, std::string& err);
// A monochrome cursor file: black, white and kClear pixels only.
bool EncodeCursor(const Canvas& c, int hotX, int hotY, Bytes& out, std::string& err);
// A 24-bit PNG, compressed with our own deflate.
Bytes EncodePng(const Canvas& c);

bool WriteFile(const std::string& path, const Bytes& data);
