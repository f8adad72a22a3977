// The image slot table: creation and destruction of slots with their windows
// and buffers, re-creation at a new size, the current image and its history,
// palettes, lookup by window, and what the window shows (zoom, stretch mode,
// caption). Everything platform-specific goes through the slot backend.
#include "image/slots.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "image/slot_backend.h"
#include "image/zoom_fit.h"

int qel_current_image = 0;
ImageSlot image_slots[slot_count];
SlotPixels slot_pixels[slot_count + 1];
int selection_history[history_depth];

namespace {

// Pixel buffers stay below 2 GiB: the platform's bitmap sizes are 32-bit, and
// every pixel offset then fits an int.
constexpr std::int64_t max_buffer_bytes = INT32_MAX;

std::int64_t stride_of(int width, int bits)
{
  return bits == 8 ? (std::int64_t{width} + 3) & ~std::int64_t{3} : std::int64_t{width} * 4;
}

std::size_t bounded_length(const char* text, std::size_t max)
{
  std::size_t n = 0;
  while (n < max && text[n] != '\0')
    ++n;
  return n;
}

SizeLimits limits_for(const ImageSlot& s)
{
  return size_limits(backend_metrics(), s.screen_limited);
}

} // namespace

bool slot_in_use(int slot)
{
  return static_cast<unsigned>(slot) < slot_count && image_slots[slot].in_use;
}

std::size_t format_caption(char* out, std::size_t size, const char* title, int zoom, int bits,
                           bool smooth)
{
  if (size == 0)
    return 0;
  char suffix[40];
  std::snprintf(suffix, sizeof suffix, "(%d%%)%s%s", zoom, bits == 8 ? "[8bit]" : "",
                smooth ? "*" : "");
  // A long title gives way to the suffix: the zoom is what the caption is for.
  const std::size_t suffix_length = bounded_length(suffix, size - 1);
  const char* text = title ? title : "";
  const std::size_t title_length = bounded_length(text, size - 1 - suffix_length);
  std::memcpy(out, text, title_length);
  std::memcpy(out + title_length, suffix, suffix_length);
  out[title_length + suffix_length] = '\0';
  return title_length + suffix_length;
}

int create_image(int slot, const char* title, int x, int y, int width, int height, int bits,
                 int zoom, int screen_limited)
{
  if (static_cast<unsigned>(slot) >= slot_count)
    return 4;
  ImageSlot& s = image_slots[slot];
  if (s.in_use)
    return 1;
  if (bits != 8 && bits != 32)
    return 3;
  s.bits = bits;
  s.screen_limited = screen_limited ? 1 : 0;
  s.width = std::max(width, 1);
  s.height = std::max(height, 1);

  ZoomFit fit;
  if (!fit_zoom(s.width, s.height, zoom, limits_for(s), &fit))
    return 2;
  s.zoom = fit.zoom;
  s.view_width = fit.view_width;
  s.view_height = fit.view_height;

  // Check the buffer size before a window appears: width * height * 4 in 32
  // bits wraps (65536 x 65536 gives 0) long before the fit rule objects.
  const std::int64_t stride = stride_of(s.width, bits);
  if (stride > max_buffer_bytes / s.height)
    return 3;

  // Titles come from callers and files: keep at most one line's worth.
  const char* text = title ? title : "";
  s.title.assign(text, bounded_length(text, line_size - 1));
  char caption[line_size];
  format_caption(caption, sizeof caption, s.title.c_str(), s.zoom, bits, false);

  // The window comes first, then the bitmap that lives in its memory DC.
  if (!backend_create_window(slot, caption, x, y, s.view_width, s.view_height))
    return 3;
  void* buffer = backend_create_buffer(slot, s.width, s.height, bits);
  if (!buffer) {
    backend_destroy(slot);
    return 3;
  }
  std::memset(buffer, 0, static_cast<std::size_t>(stride * s.height));
  SlotPixels& p = slot_pixels[slot];
  p.pixels32 = static_cast<std::uint32_t*>(buffer);
  p.pixels8 = static_cast<std::uint8_t*>(buffer);
  p.width = s.width;
  p.height = s.height;
  p.stride = bits == 8 ? static_cast<int>(stride) : s.width;
  p.bits = bits;

  ++s.generation;
  s.in_use = 1;
  backend_windows_changed();
  QEL_SelectImage(slot);
  return 0;
}

int QEL_CreateImage(int slot, const char* title, int x, int y, int w, int h, int zoom)
{
  return create_image(slot, title, x, y, w, h, 32, zoom, 1);
}

int QEL_CreateImage8(int slot, const char* title, int x, int y, int w, int h, int zoom)
{
  return create_image(slot, title, x, y, w, h, 8, zoom, 1);
}

int QEL_CreateImageFL(int slot, const char* title, int x, int y, int w, int h, int zoom)
{
  return create_image(slot, title, x, y, w, h, 32, zoom, 0);
}

int QEL_CreateImage8FL(int slot, const char* title, int x, int y, int w, int h, int zoom)
{
  return create_image(slot, title, x, y, w, h, 8, zoom, 0);
}

// The current image and the history stay as they are: pixel access to a
// destroyed current image sees 0 x 0, the validating calls see a free slot.
int QEL_DestroyImage(int slot)
{
  if (!slot_in_use(slot))
    return 1;
  image_slots[slot].in_use = 0;
  slot_pixels[slot] = SlotPixels{};
  backend_destroy(slot);
  image_slots[slot].title.clear();
  backend_windows_changed();
  return 0;
}

