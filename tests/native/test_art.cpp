// Checks the generated artwork against what the drawing code relies on:
// sizes, depths and palettes, the tile frames' margins and rows, the flat
// tiles, erasers and paddle lamps, the goal grid, the background patterns,
// the buttons, the icons and the cursor. The files are read here with a
// reader of our own, independent of the generator's writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifndef QUARRION_ASSET_DIR
#error QUARRION_ASSET_DIR must name the generated asset directory
#endif

namespace {

typedef uint32_t Rgb;
constexpr Rgb RGB(int r, int g, int b) {
    return Rgb(r) << 16 | Rgb(g) << 8 | Rgb(b);
}
constexpr Rgb kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255), kSilver = RGB(192, 192, 192);
constexpr Rgb kGrey = RGB(128, 128, 128), kLamp = RGB(0, 255, 0), kLampDark = RGB(0, 128, 0);

const char* const aColourWord[8] = {"GREEN",  "RED",   "YELLOW", "BLUE",
                                    "PURPLE", "WHITE", "DRED",   "LBLUE"};
const Rgb aFill[8] = {RGB(0, 255, 0),   RGB(255, 0, 0),     RGB(255, 255, 0), RGB(0, 0, 255),
                      RGB(255, 0, 255), RGB(255, 255, 255), RGB(128, 0, 0),   RGB(0, 255, 255)};

typedef std::vector<uint8_t> Bytes;

Bytes ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

uint32_t U16(const Bytes& b, size_t at) {
    return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0;
}
uint32_t U32(const Bytes& b, size_t at) {
    return at + 4 <= b.size() ? U16(b, at) | U16(b, at + 2) << 16 : 0;
}
int32_t S32(const Bytes& b, size_t at) {
    return int32_t(U32(b, at));
}

// A device-independent bitmap as the platform reads it: header, colour
// table and pixel indices.
struct Dib {
    bool ok = false;
    int w = 0, h = 0, bits = 0;
    uint32_t compression = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> index; // top row first
    uint8_t Index(int x, int y) const { return index[size_t(y) * size_t(w) + size_t(x)]; }
    Rgb At(int x, int y) const { return palette[Index(x, y)]; }
};

// Parses a BITMAPINFOHEADER and what follows it at offset `at`; for icons
// and cursors `rows` is the height of the colour image (half the header's).
Dib ParseDib(const Bytes& b, size_t at, size_t pixelsAt, bool halfHeight) {
    Dib d;
    if (U32(b, at) != 40) return d;
    d.w = S32(b, at + 4);
    int h = S32(b, at + 8);
    d.h = halfHeight ? h / 2 : h;
    if (U16(b, at + 12) != 1) return d;
    d.bits = int(U16(b, at + 14));
    d.compression = U32(b, at + 16);
    uint32_t used = U32(b, at + 32);
    size_t colours = used ? used : size_t(1) << d.bits;
    if (d.w <= 0 || d.h <= 0 || (d.bits != 1 && d.bits != 4) || colours > 16) return d;
    for (size_t i = 0; i < colours; i++) {
        size_t p = at + 40 + 4 * i;
        if (p + 4 > b.size()) return d;
        d.palette.push_back(RGB(b[p + 2], b[p + 1], b[p]));
    }
    if (!pixelsAt) pixelsAt = at + 40 + 4 * colours;
    size_t stride = size_t((d.w * d.bits + 31) / 32 * 4);
    if (pixelsAt + stride * size_t(d.h) > b.size()) return d;
    d.index.resize(size_t(d.w) * size_t(d.h));
    for (int y = 0; y < d.h; y++) {
        size_t row = pixelsAt + stride * size_t(d.h - 1 - y); // bottom-up
        for (int x = 0; x < d.w; x++) {
            uint8_t v = d.bits == 4 ? (b[row + size_t(x / 2)] >> (x % 2 ? 0 : 4)) & 15
                                    : (b[row + size_t(x / 8)] >> (7 - x % 8)) & 1;
            if (v >= d.palette.size()) return d;
            d.index[size_t(y) * size_t(d.w) + size_t(x)] = v;
        }
    }
    d.ok = true;
    return d;
}

std::string AssetPath(const std::string& file) {
    return std::string(QUARRION_ASSET_DIR) + "/" + file;
}

Dib LoadBmp(const std::string& name) {
    Bytes b = ReadAll(AssetPath(name + ".bmp"));
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || U32(b, 2) != b.size()) return Dib();
    return ParseDib(b, 14, U32(b, 10), false);
}

// Every bitmap the game loads, with its size and depth.
struct BitmapSpec {
    std::string name;
    int w, h, bits;
};

void LevelSize(int level, int& w, int& h) {
    static const std::set<int> big = {2, 10, 28, 31, 32, 33, 35, 38, 42, 43, 44, 48, 49, 50};
    w = h = big.count(level) ? 64 : 32;
    if (level == 4) w = h = 40;
    if (level == 29) w = 64, h = 32;
    if (level == 45) w = 32, h = 64;
}

std::vector<BitmapSpec> AllBitmaps() {
    std::vector<BitmapSpec> v;
    for (int k = 0; k < 8; k++) {
        for (int f = 0; f < 10; f++)
            v.push_back({aColourWord[k] + std::string("TILE") + char('0' + f), 40, 48, 4});
        v.push_back({aColourWord[k] + std::string("TILE"), 40, 11, 4});
    }
    v.push_back({"TILEERASE", 40, 48, 4});
    v.push_back({"SMALLTILEERASE", 40, 11, 4});
    v.push_back({"PLAYERERASE", 40, 12, 1});
    for (int i = 0; i <= 8; i++) v.push_back({"PADDLE" + std::to_string(i), 41, 12, 4});
    for (int level = 1; level <= 50; level++) {
        int w, h;
        LevelSize(level, w, h);
        v.push_back({"LEVEL" + std::to_string(level), w, h, 4});
    }
    v.push_back({"MAINTITLE", 300, 115, 4});
    v.push_back({"MAINCREDITS", 300, 115, 4});
    v.push_back({"CREDITS", 2800, 25, 1});
    v.push_back({"PAUSEDLOGO", 180, 60, 4});
    for (const char* g : {"GOAL", "GOALPOINTS", "GOALTILES"}) v.push_back({g, 196, 60, 4});
    v.push_back({"TITLE", 192, 92, 4});
    v.push_back({"LIFE", 15, 10, 4});
    v.push_back({"GAMEOVER", 360, 60, 4});
    v.push_back({"ENDING", 500, 400, 4});
    v.push_back({"ENDING2", 500, 400, 4});
    for (const char* b : {"NEW", "OPTION", "SCORE", "WARP", "HELP", "QUIT"}) {
        v.push_back({std::string(b) + "BTNUP", 83, 55, 4});
        v.push_back({std::string(b) + "BTNDOWN", 83, 55, 4});
    }
    v.push_back({"KVOLOGO", 90, 54, 4});
    return v;
}

