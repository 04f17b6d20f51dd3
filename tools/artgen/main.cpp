// artgen: draws all of Quarrion's artwork at build time.
//
//   artgen <asset-dir>            writes every bitmap, icon and cursor into
//                                 <asset-dir> and the resource script
//                                 fragment <asset-dir>/artgen.rc
//   artgen --sheet <file.png>     writes the contact sheet of the whole set
//   artgen --access <file.png>    writes the tiles in colour, greyscale and
//                                 as a red-green colour-blind player sees them
//   artgen --crop <x> <y> <w> <h> <scale> <file.png>
//                                 a magnified part of the contact sheet
//   artgen --zoom <name> <image> <scale> <file.png>
//                                 one picture, magnified
//   artgen --mock <level> <file.png>
//                                 the game screen at a level, with 0 the
//                                 title screen, with -1 all the patterns tiled
//
// The output depends on nothing but this program: no clock, no unseeded
// random numbers.
#include "access.h"
#include "art.h"
#include "files.h"
#include "font.h"
#include "mockup.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

void AddBitmap(AssetList& list, const std::string& name, const Canvas& c) {
    Asset a;
    a.name = name;
    a.kind = ASSET_BMP4;
    a.images.push_back(c);
    list.push_back(a);
}

namespace {

AssetList MakeAll() {
    AssetList list;
    MakeTileArt(list);
    MakeLevelArt(list);
    MakeScreenArt(list);
    MakePanelArt(list);
    MakeIconArt(list);
    return list;
}

const char* Extension(AssetKind k) {
    switch (k) {
    case ASSET_ICON: return ".ico";
    case ASSET_CURSOR: return ".cur";
    default: return ".bmp";
    }
}

const char* RcType(AssetKind k) {
    switch (k) {
    case ASSET_ICON: return "ICON";
    case ASSET_CURSOR: return "CURSOR";
    default: return "BITMAP";
    }
}

bool Encode(const Asset& a, Bytes& out, std::string& err) {
    switch (a.kind) {
    case ASSET_BMP4:
        return EncodeBmp4(a.images[0], a.bOwnPalette ? PaletteOf(a.images[0]) : GamePalette(), out,
                          err);
    case ASSET_BMP1: return EncodeBmp1(a.images[0], a.c0, a.c1, out, err);
    case ASSET_ICON: return EncodeIcon(a.images, out, err);
    case ASSET_CURSOR: return EncodeCursor(a.images[0], a.nHotX, a.nHotY, out, err);
    }
    return false;
}

int WriteAssets(const std::string& dirArg) {
    namespace fs = std::filesystem;
    fs::path dir = fs::absolute(dirArg).lexically_normal();
    std::error_code ec;
    fs::create_directories(dir, ec);
    AssetList list = MakeAll();
    std::string rc = "// Made by artgen: every bitmap, icon and cursor of the game.\n";
    for (const Asset& a : list) {
        Bytes data;
        std::string err;
        if (!Encode(a, data, err)) {
            std::fprintf(stderr, "artgen: %s: %s\n", a.name.c_str(), err.c_str());
            return 1;
        }
        fs::path file = dir / (a.name + Extension(a.kind));
        if (!WriteFile(file.string(), data)) {
            std::fprintf(stderr, "artgen: cannot write %s\n", file.string().c_str());
            return 1;
        }
        rc += a.name + " " + RcType(a.kind) + " \"" + file.generic_string() + "\"\n";
    }
    // The fragment last: the build takes it as the sign that all is written.
    Bytes text(rc.begin(), rc.end());
    fs::path rcFile = dir / "artgen.rc";
    if (!WriteFile(rcFile.string(), text)) {
        std::fprintf(stderr, "artgen: cannot write %s\n", rcFile.string().c_str());
        return 1;
    }
    return 0;
}

// --- contact sheet ----------------------------------------------------------------

const Rgb kSheetBack = MakeRgb(44, 52, 68);
const Rgb kSheetLabel = MakeRgb(226, 230, 236);
const Rgb kSheetHead = MakeRgb(255, 214, 90);
const int kSheetW = 1424, kGap = 12, kLabelH = 12;

struct Item {
    std::string label;
    Canvas pic;
};

const Asset* Find(const AssetList& list, const std::string& name) {
    for (const Asset& a : list)
        if (a.name == name) return &a;
    return nullptr;
}

// Lays items out in rows from (x0, y) to the sheet's right edge; returns the
// y below the last row.
int Shelf(Canvas* sheet, const std::vector<Item>& items, int y) {
    TextStyle label;
    label.face = kSheetLabel;
    int x = kGap, rowH = 0;
    for (const Item& it : items) {
        int w = std::max(it.pic.w, TextWidth(it.label.c_str(), label));
        if (x + w > kSheetW - kGap && x > kGap) {
            x = kGap;
            y += rowH + kGap;
            rowH = 0;
        }
        if (sheet) {
            DrawText(*sheet, x, y, it.label.c_str(), label);
            Canvas pic = it.pic;
            pic.Replace(kClear, kSheetBack);
            sheet->Blit(pic, x, y + kLabelH);
        }
        rowH = std::max(rowH, kLabelH + it.pic.h);
        x += w + kGap;
    }
    return y + rowH + kGap;
}

int Heading(Canvas* sheet, const char* sz, int y) {
    TextStyle st;
    st.nScaleX = st.nScaleY = 2;
    st.face = kSheetHead;
    if (sheet) DrawText(*sheet, kGap, y, sz, st);
    return y + 24;
}

// Everything on one sheet: the tumbling frames as animation strips, then every
// other picture at its own size, each under its name.
int DrawSheet(Canvas* sheet, const AssetList& list) {
    int y = kGap;
    y = Heading(sheet, "Quarrion artwork", y);
    y = Heading(sheet, "Tumbling tiles: frames 0..9 and the flat tile", y + 4);
    std::vector<Item> strips;
    for (int k = 0; k < 8; k++) {
        Canvas strip(10 * 44 + 48, 48, kSheetBack);
        for (int f = 0; f < 10; f++) {
            const Asset* a = Find(list, std::string(aTileWord[k]) + "TILE" + std::to_string(f));
            if (a) strip.Blit(a->images[0], 44 * f, 0);
        }
        const Asset* flat = Find(list, std::string(aTileWord[k]) + "TILE");
        if (flat) strip.Blit(flat->images[0], 10 * 44 + 8, 37);
        strips.push_back({std::string(aTileWord[k]) + "TILE0..9, " + aTileWord[k] + "TILE", strip});
    }
    y = Shelf(sheet, strips, y);

    std::vector<Item> levels, rest, icons;
    for (const Asset& a : list) {
        bool frame = a.name.find("TILE") != std::string::npos && a.name.size() > 4 &&
                     std::isdigit(static_cast<unsigned char>(a.name.back()));
        bool flat = false;
        for (int k = 0; k < 8; k++) flat = flat || a.name == std::string(aTileWord[k]) + "TILE";
        if (frame || flat) continue;
        if (a.kind == ASSET_ICON || a.kind == ASSET_CURSOR) {
            for (const Canvas& c : a.images)
                icons.push_back({a.name + " " + std::to_string(c.w), c});
        } else if (a.name.rfind("LEVEL", 0) == 0) {
            levels.push_back({a.name.substr(5), a.images[0]});
        } else if (a.images[0].w > kSheetW - 2 * kGap) {
            // The long credits strip, cut into pieces that fit the sheet.
            const Canvas& c = a.images[0];
            int piece = 1400;
            for (int x0 = 0; x0 < c.w; x0 += piece) {
                int pw = std::min(piece, c.w - x0);
                Canvas part(pw, c.h);
                for (int j = 0; j < c.h; j++)
                    for (int i = 0; i < pw; i++) part.Set(i, j, c.Get(x0 + i, j));
                rest.push_back(
                    {a.name + " x " + std::to_string(x0) + ".." + std::to_string(x0 + pw - 1),
                     part});
            }
        } else {
            rest.push_back({a.name, a.images[0]});
        }
    }
    y = Heading(sheet, "Pictures", y + 4);
    y = Shelf(sheet, rest, y);
    y = Heading(sheet, "Background patterns LEVEL1..LEVEL50", y + 4);
    y = Shelf(sheet, levels, y);
    y = Heading(sheet, "Icons and cursor", y + 4);
    y = Shelf(sheet, icons, y);
    return y;
}

Canvas Sheet(const AssetList& list) {
    int h = DrawSheet(nullptr, list);
    Canvas sheet(kSheetW, h, kSheetBack);
    DrawSheet(&sheet, list);
    return sheet;
}

int WriteSheet(const std::string& path) {
    Canvas sheet = Sheet(MakeAll());
    if (!WriteFile(path, EncodePng(sheet))) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

int WriteCrop(int x, int y, int w, int h, int scale, const std::string& path) {
    Canvas sheet = Sheet(MakeAll());
    Canvas out(w * scale, h * scale, kSheetBack);
    for (int j = 0; j < out.h; j++)
        for (int i = 0; i < out.w; i++) {
            int sx = x + i / scale, sy = y + j / scale;
            if (sheet.In(sx, sy)) out.Set(i, j, sheet.Get(sx, sy));
        }
    return WriteFile(path, EncodePng(out)) ? 0 : 1;
}

// One picture of the set, magnified, for a close look while drawing.
int WriteZoom(const std::string& name, int image, int scale, const std::string& path) {
    AssetList list = MakeAll();
    const Asset* a = Find(list, name);
    if (!a || image < 0 || size_t(image) >= a->images.size()) return 1;
    const Canvas& c = a->images[size_t(image)];
    Canvas out(c.w * scale, c.h * scale, kSheetBack);
    for (int j = 0; j < out.h; j++)
        for (int i = 0; i < out.w; i++) {
            Rgb col = c.Get(i / scale, j / scale);
            out.Set(i, j, col == kClear ? kSheetBack : col);
        }
    return WriteFile(path, EncodePng(out)) ? 0 : 1;
}

int WriteMock(int level, const std::string& path) {
    AssetList list = MakeAll();
    Canvas c = level < 0    ? MockPatterns(list)
               : level == 0 ? MockTitle(list)
                            : MockGame(list, level);
    return WriteFile(path, EncodePng(c)) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string a1 = argc > 1 ? argv[1] : "";
    if (argc == 3 && a1 == "--sheet") return WriteSheet(argv[2]);
    if (argc == 3 && a1 == "--access")
        return WriteFile(argv[2], EncodePng(TilesAccessSheet())) ? 0 : 1;
    if (argc == 8 && a1 == "--crop")
        return WriteCrop(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                         std::atoi(argv[5]), std::max(1, std::atoi(argv[6])), argv[7]);
    if (argc == 6 && a1 == "--zoom")
        return WriteZoom(argv[2], std::atoi(argv[3]), std::max(1, std::atoi(argv[4])), argv[5]);
    if (argc == 4 && a1 == "--mock") return WriteMock(std::atoi(argv[2]), argv[3]);
    if (argc == 2 && a1.rfind("--", 0) != 0) return WriteAssets(a1);
    std::fprintf(stderr, "usage: artgen <asset-dir> | --sheet <file.png> | --access <file.png> |"
                         " --crop <x> <y> <w> <h> <scale> <file.png> |"
                         " --zoom <name> <image> <scale> <file.png> |"
                         " --mock <level> <file.png>\n");
    return 2;
}