// Re-creates the slot cleared at a new size. What the user set up around the
// picture survives: title, place, zoom request, stretch mode and palette.
int QEL_ResizeImage(int slot, int w, int h)
{
  if (!slot_in_use(slot))
    return 1;
  const ImageSlot& s = image_slots[slot];
  const std::string title = s.title;
  const int bits = s.bits;
  const int zoom = s.zoom;
  int left = 0, top = 0;
  backend_window_position(slot, &left, &top);
  const int mode = backend_stretch_mode(slot);
  std::uint32_t palette[256] = {};
  if (bits == 8)
    backend_read_palette(slot, palette);

  QEL_DestroyImage(slot);
  if (const int result = create_image(slot, title.c_str(), left, top, w, h, bits, zoom, 1))
    return result;
  if (bits == 8)
    backend_write_palette(slot, palette, 256);
  QEL_SetStretchMode(slot, mode);
  return 0;
}

// Code that holds a slot across a message pump (a question, a point tool)
// acts only on the image it knew: the window may have been closed, or the
// slot filled again, meanwhile.
bool same_image(int slot, std::uint32_t generation)
{
  return slot_in_use(slot) && image_slots[slot].generation == generation;
}

// Selecting pushes the previous current image, also when it is the same slot.
int QEL_SelectImage(int slot)
{
  if (!slot_in_use(slot))
    return 1;
  std::copy_backward(selection_history, selection_history + history_depth - 1,
                     selection_history + history_depth);
  selection_history[0] = qel_current_image;
  qel_current_image = slot;
  return 0;
}

// Pops the history; the bottom entry stays, so restoring past the depth keeps
// returning to the oldest remembered slot.
int QEL_RestoreImage()
{
  const int previous = selection_history[0];
  if (!slot_in_use(previous))
    return 1;
  qel_current_image = previous;
  std::copy(selection_history + 1, selection_history + history_depth, selection_history);
  return 0;
}

int QEL_SetPalette(const std::uint32_t* entries, int count)
{
  const int slot = qel_current_image;
  if (!slot_in_use(slot))
    return 1;
  if (image_slots[slot].bits != 8)
    return 2;
  // The colour table has 256 entries whatever the caller claims; the fourth
  // byte of an entry is reserved and written as 0.
  count = entries ? std::clamp(count, 0, 256) : 0;
  std::uint32_t clean[256];
  for (int i = 0; i < count; ++i)
    clean[i] = entries[i] & 0xFFFFFFu;
  backend_write_palette(slot, clean, count);
  backend_invalidate(slot);
  return 0;
}

int QEL_GetPalette(std::uint32_t* entries)
{
  const int slot = qel_current_image;
  if (!slot_in_use(slot))
    return 1;
  if (image_slots[slot].bits != 8)
    return 2;
  if (entries)
    backend_read_palette(slot, entries);
  return 0;
}

int QEL_FindImageWindow(void* window)
{
  if (!window)
    return -1;
  for (int slot = 0; slot < slot_count; ++slot)
    if (image_slots[slot].in_use && backend_window_handle(slot) == window)
      return slot;
  return -1;
}

int QEL_FindImageWindow(void* window, int select)
{
  const int slot = QEL_FindImageWindow(window);
  if (slot >= 0 && select)
    QEL_SelectImage(slot);
  return slot;
}

void refresh_caption(int slot)
{
  if (static_cast<unsigned>(slot) >= slot_count)
    return;
  const ImageSlot& s = image_slots[slot];
  char caption[line_size];
  format_caption(caption, sizeof caption, s.title.c_str(), s.zoom, s.bits,
                 backend_stretch_mode(slot) == stretch_smooth);
  backend_set_caption(slot, caption);
}

// At 100% a plain block copy; otherwise a stretch in the slot's stretch mode.
int QEL_ShowImage(int slot)
{
  if (!slot_in_use(slot))
    return 1;
  const ImageSlot& s = image_slots[slot];
  if (s.zoom == 100)
    backend_copy_to_window(slot, s.width, s.height);
  else
    backend_stretch_to_window(slot, s.width, s.height, s.view_width, s.view_height);
  return 0;
}

// The window keeps its top-left corner and its frame around the new client
// area. A zoom that does not fit changes nothing.
int QEL_ZoomImage(int slot, int zoom)
{
  if (!slot_in_use(slot))
    return 1;
  ImageSlot& s = image_slots[slot];
  ZoomFit fit;
  if (!fit_zoom(s.width, s.height, zoom, limits_for(s), &fit))
    return 2;
  s.zoom = fit.zoom;
  backend_resize_client(slot, fit.view_width, fit.view_height);
  s.view_width = fit.view_width;
  s.view_height = fit.view_height;
  backend_invalidate(slot);
  refresh_caption(slot);
  backend_windows_changed();
  return 0;
}

// Modes other than plain and smooth set nothing, but the window still
// repaints and its caption is rebuilt.
int QEL_SetStretchMode(int slot, int mode)
{
  if (!slot_in_use(slot))
    return 1;
  if (mode == stretch_plain || mode == stretch_smooth)
    backend_set_stretch_mode(slot, mode);
  backend_invalidate(slot);
  refresh_caption(slot);
  return 0;
}

int first_free_image_slot()
{
  for (int slot = 0; slot < slot_count; ++slot)
    if (!image_slots[slot].in_use)
      return slot;
  return -1;
}

int QEL_GetStretchMode(int slot)
{
  return slot_in_use(slot) ? backend_stretch_mode(slot) : 0;
}

void reset_image_slots()
{
  for (ImageSlot& s : image_slots) {
    QEL_DestroyImage(static_cast<int>(&s - image_slots));
    s.bits = s.width = s.height = s.view_width = s.view_height = s.zoom = 0;
    s.screen_limited = 0;
    s.title.clear();
  }
  std::fill(std::begin(slot_pixels), std::end(slot_pixels), SlotPixels{});
  std::fill(std::begin(selection_history), std::end(selection_history), 0);
  qel_current_image = 0;
}