// A cache: most tests look at many bitmaps.
const Dib& Bmp(const std::string& name) {
    static std::map<std::string, Dib> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, LoadBmp(name)).first;
    return it->second;
}

#define ASSERT_BMP(d, name)                                                                        \
    const Dib& d = Bmp(name);                                                                      \
    ASSERT_TRUE(d.ok) << name << " did not load"

} // namespace

// --- the resource script and the file formats ------------------------------------

TEST(ArtFiles, ResourceScriptNamesEveryFileByAbsolutePath) {
    std::ifstream rc(AssetPath("artgen.rc"));
    ASSERT_TRUE(rc.good());
    std::map<std::string, std::pair<std::string, std::string>> entries;
    std::string line;
    while (std::getline(rc, line)) {
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        std::istringstream in(line);
        std::string name, type, path;
        in >> name >> type;
        std::getline(in, path);
        path.erase(0, path.find_first_not_of(' '));
        ASSERT_GE(path.size(), 2u) << line;
        EXPECT_EQ('"', path.front()) << line;
        EXPECT_EQ('"', path.back()) << line;
        path = path.substr(1, path.size() - 2);
        EXPECT_EQ('/', path.front()) << "not absolute: " << line;
        EXPECT_EQ(std::string::npos, path.find('\\')) << line;
        EXPECT_EQ(0u, entries.count(name)) << "named twice: " << name;
        entries[name] = {type, path};
        EXPECT_FALSE(ReadAll(path).empty()) << "missing file " << path;
    }
    std::map<std::string, std::string> expected;
    for (const BitmapSpec& s : AllBitmaps()) expected[s.name] = "BITMAP";
    expected["MAINICON"] = expected["SOUNDICON"] = expected["WARPICON"] = "ICON";
    expected["Finger"] = "CURSOR";
    EXPECT_EQ(expected.size(), entries.size());
    for (const auto& e : expected) {
        auto it = entries.find(e.first);
        ASSERT_NE(entries.end(), it) << "not in the script: " << e.first;
        EXPECT_EQ(e.second, it->second.first) << e.first;
    }
}

TEST(ArtFiles, EveryBitmapHasItsSizeDepthAndPalette) {
    for (const BitmapSpec& s : AllBitmaps()) {
        SCOPED_TRACE(s.name);
        const Dib& d = Bmp(s.name);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(s.w, d.w);
        EXPECT_EQ(s.h, d.h);
        EXPECT_EQ(s.bits, d.bits);
        EXPECT_EQ(0u, d.compression);
        EXPECT_EQ(size_t(1) << s.bits, d.palette.size());
    }
}

// All artwork but the background patterns (which have calm palettes of their
// own) shares one 16-colour palette that holds every colour the game draws.
TEST(ArtFiles, SpritesShareOnePaletteWithEveryColourTheGameNeeds) {
    const Dib& ref = Bmp("GREENTILE0");
    ASSERT_TRUE(ref.ok);
    std::set<Rgb> colours(ref.palette.begin(), ref.palette.end());
    EXPECT_EQ(16u, colours.size()) << "sixteen different colours";
    for (Rgb c : aFill) EXPECT_TRUE(colours.count(c)) << std::hex << c;
    for (Rgb c : {kBlack, kWhite, kSilver, kGrey, kLamp, kLampDark, RGB(0, 0, 128)})
        EXPECT_TRUE(colours.count(c)) << std::hex << c;
    for (const BitmapSpec& s : AllBitmaps()) {
        if (s.bits != 4 || s.name.rfind("LEVEL", 0) == 0) continue;
        const Dib& d = Bmp(s.name);
        ASSERT_TRUE(d.ok) << s.name;
        EXPECT_EQ(ref.palette, d.palette) << s.name;
    }
}

// --- tiles ----------------------------------------------------------------------------

namespace {
// Background rows above the tile in frames 0..9.
const int aTopRows[10] = {9, 9, 12, 21, 30, 37, 30, 21, 12, 9};

// The rows of a frame between its top and bottom outline that are black
// across the whole tile: the edge between face and end.
std::vector<int> CreaseRows(const Dib& d, int top) {
    std::vector<int> rows;
    for (int y = top + 1; y < 47; y++) {
        bool all = true;
        for (int x = 4; x <= 35; x++) all = all && d.At(x, y) == kBlack;
        if (all) rows.push_back(y);
    }
    return rows;
}
} // namespace

