// The browser's picture: the game's 640 x 480 screen as 32-bit pixels in
// memory, drawn by the portable renderer and handed to the page's canvas a
// changed piece at a time. The page's script scales it by
// whole pixels; text goes to a layer of its own above it (WebText).
#pragma once

#include <cstdint>

#include "render/picture.h"
#include "render/screen.h"

enum {
    WEB_SCREEN_W = 640,
    WEB_SCREEN_H = 480,
    WEB_NUM_BUTTONS = 6,
    WEB_BUTTON_X = 511,
    WEB_BUTTON_Y = 40,
    WEB_BUTTON_STEP_Y = 70,
    WEB_BUTTON_W = 83,
    WEB_BUTTON_H = 55,
};

// One decoded bitmap of the game's data.
typedef PictureBitmap WebBitmap;

// The pixels, 0x00RRGGBB as the game's picture holds them.
extern uint32_t aWebScreen[WEB_SCREEN_W * WEB_SCREEN_H];

// Reads every bitmap of the data folder once. Returns how many it read.
int WebBitmapsLoad(const char* szDir);
// A bitmap by its resource name (no extension); null when there is none.
const WebBitmap* WebBitmapNamed(const char* szName);

// The whole screen as the game shows it now (title or play), panel included.
void WebPaintMain();
// The title's step: the credits band and half of its tiles.
void WebTitleTick(int bActive);
// The chase of coloured rings around the six buttons on the title screen.
void WebButtonChaseTick();
// A button drawn up or pressed.
void WebDrawButton(int nButton, int bPressed);

// The pictures the portable screen (render/screen.h) draws the play
// operations on: the screen and the side panel's inside.
extern const ScreenPlatform kScreenWeb;
// The lives' row of the side panel.
void WebPanelLives();
// Picture nPicture of the help, drawn by the game's own routine: its pixels
// and size; null when there is no such picture.
const uint32_t* WebHelpPicture(int nPicture, int* pW, int* pH);
// Word i of the last of them, or null past its last: pOut gets its rectangle
// in the picture's design pixels (left, top, right, bottom), its colour
// (0xRRGGBB) and its alignment (PICTURE_TEXT_*).
const char* WebHelpPictureWord(int i, int* pOut);
// The side panel's three lines of text, in their colours.
void WebPanelText();

// Hands the changed part of the picture to the page; returns 1 when it did.
int WebPresent();
// Marks the whole picture as changed (the next present sends all of it).
void WebScreenDirtyAll();
// The page's clock in milliseconds, as the play timer's tick counts.
uint32_t WebTickCount();
