// The game's help: the text of resources/help.txt parsed into topics, the
// pictures it refers to (built from the game's own tables), and the layout of
// one topic's page. Plain tables of fixed size; the window that shows them is
// shell/help.cpp.
//
// The markup, one command or text line at a time:
//   ; a comment
//   @topic How to play           a topic, in the contents in this order
//   @heading Catching            a heading inside the page
//   @picture column-3 Title      a picture by name, with the title of its caption
//   @key Left, Right | Move      one row of a key table: keys | what they do
//   any other line               text; lines run on into one paragraph until
//                                a blank line or a command ends it
// Text may name a number of the game's rules in braces, e.g. {tile-bonus}.
#pragma once

#include <cstdint>

#include "engine/game.h"
#include "render/picture.h"

enum {
    HELP_MAX_TOPICS = 16,
    HELP_MAX_BLOCKS = 200,
    HELP_POOL = 16000,
    HELP_ERROR_LEN = 120,
    HELP_MAX_ITEMS = 400,
    HELP_MAX_PASSES = 2,
};

// --- Pictures ------------------------------------------------------------------

enum HelpPictureKind { HP_BOARD, HP_PADDLE, HP_GOAL, HP_PAD };

// Picture sizes in pixels, as the viewer draws them.
enum {
    HELP_BOARD_W = 5 * 41 + 2, // the bins: five lanes 41 apart, their lines and the last one
    HELP_BOARD_H = 5 * 16 + 1,
    HELP_PADDLE_W = 200,
    HELP_PADDLE_H = 66,
    HELP_GOAL_W = 207, // the side panel's goal picture and goal line
    HELP_GOAL_H = 120,
    HELP_PAD_W = 380, // the gamepad with what its buttons do beside them
    HELP_PAD_H = 170,
};

// The bins of a board picture and the lines that resolving them clears, pass
// by pass (a chain reaction has two passes).
struct HelpBoard {
    TileColor aCell[NUM_CELLS]; // index bin * 5 + row, row 0 at the bottom
    int8_t aLine[NUM_CELLS];    // 1 for a cell of a line the first pass clears
    int nPasses;
    int anShape[HELP_MAX_PASSES]; // the line each pass finds, GOAL_VERT3 .. GOAL_X9
};

// The paddle picture: the stack before and after the rotate key.
struct HelpPaddle {
    int nHeld;
    TileColor aBefore[MAX_HELD]; // [0] rests on the paddle
    TileColor aAfter[MAX_HELD];
};

// The goal picture: a level's goal as the side panel shows it.
struct HelpGoal {
    int nLevel;
    int nKind;
    int nPhase; // the example of the pattern shown
    int nColor; // its colour, an index of the goal picture's colours
};

int HelpPictureCount();
const char* HelpPictureName(int nPicture);
int HelpPictureKind(int nPicture);
// The index of the picture of that name (n characters), or -1.
int HelpPictureFind(const char* szName, int n);
void HelpPictureSize(int nPicture, int* pnW, int* pnH);
// Fill the picture's description; 0 when it is of another kind or cannot be
// built from the tables.
int HelpBoardOf(int nPicture, HelpBoard* pBoard);
int HelpPaddleOf(HelpPaddle* pPaddle);
int HelpGoalOf(HelpGoal* pGoal);
// A picture's words, written by the platform after its shapes, in its own
// font and at its zoom, so they stay sharp: rc in design pixels from the
// picture's top-left corner, nAlign of PICTURE_TEXT_*, one line each.
enum { HELP_WORD_LEN = 48, HELP_MAX_WORDS = 16 };
struct HelpWord {
    PictureRect rc;
    char sz[HELP_WORD_LEN];
    PictureColor cr;
    int nAlign;
};
struct HelpWords {
    int n;
    HelpWord a[HELP_MAX_WORDS];
};
// Draws the shapes of picture nPicture on pic at design size, its top-left
// corner at design point (0, 0), over the page's white already there; its
// words go to *pWords. 0 when there is no such picture.
int DrawHelpPictureOn(Picture& pic, int nPicture, HelpWords* pWords);

// The points of a board's passes together and what they count toward the
// goal kinds (anCount indexed by kind).
int32_t HelpBoardPoints(const HelpBoard& board);
void HelpBoardCounts(const HelpBoard& board, int anCount[NUM_GOAL_KINDS]);

// --- The document ----------------------------------------------------------------

enum HelpBlockType { HB_HEADING, HB_PARAGRAPH, HB_PICTURE, HB_KEY };

struct HelpText {
    int nAt; // offset into the document's pool
    int nLen;
};

struct HelpBlock {
    int nType;
    HelpText text;  // heading, paragraph, keys, or the picture's title
    HelpText text2; // what the keys do, or the picture's caption
    int nPicture;   // HB_PICTURE: the picture's index
};

struct HelpTopic {
    HelpText title;
    int nFirstBlock;
    int nBlocks;
};

struct HelpDoc {
    int nTopics;
    HelpTopic aTopic[HELP_MAX_TOPICS];
    int nBlocks;
    HelpBlock aBlock[HELP_MAX_BLOCKS];
    int nPool;
    char aPool[HELP_POOL];
    char szError[HELP_ERROR_LEN]; // "line 12: unknown picture "foo"" when parsing failed
};

// Parses cbText bytes of markup into *pDoc. Returns 1, or 0 with the reason
// in pDoc->szError: text outside a topic, an unknown command, picture or
// value, a topic without content, no topics, or more than the tables hold.
// The goal kind names must be loaded (GameInit) for the captions.
int HelpDocParse(const char* pText, int cbText, HelpDoc* pDoc);

inline const char* HelpTextPtr(const HelpDoc& doc, HelpText t) {
    return doc.aPool + t.nAt;
}

// --- Layout ------------------------------------------------------------------------

enum HelpFont { HF_BODY, HF_TITLE, HF_HEADING, HF_CAPTION, HF_KEY, HELP_NUM_FONTS };

// How wide a text is in a font, and each font's line height, in pixels.
struct HelpMeasure {
    void* pCtx;
    int (*pfnWidth)(void* pCtx, int nFont, const char* p, int n);
    int anLineH[HELP_NUM_FONTS];
    int nZoom; // page pixels per picture pixel: the pictures and the gaps grow with it (0 as 1)
};

enum HelpItemType { HI_TEXT, HI_PICTURE };

struct HelpItem {
    int nType;
    int nFont;      // HI_TEXT
    int x, y, w, h; // in page pixels, y from the top of the page
    const char* p;  // HI_TEXT: the line's characters
    int n;
    int nPicture; // HI_PICTURE
};

struct HelpLayout {
    int nItems;
    HelpItem aItem[HELP_MAX_ITEMS];
    int nHeight; // of the whole page
};

// Lays out topic nTopic into a page nWidth pixels wide: its title, words wrapped, key
// tables in two columns, each picture with its caption beside it. Returns 1,
// or 0 if the topic is not there or the items overflow the table.
int HelpLayoutTopic(const HelpDoc& doc, int nTopic, int nWidth, const HelpMeasure& m,
                    HelpLayout* pLayout);
