// The image slot table on the headless backend: creation, destruction,
// re-creation, selection history, palettes, lookup, zoom and captions.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "fresh_slots.h"
#include "image/slot_backend.h"

namespace {

std::string caption(int slot) { return headless_window(slot).caption; }

// zoom, view width, view height
std::vector<int> view(int slot)
{
  const ImageSlot& s = image_slots[slot];
  return {s.zoom, s.view_width, s.view_height};
}

// left, top, client width, client height
std::vector<int> window(int slot)
{
  const HeadlessWindow& w = headless_window(slot);
  return {w.left, w.top, w.client_width, w.client_height};
}

bool gone(int slot) { return !slot_in_use(slot) && !headless_window(slot).open; }

} // namespace

TEST_CASE_FIXTURE(FreshSlots, "creation fits the zoom with its own limits, selects the new image; captions; refusals")
{
  CHECK((QEL_CreateImage(3, "work", 10, 20, 640, 480, 100) == 0 && window(3) == std::vector{10, 20, 640, 480}));
  CHECK((qel_current_image == 3 && selection_history[0] == 0 && caption(3) == "work(100%)"));

  // The fit rule itself is tested on its own; here only that each kind of
  // creation applies it with its own limits.
  CHECK((QEL_CreateImage(4, "big", -1, -1, 640, 480, 300) == 0 && caption(4) == "big(220%)"));
  CHECK((QEL_CreateImageFL(6, "loose", 0, 0, 640, 480, 1000) == 0 && image_slots[6].screen_limited == 0 &&
         image_slots[6].zoom == 450));
  CHECK((QEL_CreateImage(8, "flat", 0, 0, 0, -5, 100) == 0 && image_slots[8].width == 1 && image_slots[8].height == 1));

  // A new 8-bit image has a grey-ramp palette. Black new buffers and the
  // padding of 8-bit rows are the drawing and pixel tests' to show.
  REQUIRE(QEL_CreateImage8(1, "grey", 0, 0, 5, 3, 100) == 0);
  CHECK((caption(1) == "grey(2560%)[8bit]" && palette() == grey_ramp()));   // raised to the minimum window

  // Titles are cut to the caption buffer, the zoom suffix stays.
  REQUIRE(QEL_CreateImage8(0, std::string(300, 'T').c_str(), 0, 0, 10, 10, 3200) == 0);
  CHECK((image_slots[0].title.size() == 255 && caption(0) == std::string(242, 'T') + "(3200%)[8bit]"));
  // A buffer without room for the title keeps the suffix.
  char small[8];
  CHECK((format_caption(small, sizeof small, "abc", 100, 32, true) == 7 && std::string(small) == "(100%)*"));
  CHECK((format_caption(small, 1, "abc", 100, 32, false) == 0 && small[0] == '\0'));
  CHECK((QEL_CreateImage(2, nullptr, 0, 0, 10, 10, 3200) == 0 && caption(2) == "(3200%)"));

  // Refusals leave the slot as it was.
  CHECK((QEL_CreateImage(256, "x", 0, 0, 10, 10, 100) == 4 && QEL_CreateImage(-1, "x", 0, 0, 10, 10, 100) == 4));
  CHECK((create_image(12, "x", 0, 0, 10, 10, 24, 100, 1) == 3 && !slot_in_use(12)));

  // An in-use slot is not touched.
  REQUIRE(QEL_CreateImage(12, "first", 0, 0, 10, 10, 100) == 0);
  QEL_PutPixel(1, 1, 0x123456);
  CHECK(QEL_CreateImage8(12, "second", 0, 0, 20, 20, 100) == 1);
  CHECK((image_slots[12].title == "first" && image_slots[12].bits == 32 && QEL_GetPixel(1, 1) == 0x123456));

  CHECK(QEL_CreateImage(13, "wide", 0, 0, 200000, 10, 100) == 2);   // even 1% is too wide
  // 65536 x 65536 x 4 is 0 in 32 bits; the fit rule accepts it at 1%.
  CHECK((QEL_CreateImageFL(11, "huge", 0, 0, 65536, 65536, 100) == 3 &&
         QEL_CreateImage8FL(11, "huge", 0, 0, 65536, 65536, 100) == 3));
  CHECK((gone(13) && gone(11)));

  // A platform that cannot make the bitmap: the window made before it goes too.
  headless_fail_buffers(true);
  CHECK((QEL_CreateImage(11, "nobuffer", 0, 0, 10, 10, 100) == 3 && gone(11) && qel_current_image == 12));
}

