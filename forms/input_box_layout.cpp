#include "forms/input_box_layout.h"

#include <algorithm>

namespace {

// Left margin, gap between title and field, right margin.
constexpr int side_margins = 12;

} // namespace

int clamp_item_count(int items)
{
  return std::clamp(items, 1, max_items);
}

column_widths clamp_column_widths(int isize, int esize)
{
  return {std::clamp(isize, 1, max_client_extent), std::clamp(esize, 1, max_client_extent)};
}

box_size input_box_client_size(int items, column_widths widths)
{
  return {widths.isize + widths.esize + side_margins, item_pitch * items + 2};
}

// Titles sit 3 pixels lower than their fields so that the static text lines
// up with the text inside the sunken edit frame.
box_rect input_title_rect(int item, column_widths widths)
{
  return {4, item_pitch * item + 7, widths.isize, item_height};
}

box_rect input_field_rect(int item, column_widths widths)
{
  return {widths.isize + 8, item_pitch * item + 4, widths.esize, item_height};
}

int input_item_at(int y)
{
  return y < 0 ? -1 : y / item_pitch;
}

// The box grows and shrinks only sideways: the dragged rectangle keeps the
// window's current top and bottom.
edge_rect keep_vertical_edges(edge_rect proposed, edge_rect current)
{
  proposed.top = current.top;
  proposed.bottom = current.bottom;
  return proposed;
}

// Dragging a left-hand edge hands the change to the titles, any other edge to
// the fields; the column that does not follow the drag keeps its width.
column_widths widths_after_sizing(int dragged_edge, int client_width, column_widths widths)
{
  const bool left_side = dragged_edge == edge_left || dragged_edge == edge_top_left ||
                         dragged_edge == edge_bottom_left;
  // Computed wide: a program may hand in any int as the client width.
  const long long rest = static_cast<long long>(client_width) - side_margins -
                         (left_side ? widths.esize : widths.isize);
  const int width = static_cast<int>(std::clamp<long long>(rest, 1, max_client_extent));
  if (left_side)
    widths.isize = width;
  else
    widths.esize = width;
  return widths;
}
