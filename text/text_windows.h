// The 256 text windows: the table, the current window that printing and
// line input use, opening, selecting and closing, the colour stacks,
// scrolling, resizing and glyph output. Portable: the windows and their
// drawing surfaces are the text backend's (text/text_backend.h).
//
// Threads: everything here belongs to the worker thread, which owns the
// text windows. Calls from any other thread do nothing.
#pragma once

#include <cstdint>

#include "qellib.h"
#include "text/line_editor.h"

constexpr int colour_stack_depth = 8;

struct TextWindow {
  bool open = false;
  int width = 0, height = 0;           // client size, also the surface size
  int cursor_x = 0, cursor_y = 0;      // top-left of the next character cell
  int cell_width = 1, cell_height = 1;
  std::uint32_t text_colour = 0xFFFFFF;  // 0xRRGGBB
  std::uint32_t back_colour = 0;
  std::uint32_t text_colour_stack[colour_stack_depth] = {};  // entry 0 = most recent
  std::uint32_t back_colour_stack[colour_stack_depth] = {};
};

const TextWindow& text_window(int n);      // n must be 0..255
int  current_text_window();
bool current_text_window_open();
bool text_window_is_open(int n);           // false for n outside 0..255
int  find_text_window(const void* window); // open window showing that system window, or -1

void push_text_colours(std::uint32_t back, std::uint32_t text);  // on the current window
void pop_text_colours();
void ensure_text_window();                 // the current window forward, or window 0 opened centred
int  scroll_if_needed(int n);              // 1 when it scrolled (the caller repaints)
void resize_text_window(int n, int width, int height);   // new black surface, cursor home
void clear_text_window(int n);             // black, cursor home, repainted; a log gets an empty line
void put_glyph(int n, wchar_t ch, int x, int y, int cells);  // one character at (x, y), its cells repainted

void reset_text_windows();

// Text window n as line input types into it: its cursor, geometry and glyphs.
class TextWindowCanvas : public LineCanvas {
public:
  explicit TextWindowCanvas(int n);
  int& cursor_x() override;
  int& cursor_y() override;
  int width() const override;
  int cell_width() const override;
  int cell_height() const override;
  void put_glyph(wchar_t ch, int x, int y, int cells) override;
  void scroll_if_needed() override;

private:
  int n_;
};                 // start-up: all closed, window 0 current
