// A window rectangle as the system reports it while the window is dragged or
// sized: its four edges in screen pixels. Shared by the window-edge list and
// the boxes' sizing rules.
#pragma once

struct edge_rect {
  int left, top, right, bottom;
  bool operator==(const edge_rect&) const = default;
};