TEST_CASE_FIXTURE(FreshSlots, "finding a slot by its window; destruction; the selection history and restoring")
{
  CHECK((QEL_DestroyImage(0) == 1 && QEL_DestroyImage(256) == 1 && QEL_DestroyImage(-1) == 1));
  REQUIRE(QEL_CreateImage(4, "kept", 0, 0, 4, 4, 100) == 0);
  REQUIRE(QEL_CreateImage(5, "gone", 0, 0, 30, 20, 100) == 0);
  void* handle = backend_window_handle(4);
  CHECK((QEL_FindImageWindow(handle) == 4 && qel_current_image == 5));
  CHECK((QEL_FindImageWindow(handle, 1) == 4 && qel_current_image == 4 && selection_history[0] == 5));
  CHECK((QEL_FindImageWindow(nullptr) == -1 && QEL_FindImageWindow(&handle, 1) == -1 && qel_current_image == 4));

  REQUIRE(QEL_SelectImage(5) == 0);
  handle = backend_window_handle(5);
  CHECK((QEL_DestroyImage(5) == 0 && QEL_DestroyImage(5) == 1));
  // The current image stays, the record keeps its size, the validating calls
  // see a free slot.
  CHECK((qel_current_image == 5 && image_slots[5].width == 30 && slot_pixels[5].width == 0));
  CHECK((QEL_ShowImage(5) == 1 && QEL_GetPalette(nullptr) == 1 && QEL_FindImageWindow(handle) == -1));

  // Restoring onto a destroyed slot changes nothing.
  REQUIRE(QEL_SelectImage(4) == 0);   // history: 5, 4, ...
  const std::vector<int> before(selection_history, selection_history + history_depth);
  CHECK((QEL_RestoreImage() == 1 && qel_current_image == 4));
  CHECK(std::vector(selection_history, selection_history + history_depth) == before);
  CHECK(QEL_CreateImage(5, "again", 0, 0, 8, 8, 100) == 0);

  // Nine selects and restores: slot 10 falls off the bottom; the oldest
  // remembered slot is 11 and repeats.
  for (int slot = 10; slot <= 19; ++slot)
    REQUIRE(QEL_CreateImage(slot, "s", 0, 0, 4, 4, 100) == 0);
  for (int slot = 10; slot <= 19; ++slot)
    CHECK(QEL_SelectImage(slot) == 0);
  for (int expected : {18, 17, 16, 15, 14, 13, 12, 11, 11, 11})
    CHECK((QEL_RestoreImage() == 0 && qel_current_image == expected));
  CHECK((QEL_SelectImage(11) == 0 && selection_history[0] == 11));   // selecting the current slot still pushes it
  CHECK((QEL_SelectImage(200) == 1 && QEL_SelectImage(256) == 1 && QEL_SelectImage(-3) == 1));
  CHECK((qel_current_image == 11 && selection_history[0] == 11));
}

