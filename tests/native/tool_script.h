// A scripted pump for the point tools on headless images: where Windows would
// dispatch messages, each pump plays the next step (what the image window
// procedure reports of the mouse, Stop, Exit, or anything else). A script
// that runs out raises Stop, so a tool that waits too long still ends.
#pragma once

#include <deque>
#include <functional>

#include "fresh_slots.h"
#include "imgproc/point_tools.h"
#include "imgproc/point_tools_headless.h"

using Step = std::function<void()>;

struct Script {
  std::deque<Step> steps;
  bool ran_out = false;
  Script()
  {
    fresh_slots();
    reset_run_control();
    headless_tool_platform() = HeadlessToolPlatform{};
    headless_tool_platform().pump = [this] {
      if (steps.empty()) {
        ran_out = true;
        press_stop();
        return;
      }
      const Step step = std::move(steps.front());
      steps.pop_front();
      step();
    };
  }
  ~Script()
  {
    headless_tool_platform() = HeadlessToolPlatform{};
    reset_run_control();
    fresh_slots();
  }
  Script& operator<<(Step step)
  {
    steps.push_back(std::move(step));
    return *this;
  }
};

// What the window of `slot` reports, in client pixels at the slot's zoom.
inline int zoom_of(int slot) { return image_slots[slot].zoom; }
inline Step move(int slot, int x, int y) { return [=] { tool_mouse_move(slot, x, y, zoom_of(slot)); }; }
inline Step click(int slot, int x, int y, bool shift = false)
{
  return [=] { tool_left_press(slot, x, y, zoom_of(slot), shift); };
}
inline Step cancel(int slot) { return [=] { tool_cancel_press(slot); }; }
