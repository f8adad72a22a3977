// Drawing of the lenticular test chart and of the lens-alignment check
// pattern. The chart interleaves the views on a slanted subpixel grid: image 0
// holds the source pictures side by side, image 1 the source resampled to one
// column per display subpixel, image 2 the chart.
#pragma once

#include <cstdint>

#include "lenticular/params.h"

constexpr int source_slot = 0;
constexpr int work_slot = 1;
constexpr int chart_slot = 2;
constexpr int turned_slot = 3;
constexpr int first_band_column = 168;   // subpixels left of it (pixels 0..55) belong to the label

int  to_int(double value);                                           // toward zero; NaN and values outside int give INT_MIN
std::uint32_t BlendColour(double f, std::uint32_t new_colour, std::uint32_t old_colour); // new x (1 - f) + old x f per channel
void PutSlantedTriple(int a, std::uint32_t colour, int g);           // subpixel a + t of row 3g + t, t = 0..2, in the current image
void ResampleSource(const ChartState& s, double sx, double sy);      // image 0 into image 1, then image 1 is current
void OpenWorkImage(const ChartState& s);                             // create image 1 "work" (if free), resample into it, show it
void RefillWorkImage(const ChartState& s);                           // image 1 at the current size, resampled again, shown
void DrawBand(const ChartState& s, int i, double p);                 // band i (rows from s.band_origin) at pitch p into image 2
void DrawChart(ChartState& s);                                       // labels and all bands into image 2, then show it
void DrawLensCheck(const ChartState& s);                             // five slanted white lines in a frame into image 2, then show it
void TurnChart(int width, int height);                               // image 2 turned 90 degrees clockwise into image 3
