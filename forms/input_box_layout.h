// Geometry of the input box: a column of items, each a title at the left and
// a one-line field at the right, 24 pixels high on a 28-pixel pitch.
#pragma once

#include "forms/box_geometry.h"

constexpr int max_items = 30;
constexpr int item_pitch = 28;
constexpr int item_height = 24;
constexpr int default_isize = 80;   // title width
constexpr int default_esize = 70;   // field width

// The edge the user drags, numbered as the system's sizing notification numbers it.
enum SizingEdge {
  edge_none = 0,
  edge_left = 1,
  edge_right = 2,
  edge_top = 3,
  edge_top_left = 4,
  edge_top_right = 5,
  edge_bottom = 6,
  edge_bottom_left = 7,
  edge_bottom_right = 8,
};

struct column_widths {
  int isize;   // title width
  int esize;   // field width
};

int clamp_item_count(int items);                                   // 1..30
column_widths clamp_column_widths(int isize, int esize);           // each 1..max_client_extent
box_size input_box_client_size(int items, column_widths widths);
box_rect input_title_rect(int item, column_widths widths);
box_rect input_field_rect(int item, column_widths widths);
int input_item_at(int y);                                          // item row under client y; -1 above the first
edge_rect keep_vertical_edges(edge_rect proposed, edge_rect current);
column_widths widths_after_sizing(int dragged_edge, int client_width, column_widths widths);
