// The window-edge list: the rectangles that a framework window snaps to while
// it is dragged with Ctrl held. Four strips around the screen come first, then
// the framework's windows in the order the platform layer hands them over
// (image windows by slot, text windows by index, input box, button box, main
// window). Both threads rebuild the shared list and snap against it.
#pragma once

#include "shell/edge_rect.h"

constexpr int edge_list_capacity = 260;                    // rectangles past this are dropped
constexpr int edge_list_window_room = edge_list_capacity - 4; // room left after the screen strips
constexpr int snap_distance = 8;                           // edges closer than this snap together

struct edge_list {
  int count = 0;
  edge_rect entries[edge_list_capacity] = {};
};

// The pure pair: a list from the screen and the windows, and the snap rule on it.
edge_list build_edge_list(int screen_width, int screen_height, const edge_rect* windows, int window_count); // screen_height = full-screen client height + caption height
void snap_to_edge_list(const edge_list& list, edge_rect& proposed, const edge_rect& current, bool ctrl_down); // moves `proposed` in place; `current` is the moving window's own rectangle

// The shared pair, safe to call from both threads at once.
void rebuild_edge_list(int screen_width, int screen_height, const edge_rect* windows, int window_count); // build and publish
void snap_moving_rect(edge_rect& proposed, const edge_rect& current, bool ctrl_down); // snap against the published list
edge_list published_edge_list();                                                     // a copy of the published list
