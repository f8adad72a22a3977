// Geometry and key rules of the button box: a grid of equal buttons with
// 4-pixel gaps, numbered row by row.
#pragma once

#include "forms/box_geometry.h"
#include "shell/ids.h"

constexpr int max_buttons = 256;
constexpr int button_gap = 4;
constexpr int default_button_width = 98;
constexpr int default_button_height = 26;

// Virtual-key codes the box answers, with the system's numbers.
enum ButtonBoxKey {
  key_escape = 0x1B,
  key_left = 0x25,
  key_up = 0x26,
  key_right = 0x27,
  key_down = 0x28,
  key_digit_0 = 0x30,      // '0'..'9' follow
  key_letter_a = 0x41,     // 'A'..'Z' follow
  key_numpad_0 = 0x60,     // numeric pad 0..9 follow
};

enum class KeyEffect {
  none,
  press,            // set the button's flag to 1
  count,            // add 1 to the button's flag
  forward_to_main,  // post the same key to the main window
  close_box,
};

struct key_action {
  KeyEffect effect;
  int button;       // for press and count
};

// The grid functions after button_grid_allowed expect an allowed grid.
bool button_grid_allowed(int columns, int rows);                   // both > 0 and at most 256 buttons
box_size button_box_client_size(int columns, int rows, box_size button);
box_rect button_rect(int button, int columns, box_size button_size);
box_size button_size_for_client(int client_width, int client_height, int columns, int rows);
int button_at(int x, int y, int columns, int rows, box_size button_size);  // nearest cell, clamped into the grid
int button_for_command(int id, int button_count);                 // button of a command id, or -1
key_action button_box_key(int virtual_key, bool ctrl_held, int button_count);