TEST(ArtTiles, TumblingFramesKeepTheirMarginsOutlineAndFill) {
    for (int k = 0; k < 8; k++)
        for (int f = 0; f < 10; f++) {
            std::string name = aColourWord[k] + std::string("TILE") + char('0' + f);
            SCOPED_TRACE(name);
            ASSERT_BMP(d, name);
            int top = aTopRows[f];
            for (int y = 0; y < 48; y++)
                for (int x = 0; x < 40; x++) {
                    Rgb c = d.At(x, y);
                    bool inTile = y >= top && x >= 3 && x <= 36;
                    bool outline = inTile && (y == top || y == 47 || x == 3 || x == 36);
                    if (!inTile || outline) {
                        ASSERT_EQ(!inTile ? kSilver : kBlack, c) << x << "," << y;
                    }
                }
            // Inside the outline: at most one crease; the fill is the colour
            // of most of the face (below the crease in frames 1..4, above it
            // in 6..9).
            std::vector<int> crease = CreaseRows(d, top);
            ASSERT_EQ(f == 0 || f == 5 ? 0u : 1u, crease.size());
            int y0 = top + 1, y1 = 47;
            if (!crease.empty()) (f < 5 ? y0 : y1) = crease[0] + (f < 5);
            int filled = 0;
            for (int y = y0; y < y1; y++)
                for (int x = 4; x <= 35; x++) filled += d.At(x, y) == aFill[k];
            EXPECT_GT(2 * filled, 32 * (y1 - y0));
        }
}

TEST(ArtTiles, FramesTipTheTileEndOverEnd) {
    const Dib& f0 = Bmp("REDTILE0");
    const Dib& f5 = Bmp("REDTILE5");
    ASSERT_TRUE(f0.ok && f5.ok);
    EXPECT_EQ(39, 48 - aTopRows[0]) << "face-on";
    EXPECT_EQ(11, 48 - aTopRows[5]) << "edge-on, as thick as the flat tile";
    // Frames 1..4 tip the face away with the end showing above it; the face
    // shortens and the end widens up to the full thickness of 9 inner rows.
    int lastFace = 38, lastEnd = 0;
    for (int f = 1; f <= 4; f++) {
        const Dib& d = Bmp("REDTILE" + std::to_string(f));
        ASSERT_TRUE(d.ok);
        std::vector<int> c = CreaseRows(d, aTopRows[f]);
        ASSERT_EQ(1u, c.size()) << f;
        int end = c[0] - aTopRows[f] - 1, face = 47 - c[0] - 1;
        EXPECT_GT(end, lastEnd) << f;
        EXPECT_LE(end, 9) << f;
        EXPECT_LT(face, lastFace) << f;
        EXPECT_GT(face, end - (f == 4 ? 9 : 0)) << f;
        lastEnd = end;
        lastFace = face;
    }
    // Frames 6..9 bring the other face up: in outline and crease the mirror
    // images of 4..1 (the light still falls from above).
    for (int f = 6; f <= 9; f++) {
        const Dib& a = Bmp("REDTILE" + std::to_string(f));
        const Dib& b = Bmp("REDTILE" + std::to_string(10 - f));
        ASSERT_TRUE(a.ok && b.ok);
        int top = aTopRows[f];
        ASSERT_EQ(top, aTopRows[10 - f]);
        for (int y = top; y < 48; y++)
            for (int x = 0; x < 40; x++)
                ASSERT_EQ(b.At(x, y) == kBlack, a.At(x, top + 47 - y) == kBlack)
                    << f << ": " << x << "," << y;
    }
}

TEST(ArtTiles, FlatTilesHaveWhiteSidesAndABlackOutline) {
    for (int k = 0; k < 8; k++) {
        SCOPED_TRACE(aColourWord[k]);
        ASSERT_BMP(d, aColourWord[k] + std::string("TILE"));
        int filled = 0;
        for (int y = 0; y < 11; y++)
            for (int x = 0; x < 40; x++) {
                Rgb c = d.At(x, y);
                if (x <= 2 || x >= 37)
                    ASSERT_EQ(kWhite, c) << x << "," << y;
                else if (y == 0 || y == 10 || x == 3 || x == 36)
                    ASSERT_EQ(kBlack, c) << x << "," << y;
                else
                    filled += c == aFill[k];
            }
        EXPECT_GT(2 * filled, 32 * 9) << "the colour of most of the inside";
    }
}

TEST(ArtTiles, ErasersAreSolidBackground) {
    struct {
        const char* name;
        Rgb colour;
    } aErase[] = {{"TILEERASE", kSilver}, {"SMALLTILEERASE", kWhite}, {"PLAYERERASE", kWhite}};
    for (const auto& e : aErase) {
        ASSERT_BMP(d, e.name);
        for (int y = 0; y < d.h; y++)
            for (int x = 0; x < d.w; x++) ASSERT_EQ(e.colour, d.At(x, y)) << e.name;
    }
    // A black-and-white colour table would make the platform load the 1-bit
    // eraser as a monochrome bitmap, drawn in the target's text colours.
    const Dib& p = Bmp("PLAYERERASE");
    EXPECT_FALSE(p.palette[0] == kBlack && p.palette[1] == kWhite);
}

