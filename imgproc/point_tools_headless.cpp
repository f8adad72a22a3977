// The point tools' platform without windows, for native builds and tests.
#include "imgproc/point_tool_platform.h"
#include "imgproc/point_tools_headless.h"

#include "shell/run_control.h"

namespace {

HeadlessToolPlatform platform;

} // namespace

HeadlessToolPlatform& headless_tool_platform() { return platform; }

void tool_pump_messages()
{
  ++platform.pumps;
  if (platform.pump)
    platform.pump();
  else
    stop_requested.store(1, std::memory_order_release);
}

void tool_show_status(const char* text) { platform.status = text; }
int tool_display_bits() { return platform.display_bits; }
void tool_accept_drops(bool accept) { platform.drops_accepted = accept; }
void tool_invalidate(int slot, const PixelRect* image_rects, int count)
{
  for (int i = 0; i < count; ++i)
    platform.invalidated.push_back({slot, image_rects[i]});
}
