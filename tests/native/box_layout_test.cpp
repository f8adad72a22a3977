// Input box and button box geometry, sizing and key rules.
#include <doctest/doctest.h>

#include <climits>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

#include "forms/button_box_layout.h"
#include "forms/input_box_layout.h"

// ---- Input box -------------------------------------------------------------------

TEST_CASE("input box: item count 1..30, rows of 28 pixels, clicks name rows; sizing moves the dragged edge's column")
{
  CHECK(std::vector{clamp_item_count(INT_MIN), clamp_item_count(0), clamp_item_count(45)} == std::vector{1, 1, 30});

  const column_widths widths{default_isize, default_esize};
  // The places of titles and fields on a real box are the Windows test's.
  CHECK(input_box_client_size(3, widths) == box_size{162, 86});

  for (const column_widths w : {widths, column_widths{1, 1}, column_widths{300, 17}}) {
    const box_size client = input_box_client_size(max_items, w);
    for (int i = 0; i < max_items; ++i) {
      CAPTURE(i);
      const box_rect field = input_field_rect(i, w);
      // Fields end 4 pixels short of the right edge; the last one fits the box.
      CHECK((field.x + field.width + 4 == client.width && field.y + field.height <= client.height));
      const box_rect title = input_title_rect(i, w);
      CHECK(title.x + title.width <= field.x);   // the title ends left of its field
      CHECK((input_item_at(field.y) == i && input_item_at(field.y + field.height - 1) == i));
    }
  }
  CHECK((input_item_at(28 * 30 + 1) == 30 && input_item_at(-1) == -1));   // 30 and -1: no item

  // The dragged edge decides which column follows the new width.
  const column_widths start{80, 70};
  const int wider = 162 + 25;
  for (int edge : {edge_right, edge_top_right, edge_bottom_right, edge_top, edge_bottom, edge_none,
                   edge_left, edge_top_left, edge_bottom_left}) {
    CAPTURE(edge);
    const column_widths w = widths_after_sizing(edge, wider, start);
    const bool left = edge == edge_left || edge == edge_top_left || edge == edge_bottom_left;
    CHECK(std::pair{w.isize, w.esize} == (left ? std::pair{105, 70} : std::pair{80, 95}));
  }
  // The changing column keeps at least one pixel and no more than a window reports.
  const column_widths asked = clamp_column_widths(-5, INT_MAX);
  CHECK(std::vector{widths_after_sizing(edge_right, 20, start).esize,
                    widths_after_sizing(edge_left, INT_MIN, start).isize,
                    widths_after_sizing(edge_right, INT_MAX, start).esize, asked.isize, asked.esize} ==
        std::vector{1, 1, max_client_extent, 1, max_client_extent});
}

// ---- Button box --------------------------------------------------------------------

TEST_CASE("button box: 1 to 256 buttons, never an overflow; a 2 x 4 grid, clicks, resizing; keys")
{
  for (auto [c, r] : {std::pair{1, 1}, {256, 1}, {1, 256}, {16, 16}, {85, 3}})
    CHECK(button_grid_allowed(c, r));
  // 65536 x 65536 wraps to 0 in 32 bits
  for (auto [c, r] : {std::pair{0, 4}, {4, 0}, {-2, -3}, {257, 1}, {17, 16}, {86, 3}, {INT_MAX, INT_MAX},
                      {65536, 65536}, {2, INT_MAX}, {INT_MIN, INT_MIN}})
    CHECK_FALSE(button_grid_allowed(c, r));

  // Clicks on a 2 x 4 grid (its places on a real box are the Windows test's).
  const box_size button{default_button_width, default_button_height};
  CHECK(button_box_client_size(2, 4, button) == box_size{208, 124});
  for (int i = 0; i < 8; ++i) {
    const box_rect r = button_rect(i, 2, button);
    CHECK(button_at(r.x, r.y, 2, 4, button) == i);
    CHECK(button_at(r.x + r.width - 1, r.y + r.height - 1, 2, 4, button) == i);
  }
  CHECK(button_at(-10, -10, 2, 4, button) == 0);
  CHECK(button_at(10, 122, 2, 4, button) == 6);     // gap below the last row
  CHECK(button_at(150, 500, 2, 4, button) == 7);
  CHECK(button_at(207, 10, 2, 4, button) == 1);     // right of the last column

  // Resizing shares the client area out among the buttons: 10 pixels wider
  // with 2 columns, every button 5 pixels wider.
  CHECK(button_size_for_client(218, 124, 2, 4) == box_size{103, 26});
  // Dragged to nothing, buttons keep one pixel; huge sizes stay in range.
  CHECK(button_size_for_client(0, 5, 2, 4) == box_size{1, 1});
  const box_size huge = button_size_for_client(INT_MAX, INT_MAX, 1, 1);
  CHECK(huge == box_size{max_client_extent, max_client_extent});
  CHECK(button_box_client_size(256, 1, huge).width == 256 * (max_client_extent + 4) + 4);

  // The client size of any grid gives its button size back.
  for (int columns = 1; columns <= 16; ++columns)
    for (int rows = 1; rows <= 16; ++rows)
      for (const box_size button : {box_size{98, 26}, box_size{1, 1}, box_size{37, 250}}) {
        const box_size client = button_box_client_size(columns, rows, button);
        CHECK(button_size_for_client(client.width, client.height, columns, rows) == button);
      }

  // The keys a button box takes.
  const KeyEffect none = KeyEffect::none, press = KeyEffect::press, count = KeyEffect::count,
                  forward = KeyEffect::forward_to_main;
  // key, with Ctrl, buttons in the box; what it does, to which button
  std::vector<std::tuple<int, bool, int, KeyEffect, int>> cases = {
      // Cursor keys and W A S D press buttons 4 to 7, if the box has them.
      {key_up, false, 5, press, 4},    {'W', false, 5, press, 4},   {'W', false, 4, none, 0},
      {key_down, false, 6, press, 5},  {'S', false, 6, press, 5},   {key_down, false, 5, none, 0},
      {key_left, false, 7, press, 6},  {'A', false, 7, press, 6},   {'A', false, 6, none, 0},
      {key_right, false, 8, press, 7}, {'D', false, 8, press, 7},   {key_right, false, 7, none, 0},
      // Digits count presses, if the box has the button, and not with Ctrl.
      {'3', false, 3, none, 0},        {key_numpad_0 + 2, false, 3, count, 2}, {'5', true, 10, none, 0},
      // X, Escape and C go to the main window unless Ctrl is held; Ctrl+Q closes.
      {'X', false, 8, forward, 0},     {key_escape, false, 8, forward, 0}, {'C', false, 8, forward, 0},
      {'X', true, 8, none, 0},         {key_escape, true, 8, none, 0},     {'C', true, 8, none, 0},
      {'Q', true, 1, KeyEffect::close_box, 0}, {'Q', false, 1, none, 0}, {0x70, false, 8, none, 0},   // F1
  };
  for (int d = 0; d <= 9; ++d)
    for (int key : {'0' + d, key_numpad_0 + d})
      cases.emplace_back(key, false, 10, count, d);
  for (const auto& [key, ctrl, buttons, effect, button] : cases) {
    INFO("key ", key, ctrl ? " with Ctrl" : "", " in a box of ", buttons);
    const key_action action = button_box_key(key, ctrl, buttons);
    CHECK(action.effect == effect);
    if (effect == press || effect == count)
      CHECK(action.button == button);
  }
}