namespace {
int Brightness(Rgb c) {
    return (299 * int(c >> 16) + 587 * int((c >> 8) & 255) + 114 * int(c & 255)) / 1000;
}

double Linear(int v) {
    double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Rgb Greyscale(Rgb c) {
    int l = Brightness(c);
    return RGB(l, l, l);
}

// What a player without green-sensitive cones sees: the full-severity
// deuteranopia matrix of Machado, Oliveira and Fernandes, on linear light.
Rgb Deuteranope(Rgb c) {
    const double m[3][3] = {{0.367322, 0.860646, -0.227968},
                            {0.280085, 0.672501, 0.047413},
                            {-0.011820, 0.042940, 0.968881}};
    double in[3] = {Linear(int(c >> 16)), Linear(int((c >> 8) & 255)), Linear(int(c & 255))};
    int out[3];
    for (int i = 0; i < 3; i++) {
        double v = std::clamp(m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2], 0.0, 1.0);
        v = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
        out[i] = int(std::lround(v * 255));
    }
    return RGB(out[0], out[1], out[2]);
}

typedef std::vector<uint8_t> PixelMask;

// The emblem of a flat tile: the pixels of its face, inside the 1-pixel
// edge, that are not its fill; seen through a view, those that stand out
// from the fill by at least 32 levels of brightness.
PixelMask FlatEmblem(const Dib& d, Rgb fill, Rgb (*view)(Rgb)) {
    PixelMask m;
    for (int y = 2; y <= 8; y++)
        for (int x = 5; x <= 34; x++) {
            Rgb c = d.At(x, y);
            m.push_back(view ? std::abs(Brightness(view(c)) - Brightness(view(fill))) >= 32
                             : c != fill);
        }
    return m;
}

int Count(const PixelMask& m) {
    return int(std::count(m.begin(), m.end(), 1));
}

// The pixels of rows y0..y1 of a tumbling frame's inside that differ from
// the fill and are walled in by it: the emblem, not the edges.
int EnclosedPixels(const Dib& d, int y0, int y1, Rgb fill, int* rows) {
    auto idx = [&](int x, int y) { return size_t((y - y0) * 32 + x - 4); };
    std::vector<uint8_t> open(size_t(32 * (y1 - y0 + 1)), 0);
    std::vector<std::pair<int, int>> stack;
    for (int y = y0; y <= y1; y++)
        for (int x = 4; x <= 35; x++)
            if ((x == 4 || x == 35 || y == y0 || y == y1) && d.At(x, y) != fill) {
                open[idx(x, y)] = 1;
                stack.push_back({x, y});
            }
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
        for (int i = 0; i < 4; i++) {
            int nx = x + dx[i], ny = y + dy[i];
            if (nx < 4 || nx > 35 || ny < y0 || ny > y1 || open[idx(nx, ny)] ||
                d.At(nx, ny) == fill)
                continue;
            open[idx(nx, ny)] = 1;
            stack.push_back({nx, ny});
        }
    }
    int n = 0, top = y1 + 1, bottom = y0 - 1;
    for (int y = y0; y <= y1; y++)
        for (int x = 4; x <= 35; x++)
            if (d.At(x, y) != fill && !open[idx(x, y)]) {
                n++;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (rows) *rows = n ? bottom - top + 1 : 0;
    return n;
}
} // namespace

TEST(ArtTiles, FlatTilesDifferByEmblemAlsoInGreyAndToRedGreenBlindEyes) {
    // Two tiles' emblems differ in at least a fifth of the pixels they
    // cover; in greyscale and in the deuteranopia view every pixel of every
    // emblem still stands out from its tile.
    struct View {
        const char* name;
        Rgb (*fn)(Rgb);
    } const aView[3] = {
        {"colour", nullptr}, {"greyscale", Greyscale}, {"deuteranopia", Deuteranope}};
    PixelMask colour[8];
    for (const View& v : aView) {
        SCOPED_TRACE(v.name);
        PixelMask m[8];
        for (int k = 0; k < 8; k++) {
            ASSERT_BMP(d, aColourWord[k] + std::string("TILE"));
            m[k] = FlatEmblem(d, aFill[k], v.fn);
            EXPECT_GE(Count(m[k]), 12) << aColourWord[k];
            if (!v.fn)
                colour[k] = m[k];
            else
                EXPECT_EQ(colour[k], m[k]) << aColourWord[k] << " loses part of its emblem";
        }
        for (int a = 0; a < 8; a++)
            for (int b = a + 1; b < 8; b++) {
                int differ = 0, either = 0;
                for (size_t i = 0; i < m[a].size(); i++) {
                    differ += m[a][i] != m[b][i];
                    either += m[a][i] || m[b][i];
                }
                EXPECT_GE(5 * differ, either) << aColourWord[a] << " and " << aColourWord[b];
            }
    }
}

TEST(ArtTiles, FlatTilesAreLitFromTheUpperLeftAndWhiteIsNoEmptyCell) {
    for (int k = 0; k < 8; k++) {
        SCOPED_TRACE(aColourWord[k]);
        ASSERT_BMP(d, aColourWord[k] + std::string("TILE"));
        Rgb light = d.At(4, 1), dark = d.At(35, 9);
        for (int x = 4; x <= 34; x++) EXPECT_EQ(light, d.At(x, 1)) << x;
        for (int y = 1; y <= 9; y++) EXPECT_EQ(light, d.At(4, y)) << y;
        for (int x = 5; x <= 35; x++) EXPECT_EQ(dark, d.At(x, 9)) << x;
        for (int y = 1; y <= 9; y++) EXPECT_EQ(dark, d.At(35, y)) << y;
        EXPECT_GE(Brightness(light), Brightness(aFill[k]));
        EXPECT_GT(Brightness(aFill[k]), Brightness(dark));
    }
    ASSERT_BMP(white, "WHITETILE");
    ASSERT_BMP(erase, "SMALLTILEERASE");
    int differ = 0;
    for (int y = 1; y <= 9; y++)
        for (int x = 4; x <= 35; x++) differ += white.At(x, y) != erase.At(x, y);
    EXPECT_GT(differ, 48) << "a white tile must not pass for an empty cell";
}

TEST(ArtTiles, EmblemSitsOnTheFaceAndShrinksWithIt) {
    for (int k = 0; k < 8; k++) {
        int lastRows = 99;
        for (int f = 0; f < 10; f++) {
            std::string name = aColourWord[k] + std::string("TILE") + char('0' + f);
            SCOPED_TRACE(name);
            ASSERT_BMP(d, name);
            int top = aTopRows[f];
            std::vector<int> crease = CreaseRows(d, top);
            // The parts between outline and crease; which one is the face.
            std::vector<std::pair<int, int>> parts = {{top + 1, 46}};
            int face = f == 5 ? -1 : 0;
            if (!crease.empty()) {
                parts = {{top + 1, crease[0] - 1}, {crease[0] + 1, 46}};
                face = f < 5 ? 1 : 0;
            }
            int rows = 0;
            for (int i = 0; i < int(parts.size()); i++) {
                int n = EnclosedPixels(d, parts[size_t(i)].first, parts[size_t(i)].second, aFill[k],
                                       i == face ? &rows : nullptr);
                if (i == face)
                    EXPECT_GT(n, 0) << "no emblem on the face";
                else
                    EXPECT_EQ(0, n) << "emblem off the face, rows " << parts[size_t(i)].first;
            }
            // From face-on to nearly edge-on the emblem gets shorter.
            if (f <= 4) {
                EXPECT_LE(rows, lastRows);
                lastRows = rows;
            }
            if (f == 4) {
                EXPECT_LT(rows, 6);
            }
        }
    }
}

