// What the portable image-slot code asks of the platform. On Windows each slot
// is a top-level window with a window DC, a memory DC and a top-down DIB
// section; natively the headless backend keeps plain heap buffers instead.
// Calls are made on the worker thread and address slots by number; the backend
// keeps its own per-slot record (handles stay out of the portable code).
#pragma once

#include <cstdint>

#include "image/zoom_fit.h"

constexpr int stretch_plain = 3;    // colour-on-colour: dropped rows and columns
constexpr int stretch_smooth = 4;   // halftone: averaged

WindowMetrics backend_metrics();                                 // minimum window, sizing frame, caption and screen sizes
bool  backend_create_window(int slot, const char* caption, int x, int y,
                            int client_width, int client_height); // window (-1: default place) + window DC + memory DC, plain mode; false on failure
void* backend_create_buffer(int slot, int width, int height, int bits); // grey-ramp DIB selected into the memory DC; its pixels, or nullptr
void  backend_destroy(int slot);                                 // release all the slot holds in reverse order; fine after a partial creation
void* backend_window_handle(int slot);                           // the slot's window as an opaque value, nullptr when none
void  backend_window_position(int slot, int* left, int* top);    // screen position of the window's top-left corner
void  backend_set_caption(int slot, const char* caption);        // window text from system code-page text
void  backend_resize_client(int slot, int client_width,
                            int client_height);                  // outer size for that client area, keeping place and z-order
void  backend_invalidate(int slot);                              // whole client area repaints later, without erase
void  backend_copy_to_window(int slot, int width, int height);   // block copy memory DC -> window DC at 100%
void  backend_stretch_to_window(int slot, int width, int height,
                                int view_width, int view_height); // stretch copy in the window DC's stretch mode
int   backend_stretch_mode(int slot);                            // stretch mode of the window DC
void  backend_set_stretch_mode(int slot, int mode);              // mode of both DCs, brush origin (0, 0)
void  backend_read_palette(int slot, std::uint32_t* entries);    // all 256 colour-table entries as 0x00RRGGBB
void  backend_write_palette(int slot, const std::uint32_t* entries, int count); // colour-table entries 0..count-1
void  backend_windows_changed();                                 // an image window appeared, closed or changed size: rebuild the edge list
