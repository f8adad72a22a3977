// The image slot table: 256 numbered images, each a pixel buffer shown in its
// own window, the current image that pixel and drawing calls act on, and the
// history of previous selections. All of it belongs to the worker thread,
// which owns the image windows; the GUI thread reaches it only through the
// request channel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "qellib.h"

struct ImageSlot {
  int in_use = 0;             // set last on creation, cleared first on destruction
  int bits = 0;              // 32 (0x00RRGGBB words) or 8 (palette indices)
  int width = 0;             // kept after destruction, like the rest of the record
  int height = 0;
  int view_width = 0;        // client area: width * zoom / 100
  int view_height = 0;
  int zoom = 0;              // percent
  int screen_limited = 0;    // 1: screen size limits; 0: loose limits (FL calls)
  std::string title;         // without the zoom suffix, at most line_size - 1 bytes
  // Counts the creations of this slot, so that code holding a slot number
  // across a message pump can tell a re-created image from the one it knew.
  std::uint32_t generation = 0;
};

// What pixel access reads for a slot. It differs from the record in one way:
// while the slot is free it is 0 x 0, so every access falls outside and the
// released buffer is never touched, without a second test on the write path.
struct SlotPixels {
  std::uint32_t* pixels32 = nullptr;  // the buffer as words (32-bit images)
  std::uint8_t* pixels8 = nullptr;    // the same buffer as bytes (8-bit images)
  int width = 0;
  int height = 0;
  int stride = 0;                     // row stride in elements (words or bytes)
  int bits = 0;
};

constexpr int history_depth = 8;

extern ImageSlot image_slots[slot_count];
// One entry more than there are slots: the last one is always 0 x 0 and stands
// for a current image index outside 0..255.
extern SlotPixels slot_pixels[slot_count + 1];
extern int selection_history[history_depth];   // most recent first

// The pixels of the current image (the empty entry for an index out of range).
inline const SlotPixels& current_pixels()
{
  const unsigned slot = static_cast<unsigned>(qel_current_image);
  return slot_pixels[slot < slot_count ? slot : slot_count];
}

bool slot_in_use(int slot);                    // slot is 0..255 and holds an image
bool same_image(int slot, std::uint32_t generation); // still in use, not made anew since `generation` was read
int  create_image(int slot, const char* title, int x, int y, int width, int height,
                  int bits, int zoom, int screen_limited);  // the four creation calls
void refresh_caption(int slot);                // rebuild the window text of an in-use slot
// "title(zoom%)", "[8bit]" for palette images, "*" while smoothing; the title is
// cut so that the suffix always fits. Returns the length written.
std::size_t format_caption(char* out, std::size_t size, const char* title, int zoom,
                           int bits, bool smooth);
void reset_image_slots();                      // destroy every slot, back to the start-up state
int  first_free_image_slot();                  // -1 when all are in use