TEST_CASE_FIXTURE(FreshSlots, "palette calls check the current image; a resize keeps the settings and palette; zoom")
{
  std::uint32_t calls[256] = {};
  CHECK((QEL_SetPalette(calls, 256) == 1 && QEL_GetPalette(calls) == 1));   // slot 0 free at start-up
  REQUIRE(QEL_CreateImage(0, "rgb", 0, 0, 4, 4, 100) == 0);
  CHECK((QEL_SetPalette(calls, 256) == 2 && QEL_GetPalette(calls) == 2));

  REQUIRE(QEL_CreateImage8(1, "pal", 0, 0, 4, 4, 100) == 0);
  const int repaints = headless_window(1).invalidations;
  calls[0] = 0x112233;
  calls[1] = 0x445566;
  CHECK((QEL_SetPalette(calls, 1) == 0 && headless_window(1).invalidations == repaints + 1));   // only entry 0
  CHECK((QEL_SetPalette(calls, -4) == 0 && QEL_SetPalette(nullptr, 256) == 0));                  // nothing
  std::vector<std::uint32_t> expected = grey_ramp();
  expected[0] = 0x112233;
  CHECK(palette() == expected);

  // A resized 8-bit image, current while another slot is asked for.
  REQUIRE(QEL_CreateImage8(2, "pic", 100, 50, 64, 48, 200) == 0);
  std::vector<std::uint32_t> entries(256);
  for (std::uint32_t i = 0; i < 256; ++i)
    entries[i] = 0xFF000000u | (255 - i) << 16 | i;   // top byte is dropped
  REQUIRE(QEL_SetPalette(entries.data(), 256) == 0);
  REQUIRE(QEL_SetStretchMode(2, stretch_smooth) == 0);
  QEL_PutPixel(3, 3, 77);
  REQUIRE(QEL_SelectImage(7) == 1);   // slot 7 is free: 2 stays current

  CHECK(QEL_ResizeImage(2, 101, 60) == 0);
  const ImageSlot& s = image_slots[2];
  CHECK(std::vector{s.width, s.height, s.bits, s.zoom, slot_pixels[2].stride} ==
        std::vector{101, 60, 8, 200, 104});
  CHECK((headless_window(2).left == 100 && headless_window(2).top == 50 && caption(2) == "pic(200%)[8bit]*"));
  for (auto& entry : entries)
    entry &= 0xFFFFFF;
  CHECK((palette() == entries && QEL_GetPixel(3, 3) == 0));

  CHECK((QEL_ResizeImage(3, 10, 10) == 1 && QEL_ResizeImage(256, 10, 10) == 1));
  CHECK((QEL_ResizeImage(2, 200000, 10) == 2 && gone(2)));   // no zoom fits: the slot ends free

  // Zoom, stretch mode and showing.
  REQUIRE(QEL_CreateImage(4, "z", 40, 30, 640, 480, 100) == 0);
  QEL_ShowImage(4);
  CHECK(headless_window(4).copies == 1);
  CHECK((QEL_ZoomImage(4, 1000) == 0 && caption(4) == "z(220%)"));
  CHECK(view(4) == std::vector{220, 1408, 1056});
  CHECK(window(4) == std::vector{40, 30, 1408, 1056});
  QEL_ShowImage(4);
  CHECK(headless_window(4).stretches == 1);

  // A screen that shrank since creation: no zoom fits, nothing changes.
  WindowMetrics small = headless_default_metrics();
  small.screen_width = 100;
  headless_set_metrics(small);
  CHECK((QEL_ZoomImage(4, 100) == 2 && view(4) == std::vector{220, 1408, 1056}));
  headless_set_metrics(headless_default_metrics());

  CHECK((QEL_GetStretchMode(4) == stretch_plain && QEL_SetStretchMode(4, stretch_smooth) == 0));
  CHECK(caption(4) == "z(220%)*");
  const int zoomed_repaints = headless_window(4).invalidations;
  CHECK(QEL_SetStretchMode(4, 5) == 0);             // no mode change, still repaints
  CHECK((QEL_GetStretchMode(4) == stretch_smooth && headless_window(4).invalidations == zoomed_repaints + 1));

  // Free slot 2 and no slot 256.
  CHECK((QEL_ZoomImage(2, 100) == 1 && QEL_SetStretchMode(2, stretch_smooth) == 1));
  CHECK((QEL_GetStretchMode(2) == 0 && QEL_GetStretchMode(256) == 0));
}
