// The interactive point tools' shared state, the calls through which the image
// window procedure reports the mouse to them, and their common end. The tools
// themselves (QEL_ClickPoint ... QEL_ClickPlace) are declared in qellib.h.
#pragma once

#include "shell/run_control.h"   // tool_active: the main window's thread reads it too

// Written by the image window procedure and consumed by the waiting tool. The
// procedure runs inside the tool's own message pump, so all of these are
// touched by the worker thread only and need no locking.
extern int tool_slot;                 // slot whose window the tool listens to, -1 when none
extern int tool_clicked;              // a left click arrived (cleared by the tool)
extern int tool_moved;                // the pointer moved (cleared by the tool)
extern int tool_cancelled;            // a right or middle click arrived (cleared by the tool)
extern int tool_shift;                // Shift was held at the last left click
extern int click_x, click_y;          // image coordinates of the last left click
extern int pointer_x, pointer_y;      // image coordinates of the last pointer move

// Result codes of the tools.
constexpr int tool_taken = 0;         // points taken, or Stop / Exit ended the wait
constexpr int tool_cancel = 1;        // right or middle click while no point was taken
constexpr int tool_no_slot = 2;       // bad or free slot, or the slot closed while the tool waited

int  image_coordinate(int client, int zoom);    // client * 100 / zoom, integer division
// Mouse messages of the window that shows `slot` (-1 for none), client
// coordinates at the slot's zoom. Ignored unless a tool listens to that slot.
void tool_mouse_move(int slot, int client_x, int client_y, int zoom);
void tool_left_press(int slot, int client_x, int client_y, int zoom, bool shift);
bool tool_cancel_press(int slot);     // right or middle press; true while a tool waits: then no menu opens

bool tool_points_clicked(int result); // the latest tool's result holds clicked points: 0, and not ended by Stop or Exit

void EndPointTool();                  // idle status text, tool_active 0, tool_slot -1, drops as outside the tool
