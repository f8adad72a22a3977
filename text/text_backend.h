// What the portable text-window code asks of the platform. On Windows each
// text window is a top-level window with its own DC and a memory surface
// holding the fixed-pitch OEM font; natively the headless backend keeps a
// grid of cells instead. Calls address windows by number (0..255) and come
// from the worker thread only.
#pragma once

#include <cstdint>

struct CellSize {
  int width = 1;
  int height = 1;
};

// The window (x or y negative: the system places it) and its black surface
// of width x height with the font selected; false, with nothing left
// behind, when either cannot be made. `cells` gets the font's cell size.
bool  text_backend_open(int n, const char* title, int x, int y, int width, int height,
                        CellSize* cells);
void  text_backend_close(int n);                   // surface released, then the window destroyed
bool  text_backend_resize(int n, int width, int height);  // a new black surface; false keeps the old one
void  text_backend_set_colours(int n, std::uint32_t text, std::uint32_t back);  // 0xRRGGBB
void  text_backend_draw_run(int n, int x, int y, const wchar_t* text, int count);
void  text_backend_fill_black(int n, int x, int y, int width, int height);
void  text_backend_move_up(int n, int by, int height);   // rows by..by+height-1 to 0..height-1
void  text_backend_invalidate(int n, int x, int y, int width, int height);  // width < 0: all
void  text_backend_foreground(int n);
void* text_backend_window(int n);                  // the system window, nullptr when none
void  text_backend_screen_size(int* width, int* height);  // full-screen client area
int   text_backend_to_wide(const char* text, int length, wchar_t* out, int capacity);  // code page -> UTF-16
bool  text_backend_on_owner_thread();              // false on threads that must not draw
void  text_backend_windows_changed();              // a text window appeared, moved or resized
