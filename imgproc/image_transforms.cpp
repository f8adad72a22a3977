// Whole-image commands on a slot. Those that change the size copy the picture
// out first, re-create the slot at the new size (which clears it) and fill it
// from the copy; the copy is made before the slot is touched, so running out
// of memory leaves the image as it was.
#include "imgproc/image_transforms.h"

#include "image/slot_backend.h"
#include "image/slots.h"

namespace {

int per_mille_of(ImageTransform command)
{
  switch (command) {
  case ImageTransform::size_50: return 500;
  case ImageTransform::size_70_7: return 707;
  case ImageTransform::size_141_4: return 1414;
  default: return 2000;   // size_200
  }
}

// Copies the picture out, re-creates the slot at new_width x new_height and
// lets fill write the new picture from the copy.
template <typename Fill>
int recreate_from_copy(int slot, int new_width, int new_height, Fill fill)
{
  PixelBuffer copy;
  const SlotPixels& current = slot_pixels[slot];
  if (!allocate_pixels(current.width, current.height, current.bits, &copy))
    return 4;
  copy_pixels(current, copy.view);
  // A failed re-creation leaves the slot free and its window closed: there is
  // nothing left to draw into.
  if (const int result = QEL_ResizeImage(slot, new_width, new_height))
    return result;
  fill(copy.view, slot_pixels[slot]);
  return 0;
}

int rotate_image(int slot, bool clockwise)
{
  const SlotPixels& p = slot_pixels[slot];
  return recreate_from_copy(slot, p.height, p.width,
                            [clockwise](const SlotPixels& from, const SlotPixels& to) {
                              clockwise ? rotate_clockwise(from, to) : rotate_counter_clockwise(from, to);
                            });
}

// The slot's stretch mode chooses the resampling, as it does on screen:
// plain keeps the nearest pixel, smooth averages.
int scale_image(int slot, int per_mille)
{
  const SlotPixels& p = slot_pixels[slot];
  const bool smooth = QEL_GetStretchMode(slot) == stretch_smooth;
  return recreate_from_copy(slot, scaled_size(p.width, per_mille), scaled_size(p.height, per_mille),
                            [smooth](const SlotPixels& from, const SlotPixels& to) {
                              smooth ? resample_smooth(from, to) : resample_nearest(from, to);
                            });
}

} // namespace

int run_image_transform(int slot, ImageTransform command)
{
  if (!slot_in_use(slot))
    return 1;
  const SlotPixels& image = slot_pixels[slot];
  int result = 0;
  switch (command) {
  case ImageTransform::invert: invert_pixels(image); break;
  case ImageTransform::flip_horizontal: flip_horizontal(image); break;
  case ImageTransform::flip_vertical: flip_vertical(image); break;
  case ImageTransform::rotate_right: result = rotate_image(slot, true); break;
  case ImageTransform::rotate_left: result = rotate_image(slot, false); break;
  case ImageTransform::size_50:
  case ImageTransform::size_70_7:
  case ImageTransform::size_141_4:
  case ImageTransform::size_200: result = scale_image(slot, per_mille_of(command)); break;
  }
  if (result == 0)
    backend_invalidate(slot);
  return result;
}

int run_test_pattern(int slot, TestPattern pattern)
{
  if (!slot_in_use(slot))
    return 1;
  // "Grey" brings its own palette, so 8-bit images show the ramp whatever
  // palette they had.
  if (pattern == TestPattern::grey && image_slots[slot].bits == 8) {
    std::uint32_t ramp[256];
    grey_ramp_palette(ramp);
    backend_write_palette(slot, ramp, 256);
  }
  draw_test_pattern(slot_pixels[slot], pattern);
  backend_invalidate(slot);
  return 0;
}
