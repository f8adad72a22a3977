// The image window's inspection commands: the "Information..." items and
// "Clipping" mapped to the portable commands, on the slot of the window they
// came from.
#include "image/image_win.h"
#include "image/information.h"
#include "shell/ids.h"

namespace {

struct InspectionRow {
  unsigned id;
  Inspection what;
};
constexpr InspectionRow inspection_rows[] = {
    {img_cmd_pixel, Inspection::pixel},
    {img_cmd_line_rgb, Inspection::line_rgb},
    {img_cmd_line_hsv, Inspection::line_hsv},
    {img_cmd_line_ycrcb, Inspection::line_ycrcb},
    {img_cmd_line_crcb, Inspection::line_crcb},
    {img_cmd_area_crcb, Inspection::area_crcb},
    {img_cmd_line_lumi, Inspection::line_luminance},
    {img_cmd_clipping, Inspection::clipping},
};

} // namespace

void inspect_command(int slot, unsigned id)
{
  for (const InspectionRow& row : inspection_rows)
    if (row.id == id) {
      run_inspection(slot, row.what);
      return;
    }
}
