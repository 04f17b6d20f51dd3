// The game's sound effects as its resources hold them: name (the resource's
// and the file's), channels, sample rate and length in seconds. soundgen
// makes every effect in this order and format; the tests check what it made
// against the same table.
#pragma once

struct SoundEffectFormat {
    const char* szName;
    int nChannels;
    int nRate;
    double seconds;
};

inline constexpr SoundEffectFormat kSoundEffects[] = {
    {"SWOOSH", 1, 11127, 0.80},     {"NEWGAME", 2, 22254, 0.52},     {"WARP", 2, 22254, 0.88},
    {"CLEARSCORES", 1, 7418, 2.53}, {"BUTTONCLICK", 2, 22254, 0.10}, {"PAUSEON", 2, 22254, 0.23},
    {"PAUSEOFF", 2, 22254, 0.49},   {"CAUGHT", 2, 22254, 0.36},      {"BOING", 1, 22255, 0.35},
    {"FALLING", 1, 22254, 0.97},    {"ROTATE", 1, 11127, 0.09},      {"DROPPED", 2, 22254, 0.44},
    {"CANNOTDROP", 2, 32000, 0.34}, {"SCORE1", 2, 22254, 0.30},      {"SCORE2", 2, 22254, 0.40},
    {"SCORE3", 2, 22254, 0.50},     {"SCORE4", 2, 22254, 0.60},      {"SCORE5", 2, 22254, 0.71},
    {"LEVELOVER", 2, 7418, 2.11},   {"NEXTLEVEL", 1, 11127, 0.48},   {"GAMEOVER", 1, 7418, 1.60},
    {"GAMEWON", 2, 22254, 2.59},    {"NEWSCORE", 1, 22254, 1.08},    {"APPLAUSE", 1, 7418, 2.53},
    {"NEWGUY", 2, 22254, 0.39},
};
