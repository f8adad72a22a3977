// Inverted (XOR) figures for rubber-band feedback: drawing one twice restores
// the image. Plus the flood fill's seed limit and a probe of its last run.
#pragma once

void XorLine(int x1, int y1, int x2, int y2);      // every pixel once; pen ends at (x2, y2)
void XorBox(int x1, int y1, int x2, int y2);       // border; 1-wide sides cancel out
void XorFillBox(int x1, int y1, int x2, int y2);   // every pixel of the rectangle once
void XorCircle(int cx, int cy, int r);             // outline, moves the pen
void XorFillCircle(int cx, int cy, int r);         // disc without a separate outline

constexpr int paint_seed_capacity = 4000;          // further seeds are dropped

struct PaintStats {
  int peak_seeds = 0;      // most seeds held at once
  int dropped_seeds = 0;   // seeds that found the stack full
};
PaintStats last_paint_stats();                     // of the latest QEL_Paint that got past its checks
