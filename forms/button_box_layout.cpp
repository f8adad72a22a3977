#include "forms/button_box_layout.h"

#include <algorithm>

// Dividing instead of multiplying keeps the test free of overflow for any int
// pair: columns * rows <= 256 exactly when columns <= 256 / rows.
bool button_grid_allowed(int columns, int rows)
{
  return columns > 0 && rows > 0 && columns <= max_buttons / rows;
}

box_size button_box_client_size(int columns, int rows, box_size button)
{
  return {columns * (button.width + button_gap) + button_gap,
          rows * (button.height + button_gap) + button_gap};
}

box_rect button_rect(int button, int columns, box_size button_size)
{
  const int row = button / columns;
  const int column = button % columns;
  return {column * (button_size.width + button_gap) + button_gap,
          row * (button_size.height + button_gap) + button_gap, button_size.width,
          button_size.height};
}

namespace {

// Shares the client extent out among count buttons after the gaps. Every
// button keeps at least one pixel, however small the window is dragged, and
// no more than a window can report, so the grid sums stay within int.
int share(int client_extent, int count)
{
  const long long room = static_cast<long long>(client_extent) - (button_gap * count + button_gap);
  return static_cast<int>(std::clamp<long long>(room / count, 1, max_client_extent));
}

} // namespace

box_size button_size_for_client(int client_width, int client_height, int columns, int rows)
{
  return {share(client_width, columns), share(client_height, rows)};
}

// A click in the gap left of or above a button belongs to that button, and
// one beyond the last row or column to that row or column, so every point of
// the box names a button.
int button_at(int x, int y, int columns, int rows, box_size button_size)
{
  const int column = std::clamp(x / (button_size.width + button_gap), 0, columns - 1);
  const int row = std::clamp(y / (button_size.height + button_gap), 0, rows - 1);
  return row * columns + column;
}

int button_for_command(int id, int button_count)
{
  const int button = id - bb_cmd_first_button;
  return button >= 0 && button < button_count ? button : -1;
}

// The cursor keys and W, A, S, D press buttons 4 to 7 as four direction
// buttons (up, down, left, right); digits count presses of buttons 0 to 9.
// Keys naming a button the box does not have do nothing.
key_action button_box_key(int virtual_key, bool ctrl_held, int button_count)
{
  auto letter = [](char c) { return key_letter_a + (c - 'A'); };
  auto for_button = [button_count](KeyEffect effect, int button) {
    return button < button_count ? key_action{effect, button} : key_action{KeyEffect::none, 0};
  };

  if (virtual_key == key_up || virtual_key == letter('W'))
    return for_button(KeyEffect::press, 4);
  if (virtual_key == key_down || virtual_key == letter('S'))
    return for_button(KeyEffect::press, 5);
  if (virtual_key == key_left || virtual_key == letter('A'))
    return for_button(KeyEffect::press, 6);
  if (virtual_key == key_right || virtual_key == letter('D'))
    return for_button(KeyEffect::press, 7);

  if (ctrl_held)
    return {virtual_key == letter('Q') ? KeyEffect::close_box : KeyEffect::none, 0};

  if (virtual_key >= key_digit_0 && virtual_key <= key_digit_0 + 9)
    return for_button(KeyEffect::count, virtual_key - key_digit_0);
  if (virtual_key >= key_numpad_0 && virtual_key <= key_numpad_0 + 9)
    return for_button(KeyEffect::count, virtual_key - key_numpad_0);
  if (virtual_key == letter('X') || virtual_key == key_escape || virtual_key == letter('C'))
    return {KeyEffect::forward_to_main, 0};
  return {KeyEffect::none, 0};
}
