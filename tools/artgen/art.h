// The artwork set: every picture the game carries, made by the generators
// in the art_*.cpp files.
#pragma once

#include "canvas.h"

#include <string>
#include <vector>

enum AssetKind {
    ASSET_BMP4,   // 16-colour bitmap
    ASSET_BMP1,   // 2-colour bitmap
    ASSET_ICON,   // icon file, one image per canvas
    ASSET_CURSOR, // monochrome cursor file
};

struct Asset {
    std::string name;
    AssetKind kind = ASSET_BMP4;
    std::vector<Canvas> images;
    bool bOwnPalette = false;             // a calm palette of its own instead of the game's
    Rgb c0 = pal::White, c1 = pal::Black; // the two colours of a 1-bit bitmap
    int nHotX = 0, nHotY = 0;             // cursor hot spot
};

typedef std::vector<Asset> AssetList;

void AddBitmap(AssetList& list, const std::string& name, const Canvas& c);

void MakeTileArt(AssetList& list);   // tumbling and flat tiles, erasers, paddle
void MakeLevelArt(AssetList& list);  // the fifty background patterns
void MakeScreenArt(AssetList& list); // title, credits, pause, goals, endings
void MakePanelArt(AssetList& list);  // buttons, side panel pictures, logo
void MakeIconArt(AssetList& list);   // icons and the cursor

// Tile drawing shared by several pictures.
// The 40 x 48 tumbling frame f (0..9) of tile colour k on background bg.
Canvas TileFrame(int k, int f, Rgb bg = pal::Silver);
// The 40 x 11 flat tile of colour k on background bg.
Canvas FlatTile(int k, Rgb bg = pal::White);
// A tile of colour k of any size seen face-on: black outline, lit and shaded
// edges and, where there is room, the colour's emblem.
void DrawMiniTile(Canvas& c, int x, int y, int w, int h, int k);
// The emblem of tile colour k in the box of width w and height h whose top
// row is top, centred on column cx; EmblemWidth is its natural width.
void DrawEmblem(Canvas& c, int k, int cx, int top, int w, int h);
int EmblemWidth(int k, int h);
// The inside of a tile (no outline) with its lit and shaded edges, edge
// pixels wide.
void DrawTileBody(Canvas& c, int x, int y, int w, int h, int k, int edge);
// A picture drawn on a clear ground with every shape outlined in black.
Canvas Outlined(const Canvas& src);
