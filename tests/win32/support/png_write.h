// A small PNG writer for the tests' screenshots: 24-bit RGB, stored
// (uncompressed) deflate blocks, no dependencies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes w x h pixels given as 0x00RRGGBB, rows top first.
std::vector<uint8_t> PngEncode(const uint32_t* pPixels, int w, int h);

// Writes the encoding to szPath (a Windows path); true on success.
bool PngWrite(const char* szPath, const uint32_t* pPixels, int w, int h);
