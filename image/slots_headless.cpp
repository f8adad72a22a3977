// Image slots without windows, for native builds and tests: each slot gets a
// plain heap buffer, and the "window" is a record of what it would show.
// Metrics are those of a 1920 x 1080 screen at 96 dpi: minimum window 136 x 39,
// sizing frame 4, caption 23, so the smallest client area is 128 x 8.
#include "image/slot_backend.h"
#include "image/slots_headless.h"

#include <cstdio>
#include <memory>
#include <new>

namespace {

struct HeadlessSlot {
  HeadlessWindow window;
  std::unique_ptr<std::uint32_t[]> buffer;   // words, so 32-bit pixels are aligned
  std::uint32_t palette[256] = {};
};

HeadlessSlot slots[256];
WindowMetrics metrics = headless_default_metrics();
bool fail_buffers = false;

// Where a window goes when its creator leaves the place to the system.
constexpr int default_left = 32;
constexpr int default_top = 32;

} // namespace

WindowMetrics headless_default_metrics()
{
  WindowMetrics m;
  m.min_window_width = 136;
  m.min_window_height = 39;
  m.frame_width = 4;
  m.caption_height = 23;
  m.screen_width = 1920;
  m.screen_height = 1080;
  return m;
}

void headless_set_metrics(const WindowMetrics& m) { metrics = m; }
void headless_fail_buffers(bool fail) { fail_buffers = fail; }
const HeadlessWindow& headless_window(int slot) { return slots[slot].window; }

WindowMetrics backend_metrics() { return metrics; }

bool backend_create_window(int slot, const char* caption, int x, int y, int client_width,
                           int client_height)
{
  HeadlessWindow& w = slots[slot].window;
  w = HeadlessWindow{};
  w.open = true;
  std::snprintf(w.caption, sizeof w.caption, "%s", caption);
  w.left = x == -1 ? default_left : x;
  w.top = y == -1 ? default_top : y;
  w.client_width = client_width;
  w.client_height = client_height;
  w.stretch_mode = stretch_plain;
  return true;
}

void* backend_create_buffer(int slot, int width, int height, int bits)
{
  if (fail_buffers)
    return nullptr;
  const std::size_t stride = bits == 8 ? (static_cast<std::size_t>(width) + 3) / 4 * 4
                                       : static_cast<std::size_t>(width) * 4;
  const std::size_t words = (stride * static_cast<std::size_t>(height) + 3) / 4;
  HeadlessSlot& s = slots[slot];
  s.buffer.reset(new (std::nothrow) std::uint32_t[words]());
  for (std::uint32_t i = 0; i < 256; ++i)
    s.palette[i] = i * 0x010101u;
  return s.buffer.get();
}

void backend_destroy(int slot)
{
  HeadlessSlot& s = slots[slot];
  s.buffer.reset();
  s.window.open = false;
}

void* backend_window_handle(int slot)
{
  return slots[slot].window.open ? &slots[slot].window : nullptr;
}

void backend_window_position(int slot, int* left, int* top)
{
  *left = slots[slot].window.left;
  *top = slots[slot].window.top;
}

void backend_set_caption(int slot, const char* caption)
{
  std::snprintf(slots[slot].window.caption, sizeof slots[slot].window.caption, "%s", caption);
}

void backend_resize_client(int slot, int new_width, int new_height)
{
  slots[slot].window.client_width = new_width;
  slots[slot].window.client_height = new_height;
}

void backend_invalidate(int slot) { ++slots[slot].window.invalidations; }
void backend_copy_to_window(int slot, int, int) { ++slots[slot].window.copies; }
void backend_stretch_to_window(int slot, int, int, int, int) { ++slots[slot].window.stretches; }
int backend_stretch_mode(int slot) { return slots[slot].window.stretch_mode; }
void backend_set_stretch_mode(int slot, int mode) { slots[slot].window.stretch_mode = mode; }

void backend_read_palette(int slot, std::uint32_t* entries)
{
  for (int i = 0; i < 256; ++i)
    entries[i] = slots[slot].palette[i];
}

void backend_write_palette(int slot, const std::uint32_t* entries, int count)
{
  for (int i = 0; i < count && i < 256; ++i)
    slots[slot].palette[i] = entries[i];
}

void backend_windows_changed() {}
