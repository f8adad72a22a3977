// The image window's "Process..." and "Test Pattern..." commands on the slot
// of the window they came from. Those that re-create the image or draw a
// pattern make the slot the current image first, as a drawing command does;
// inverting and flipping work in place and leave the current image alone.
#include "image/image_win.h"
#include "image/slots.h"
#include "imgproc/image_transforms.h"
#include "shell/ids.h"

namespace {

struct TransformRow {
  unsigned id;
  ImageTransform transform;
  bool selects;
};
constexpr TransformRow transform_rows[] = {
    {img_cmd_invert, ImageTransform::invert, false},
    {img_cmd_flip_horizontal, ImageTransform::flip_horizontal, false},
    {img_cmd_flip_vertical, ImageTransform::flip_vertical, false},
    {img_cmd_rotate_right, ImageTransform::rotate_right, true},
    {img_cmd_rotate_left, ImageTransform::rotate_left, true},
    {img_cmd_size_50, ImageTransform::size_50, true},
    {img_cmd_size_70, ImageTransform::size_70_7, true},
    {img_cmd_size_141, ImageTransform::size_141_4, true},
    {img_cmd_size_200, ImageTransform::size_200, true},
};

struct PatternRow {
  unsigned id;
  TestPattern pattern;
};
constexpr PatternRow pattern_rows[] = {
    {img_cmd_pattern_rgb, TestPattern::rgb},     {img_cmd_pattern_hsv, TestPattern::hsv},
    {img_cmd_pattern_ycrcb, TestPattern::ycrcb}, {img_cmd_pattern_yuv, TestPattern::yuv},
    {img_cmd_pattern_yiq, TestPattern::yiq},     {img_cmd_pattern_grey, TestPattern::grey},
};

} // namespace

void process_command(int slot, unsigned id)
{
  for (const TransformRow& row : transform_rows)
    if (row.id == id) {
      if (row.selects)
        QEL_SelectImage(slot);
      run_image_transform(slot, row.transform);
      return;
    }
  for (const PatternRow& row : pattern_rows)
    if (row.id == id) {
      QEL_SelectImage(slot);
      run_test_pattern(slot, row.pattern);
      return;
    }
}