namespace {
// The lamps of a paddle frame: groups of touching green pixels, left to
// right, each flagged lit (bright green) or dark. A lamp of both greens is
// reported as -1.
std::vector<int> Lamps(const Dib& d) {
    std::vector<int> seen(size_t(d.w * d.h), 0);
    std::vector<std::pair<int, int>> lamps; // (min x, state)
    for (int y = 0; y < d.h; y++)
        for (int x = 0; x < d.w; x++) {
            Rgb c = d.At(x, y);
            if ((c != kLamp && c != kLampDark) || seen[size_t(y * d.w + x)]) continue;
            int minX = x, state = c == kLamp;
            std::vector<std::pair<int, int>> stack = {{x, y}};
            seen[size_t(y * d.w + x)] = 1;
            while (!stack.empty()) {
                auto [px, py] = stack.back();
                stack.pop_back();
                minX = std::min(minX, px);
                if ((d.At(px, py) == kLamp) != bool(state)) state = -1;
                const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
                for (int i = 0; i < 4; i++) {
                    int nx = px + dx[i], ny = py + dy[i];
                    if (nx < 0 || ny < 0 || nx >= d.w || ny >= d.h || seen[size_t(ny * d.w + nx)])
                        continue;
                    Rgb n = d.At(nx, ny);
                    if (n != kLamp && n != kLampDark) continue;
                    seen[size_t(ny * d.w + nx)] = 1;
                    stack.push_back({nx, ny});
                }
            }
            lamps.push_back({minX, state});
        }
    std::sort(lamps.begin(), lamps.end());
    std::vector<int> out;
    for (auto& l : lamps) out.push_back(l.second);
    return out;
}
} // namespace

