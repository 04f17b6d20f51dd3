// The goal picture of the side panel: which picture a goal kind shows, and
// the examples of each pattern kind that the picture steps through. Plain
// tables and one phase counter; the drawing itself is in goal_win.cpp.
#pragma once

#include <cstdint>

enum {
    GOAL_PIC_X = 9, // top-left of the picture in the panel's client area
    GOAL_PIC_Y = 291,
    GOAL_GRID = 5, // the example grid is 5 columns by 5 rows
    GOAL_MAX_CELLS = 9,
    GOAL_MAX_PHASES = 5,
    NUM_GOAL_CELL_COLORS = 8,
    GOAL_STEP_TICKS = 20, // the play tick steps the picture every 20 ticks
};

// One cell of the example grid; row 0 is the top row.
struct GoalCell {
    int8_t nCol;
    int8_t nRow;
};

struct GoalRect {
    int left, top, right, bottom; // right and bottom exclusive
};

// What one step of the picture paints: nCells cells in colour nColor.
struct GoalStep {
    int nColor; // index into the cell colour table, 0..7
    int nCells; // 0: the bare grid
    const GoalCell* pCells;
};

// The number of the example shown next; one counter for every kind, kept
// across levels and games.
extern int nGoalPhase;

// "GOALPOINTS", "GOALTILES" or "GOAL".
const char* GoalPictureName(int nKind);

// How many examples a pattern kind cycles through: 4 or 5; 1 for the 9-tile
// X, which never moves; 0 for the points and tiles goals, which show none.
int GoalPhaseCount(int nKind);

// The cells of example nPhase of a kind; nCells is 0 for a phase it lacks.
GoalStep GoalExample(int nKind, int nPhase);

// Where cell (nCol, nRow) lies in the panel's client area.
GoalRect GoalCellRect(int nCol, int nRow);

// One step of the picture for a goal kind. For a points or tiles goal it
// returns 0 and touches nothing. For a pattern goal it draws one number of
// the shared rand() sequence for the colour, fills *pStep with the example
// to paint and moves nGoalPhase on; returns 1.
int GoalPictureStep(int nKind, GoalStep* pStep);
