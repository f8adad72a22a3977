// Computes, natively, what the chart generator must save for a source
// picture with the set-up values: the chart, its turned copy and the check
// pattern, as binary PPM files. The end-to-end test compares the program's
// PNG files with them.
//   chart_expect SOURCE.ppm OUT_DIR
#include <cstdio>
#include <string>

#include "image/slots.h"
#include "image/slots_headless.h"
#include "lenticular/chart.h"
#include "qellib.h"

namespace {

bool write_ppm(int slot, const std::string& path)
{
  QEL_SelectImage(slot);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f)
    return false;
  std::fprintf(f, "P6\n%d %d\n255\n", image_slots[slot].width, image_slots[slot].height);
  for (int y = 0; y < image_slots[slot].height; ++y)
    for (int x = 0; x < image_slots[slot].width; ++x)
      for (int shift : {16, 8, 0})
        std::fputc(static_cast<int>(QEL_GetPixel(x, y) >> shift & 255), f);
  return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv)
{
  std::FILE* source = argc == 3 ? std::fopen(argv[1], "rb") : nullptr;
  int width = 0, height = 0;
  if (!source || std::fscanf(source, "P6 %d %d 255", &width, &height) != 2 || std::fgetc(source) == EOF) {
    std::fprintf(stderr, "usage: chart_expect SOURCE.ppm OUT_DIR (a binary PPM of depth 255)\n");
    return 2;
  }
  headless_set_metrics(headless_default_metrics());
  if (QEL_CreateImageFL(source_slot, "source", 0, 0, width, height, 100) != 0)
    return 1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char p[3];
      if (std::fread(p, 1, 3, source) != 3)
        return 1;
      QEL_PutPixel(x, y, static_cast<unsigned>(p[0] << 16 | p[1] << 8 | p[2]));
    }

  ChartState chart;
  start_run(chart, width, height);
  OpenWorkImage(chart);
  QEL_CreateImageFL(chart_slot, "chart", 0, 0, chart.chart_width, chart.chart_height, 100);
  DrawChart(chart);
  const std::string out = argv[2];
  bool ok = write_ppm(chart_slot, out + "/chart.ppm");
  QEL_CreateImageFL(turned_slot, "turned", 0, 0, chart.chart_height, chart.chart_width, 10);
  TurnChart(chart.chart_width, chart.chart_height);
  ok = ok && write_ppm(turned_slot, out + "/chart_R.ppm");
  DrawLensCheck(chart);
  return ok && write_ppm(chart_slot, out + "/check.ppm") ? 0 : 1;
}