TEST(ArtTiles, PaddleLampRunsToAndFroAndFrameEightIsAllLit) {
    const int aLit[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    for (int f = 0; f <= 8; f++) {
        SCOPED_TRACE(f);
        ASSERT_BMP(d, "PADDLE" + std::to_string(f));
        std::vector<int> want(5, 0);
        for (int i = 0; i < 5; i++) want[size_t(i)] = f == 8 || aLit[f] == i;
        EXPECT_EQ(want, Lamps(d));
        // The last column is white, so the 40-wide eraser leaves nothing.
        for (int y = 0; y < 12; y++) EXPECT_EQ(kWhite, d.At(40, y)) << y;
        // A rounded grey bar on white.
        for (int x : {0, 39})
            for (int y : {0, 11}) EXPECT_EQ(kWhite, d.At(x, y)) << "corner " << x << "," << y;
        int grey = 0;
        for (int y = 0; y < 12; y++)
            for (int x = 0; x < 40; x++) grey += d.At(x, y) == kGrey;
        EXPECT_GT(grey, 60);
    }
}

// --- the goal pictures ------------------------------------------------------------------

TEST(ArtPanel, GoalGridLinesUpWithTheExampleCells) {
    // The example cells in side-panel coordinates, right and bottom
    // exclusive; the picture is drawn at (9, 291).
    const int aX[5][2] = {{45, 75}, {78, 107}, {110, 139}, {142, 171}, {174, 203}};
    const int aY[5][2] = {{293, 301}, {304, 313}, {316, 325}, {328, 337}, {340, 349}};
    ASSERT_BMP(d, "GOAL");
    std::vector<int> cellWhite(size_t(d.w * d.h), 0);
    for (int c = 0; c < 5; c++)
        for (int r = 0; r < 5; r++) {
            int x0 = aX[c][0] - 9, x1 = aX[c][1] - 9, y0 = aY[r][0] - 291, y1 = aY[r][1] - 291;
            for (int y = y0; y < y1; y++)
                for (int x = x0; x < x1; x++) {
                    bool edge = x == x0 || x == x1 - 1 || y == y0 || y == y1 - 1;
                    ASSERT_EQ(edge ? kBlack : kWhite, d.At(x, y))
                        << c << "," << r << " at " << x << "," << y;
                }
            // Nothing white touches the cell from outside.
            for (int y = y0 - 1; y <= y1; y++) {
                EXPECT_NE(kWhite, d.At(x0 - 1, y));
                EXPECT_NE(kWhite, d.At(x1, y));
            }
            for (int x = x0; x < x1; x++) {
                EXPECT_NE(kWhite, d.At(x, y0 - 1));
                EXPECT_NE(kWhite, d.At(x, y1));
            }
        }
}

TEST(ArtPanel, GoalPicturesCarryTheEdgeTheirFrameDraws) {
    std::vector<const Dib*> all;
    for (const char* name : {"GOAL", "GOALPOINTS", "GOALTILES"}) {
        ASSERT_BMP(d, name);
        for (int x = 0; x < d.w; x++) EXPECT_EQ(kBlack, d.At(x, 0)) << name << " top";
        for (int y = 0; y < d.h; y++) EXPECT_EQ(kBlack, d.At(d.w - 1, y)) << name << " right";
        all.push_back(&d);
    }
    EXPECT_NE(all[0]->index, all[1]->index);
    EXPECT_NE(all[1]->index, all[2]->index);
    EXPECT_NE(all[0]->index, all[2]->index);
}

// --- background patterns ---------------------------------------------------------------

namespace {
int Luma(Rgb c) {
    return (299 * int(c >> 16) + 587 * int((c >> 8) & 255) + 114 * int(c & 255)) / 1000;
}

// Pixels that differ between two columns (or rows) of a pattern.
int ColumnDiff(const Dib& d, int a, int b) {
    int n = 0;
    for (int y = 0; y < d.h; y++) n += d.At(a, y) != d.At(b, y);
    return n;
}
int RowDiff(const Dib& d, int a, int b) {
    int n = 0;
    for (int x = 0; x < d.w; x++) n += d.At(x, a) != d.At(x, b);
    return n;
}

void MeanColour(const Dib& d, double m[3]) {
    m[0] = m[1] = m[2] = 0;
    for (int y = 0; y < d.h; y++)
        for (int x = 0; x < d.w; x++) {
            Rgb c = d.At(x, y);
            m[0] += c >> 16;
            m[1] += (c >> 8) & 255;
            m[2] += c & 255;
        }
    for (int i = 0; i < 3; i++) m[i] /= d.w * d.h;
}
} // namespace

TEST(ArtLevels, PatternsAreDistinctCalmAndTileWithoutASeam) {
    std::set<std::vector<Rgb>> seen;
    for (int level = 1; level <= 50; level++) {
        std::string name = "LEVEL" + std::to_string(level);
        SCOPED_TRACE(name);
        ASSERT_BMP(d, name);
        std::vector<Rgb> pixels;
        std::set<Rgb> used;
        for (int y = 0; y < d.h; y++)
            for (int x = 0; x < d.w; x++) {
                pixels.push_back(d.At(x, y));
                used.insert(d.At(x, y));
            }
        EXPECT_TRUE(seen.insert(pixels).second) << "same as an earlier pattern";
        // Calm: a few close tones, never a glaring contrast.
        EXPECT_GE(used.size(), 2u);
        EXPECT_LE(used.size(), 6u);
        int lo = 255, hi = 0;
        for (Rgb c : used) lo = std::min(lo, Luma(c)), hi = std::max(hi, Luma(c));
        EXPECT_LE(hi - lo, 90);
        // Seamless: where two copies meet, the picture changes about as
        // much as it does anywhere from one column (row) to the next; a
        // pattern cut off mid-period jumps there.
        int maxCol = 0, maxRow = 0;
        for (int x = 0; x + 1 < d.w; x++) maxCol = std::max(maxCol, ColumnDiff(d, x, x + 1));
        for (int y = 0; y + 1 < d.h; y++) maxRow = std::max(maxRow, RowDiff(d, y, y + 1));
        EXPECT_LE(ColumnDiff(d, d.w - 1, 0), maxCol * 3 / 2 + 1);
        EXPECT_LE(RowDiff(d, d.h - 1, 0), maxRow * 3 / 2 + 1);
    }
}

TEST(ArtLevels, TheLookChangesEveryFiveLevels) {
    // Each run of five levels is one family: its patterns are nearer in
    // colour to each other than to those of the next run.
    double mean[51][3];
    for (int level = 1; level <= 50; level++) {
        const Dib& d = Bmp("LEVEL" + std::to_string(level));
        ASSERT_TRUE(d.ok);
        MeanColour(d, mean[level]);
    }
    auto dist = [&](int a, int b) {
        double s = 0;
        for (int i = 0; i < 3; i++) s += (mean[a][i] - mean[b][i]) * (mean[a][i] - mean[b][i]);
        return s;
    };
    for (int fam = 0; fam < 9; fam++) {
        double within = 0, across = 1e18;
        for (int a = 5 * fam + 1; a <= 5 * fam + 10; a++)
            for (int b = a + 1; b <= 5 * fam + 10; b++) {
                bool same = (a - 1) / 5 == (b - 1) / 5;
                if (same)
                    within = std::max(within, dist(a, b));
                else
                    across = std::min(across, dist(a, b));
            }
        EXPECT_LT(within, across) << "levels " << 5 * fam + 1 << ".." << 5 * fam + 10;
    }
}

TEST(ArtLevels, NeighbouringLevelsLookDifferent) {
    // Each level's room looks new: its pattern differs from the last one in
    // colour or in how busy it is (how often a pixel differs from the next
    // one across or down), not only in its size.
    struct Look {
        double mean[3], across, down;
    } look[51];
    for (int level = 1; level <= 50; level++) {
        const Dib& d = Bmp("LEVEL" + std::to_string(level));
        ASSERT_TRUE(d.ok) << level;
        Look& l = look[level];
        MeanColour(d, l.mean);
        int a = 0, b = 0;
        for (int y = 0; y < d.h; y++)
            for (int x = 0; x < d.w; x++) {
                a += d.At(x, y) != d.At((x + 1) % d.w, y);
                b += d.At(x, y) != d.At(x, (y + 1) % d.h);
            }
        l.across = double(a) / (d.w * d.h);
        l.down = double(b) / (d.w * d.h);
    }
    auto ratio = [](double p, double q) { return std::max(p, q) / std::max(1e-3, std::min(p, q)); };
    for (int level = 1; level < 50; level++) {
        const Look &p = look[level], &q = look[level + 1];
        double dist = 0;
        for (int i = 0; i < 3; i++) dist += (p.mean[i] - q.mean[i]) * (p.mean[i] - q.mean[i]);
        bool colour = std::sqrt(dist) >= 12;
        bool busy = ratio(p.across, q.across) >= 1.4 || ratio(p.down, q.down) >= 1.4;
        EXPECT_TRUE(colour || busy) << "levels " << level << " and " << level + 1 << " look alike";
    }
}

// --- title screen, pause, credits -----------------------------------------------------------

TEST(ArtScreens, CreditsTickerIsBlueOnWhiteAndLoopsWithTheScroll) {
    ASSERT_BMP(d, "CREDITS");
    ASSERT_EQ(2u, d.palette.size());
    std::set<Rgb> pal(d.palette.begin(), d.palette.end());
    EXPECT_EQ((std::set<Rgb>{kWhite, RGB(0, 0, 255)}), pal);
    // The title screen shows 329 columns from offsets 0, 3, ..., 2424 and
    // then starts again at 0: the strip repeats every 2427 columns, so the
    // step from 2424 back to 0 looks like any other step.
    for (int x = 0; x + 2427 < 2800; x++)
        for (int y = 0; y < 25; y++) ASSERT_EQ(d.At(x, y), d.At(x + 2427, y)) << x << "," << y;
    // Every window the band shows has text in it.
    for (int off = 0; off <= 2424; off += 3) {
        int ink = 0;
        for (int x = off; x < off + 329; x++)
            for (int y = 0; y < 25; y++) ink += d.At(x, y) != kWhite;
        ASSERT_GT(ink, 200) << "offset " << off;
    }
    for (int x = 0; x < 2800; x++) {
        EXPECT_EQ(kWhite, d.At(x, 0));
        EXPECT_EQ(kWhite, d.At(x, 24));
    }
}

TEST(ArtScreens, PicturesOnGreyKeepAGreyRim) {
    // These stand on light grey (the title boxes, the lanes, the side panel,
    // the dialogs); their outer ring matches so that no edge shows.
    for (const char* name : {"MAINTITLE", "MAINCREDITS", "PAUSEDLOGO", "TITLE", "KVOLOGO",
                             "GAMEOVER", "ENDING", "ENDING2"}) {
        ASSERT_BMP(d, name);
        int ink = 0;
        for (int y = 0; y < d.h; y++)
            for (int x = 0; x < d.w; x++) {
                bool rim = x < 2 || y < 2 || x >= d.w - 2 || y >= d.h - 2;
                if (rim) {
                    ASSERT_EQ(kSilver, d.At(x, y)) << name << " " << x << "," << y;
                } else {
                    ink += d.At(x, y) != kSilver;
                }
            }
        EXPECT_GT(ink, d.w * d.h / 30) << name << " is nearly empty";
    }
}

TEST(ArtScreens, EndingLeavesAPlainBandForTheName) {
    // The name field, 42, 131, 119 x 12 dialog units of Arial 14 pt, lies at
    // about (115, 344)..(442, 411) of the screen with Arial's own metrics
    // and at (126, 360)..(483, 393) with the font Wine puts in its place:
    // the picture's (45, 304)..(413, 371) at most. The band around it
    // holds nothing but its ground.
    ASSERT_BMP(d, "ENDING");
    Rgb ground = d.At(250, 340);
    for (int y = 292; y <= 386; y++)
        for (int x = 20; x < 480; x++) ASSERT_EQ(ground, d.At(x, y)) << x << "," << y;
    ASSERT_BMP(e, "ENDING2");
    EXPECT_NE(d.index, e.index);
}

TEST(ArtScreens, LifeIconStandsOnTheWhiteOfTheLivesBox) {
    ASSERT_BMP(d, "LIFE");
    for (int x : {0, 14}) EXPECT_EQ(kWhite, d.At(x, 0));
    int ink = 0;
    for (int y = 0; y < d.h; y++)
        for (int x = 0; x < d.w; x++) ink += d.At(x, y) != kWhite;
    EXPECT_GT(ink, 50);
}

// --- buttons ------------------------------------------------------------------------------

TEST(ArtPanel, PressedButtonsAreSunkAndTheirPictureMovesIn) {
    for (const char* b : {"NEW", "OPTION", "SCORE", "WARP", "HELP", "QUIT"}) {
        SCOPED_TRACE(b);
        ASSERT_BMP(up, std::string(b) + "BTNUP");
        ASSERT_BMP(down, std::string(b) + "BTNDOWN");
        // Released: light above and to the left, black below and right.
        EXPECT_EQ(kWhite, up.At(0, 0));
        EXPECT_EQ(kWhite, up.At(0, 27));
        EXPECT_EQ(kWhite, up.At(40, 0));
        EXPECT_EQ(kBlack, up.At(82, 27));
        EXPECT_EQ(kBlack, up.At(40, 54));
        // Pressed: the other way round, with a shaded inner edge.
        EXPECT_EQ(kBlack, down.At(0, 27));
        EXPECT_EQ(kBlack, down.At(40, 0));
        EXPECT_EQ(kWhite, down.At(82, 27));
        EXPECT_EQ(kWhite, down.At(40, 54));
        for (int x = 1; x < 82; x++) EXPECT_EQ(kGrey, down.At(x, 1)) << x;
        for (int y = 1; y < 54; y++) EXPECT_EQ(kGrey, down.At(1, y)) << y;
        // The face moves down and to the right by the same few pixels.
        int shift = 0;
        for (int s = 1; s <= 3 && !shift; s++) {
            bool same = true;
            for (int y = 3; y < 50 - s && same; y++)
                for (int x = 3; x < 79 - s && same; x++)
                    same = up.At(x, y) == down.At(x + s, y + s);
            if (same) shift = s;
        }
        EXPECT_GT(shift, 0) << "the pressed face is not the released one moved";
        EXPECT_NE(up.index, down.index);
    }
}

// --- icons and the cursor --------------------------------------------------------------------

namespace {
struct IconImage {
    int w, h, hotX, hotY;
    Dib colour;
    std::vector<uint8_t> clear; // AND mask, top row first
};

// Reads an icon (type 1) or cursor (type 2) file.
std::vector<IconImage> LoadIconFile(const std::string& file, int type) {
    std::vector<IconImage> out;
    Bytes b = ReadAll(AssetPath(file));
    if (b.size() < 6 || U16(b, 0) != 0 || int(U16(b, 2)) != type) return out;
    int n = int(U16(b, 4));
    for (int i = 0; i < n; i++) {
        size_t e = 6 + 16 * size_t(i);
        IconImage im;
        im.w = b[e] ? b[e] : 256;
        im.h = b[e + 1] ? b[e + 1] : 256;
        im.hotX = int(U16(b, e + 4));
        im.hotY = int(U16(b, e + 6));
        uint32_t size = U32(b, e + 8), at = U32(b, e + 12);
        if (at + size > b.size()) return {};
        im.colour = ParseDib(b, at, 0, true);
        if (!im.colour.ok) return {};
        size_t colours = im.colour.palette.size();
        size_t xorSize = size_t((im.w * im.colour.bits + 31) / 32 * 4) * size_t(im.h);
        size_t andAt = at + 40 + 4 * colours + xorSize, stride = size_t((im.w + 31) / 32 * 4);
        if (andAt + stride * size_t(im.h) != at + size) return {};
        for (int y = 0; y < im.h; y++)
            for (int x = 0; x < im.w; x++)
                im.clear.push_back(
                    (b[andAt + stride * size_t(im.h - 1 - y) + size_t(x / 8)] >> (7 - x % 8)) & 1);
        out.push_back(im);
    }
    return out;
}
} // namespace

TEST(ArtIcons, IconsHoldSixteenColourImagesAtBothSizes) {
    for (const char* name : {"MAINICON", "SOUNDICON", "WARPICON"}) {
        SCOPED_TRACE(name);
        std::vector<IconImage> v = LoadIconFile(std::string(name) + ".ico", 1);
        ASSERT_EQ(2u, v.size());
        std::set<int> sizes;
        for (const IconImage& im : v) {
            sizes.insert(im.w);
            EXPECT_EQ(im.w, im.h);
            EXPECT_EQ(im.w, im.colour.w);
            EXPECT_EQ(im.h, im.colour.h);
            EXPECT_EQ(4, im.colour.bits);
            EXPECT_EQ(16u, im.colour.palette.size());
            int clear = 0;
            for (uint8_t c : im.clear) clear += c;
            EXPECT_GT(clear, 0) << "the icon has no shape";
            EXPECT_LT(clear, im.w * im.h * 3 / 4) << "the icon is nearly empty";
            // Where the screen shows through, the colour image is black.
            for (int y = 0; y < im.h; y++)
                for (int x = 0; x < im.w; x++)
                    if (im.clear[size_t(y * im.w + x)]) {
                        ASSERT_EQ(kBlack, im.colour.At(x, y));
                    }
        }
        EXPECT_EQ((std::set<int>{16, 32}), sizes);
    }
}

TEST(ArtIcons, FingerCursorPointsWithItsHotSpotOnTheFingertip) {
    std::vector<IconImage> v = LoadIconFile("Finger.cur", 2);
    ASSERT_EQ(1u, v.size());
    const IconImage& c = v[0];
    EXPECT_EQ(32, c.w);
    EXPECT_EQ(32, c.h);
    EXPECT_EQ(1, c.colour.bits);
    ASSERT_LT(c.hotX, 32);
    ASSERT_LT(c.hotY, 32);
    auto opaque = [&](int x, int y) { return !c.clear[size_t(y * 32 + x)]; };
    // The hot spot is on the topmost drawn row, and a finger runs down from it.
    int top = 32;
    for (int y = 31; y >= 0; y--)
        for (int x = 0; x < 32; x++)
            if (opaque(x, y)) top = y;
    EXPECT_EQ(top, c.hotY);
    EXPECT_TRUE(opaque(c.hotX, c.hotY));
    for (int y = c.hotY; y < c.hotY + 10; y++) EXPECT_TRUE(opaque(c.hotX, y)) << y;
    int widthAtTip = 0, widthBelow = 0;
    for (int x = 0; x < 32; x++) {
        widthAtTip += opaque(x, c.hotY + 4);
        widthBelow += opaque(x, c.hotY + 14);
    }
    EXPECT_LE(widthAtTip, 6) << "a single finger near the tip";
    EXPECT_GT(widthBelow, 3 * widthAtTip) << "the hand below it";
    // Black and white only.
    for (Rgb p : c.colour.palette) EXPECT_TRUE(p == kBlack || p == kWhite);
}

// --- the generator itself ---------------------------------------------------------------------

#ifdef QUARRION_BINARY_DIR
TEST(ArtFiles, GeneratorIsDeterministic) {
    std::string tool = std::string(QUARRION_BINARY_DIR) + "/tools/artgen/artgen";
    if (ReadAll(tool).empty()) GTEST_SKIP() << "no artgen at " << tool;
    std::string dir = std::string(QUARRION_BINARY_DIR) + "/test_art_again";
    ASSERT_EQ(0, std::system(("\"" + tool + "\" \"" + dir + "\"").c_str()));
    for (const BitmapSpec& s : AllBitmaps())
        EXPECT_EQ(ReadAll(AssetPath(s.name + ".bmp")), ReadAll(dir + "/" + s.name + ".bmp"))
            << s.name;
    for (const char* f : {"MAINICON.ico", "SOUNDICON.ico", "WARPICON.ico", "Finger.cur"})
        EXPECT_EQ(ReadAll(AssetPath(f)), ReadAll(dir + "/" + f)) << f;
}
#endif

#ifdef QUARRION_SCREENSHOT_DIR
TEST(ArtFiles, ContactSheetIsAWellFormedPng) {
    Bytes b = ReadAll(std::string(QUARRION_SCREENSHOT_DIR) + "/assets.png");
    if (b.empty()) GTEST_SKIP() << "the contact sheet has not been drawn yet";
    const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GE(b.size(), 8u);
    EXPECT_TRUE(std::equal(sig, sig + 8, b.begin()));
    auto be32 = [&](size_t at) {
        return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 |
               b[at + 3];
    };
    auto crc = [](const uint8_t* p, size_t n) {
        uint32_t c = 0xFFFFFFFFu;
        for (size_t i = 0; i < n; i++) {
            c ^= p[i];
            for (int k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        return ~c;
    };
    size_t at = 8;
    std::vector<std::string> chunks;
    while (at + 12 <= b.size()) {
        uint32_t len = be32(at);
        ASSERT_LE(at + 12 + len, b.size());
        chunks.push_back(std::string(b.begin() + long(at + 4), b.begin() + long(at + 8)));
        EXPECT_EQ(crc(&b[at + 4], 4 + len), be32(at + 8 + len)) << chunks.back();
        if (chunks.back() == "IHDR") {
            // Wide enough for the pictures side by side, tall enough for all.
            EXPECT_GE(be32(at + 8), 1000u);
            EXPECT_GE(be32(at + 12), 1000u);
        }
        at += 12 + len;
    }
    ASSERT_GE(chunks.size(), 3u);
    EXPECT_EQ("IHDR", chunks.front());
    EXPECT_EQ("IEND", chunks.back());
}
#endif
