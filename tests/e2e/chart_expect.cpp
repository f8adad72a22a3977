// Computes, natively, what the chart generator must save for a source
// picture with the set-up values: the chart, its turned copy and the check
// pattern, as binary PPM files. The end-to-end test compares the program's
// PNG files with them.
//   chart_expect SOURCE.ppm OUT_DIR
#include <cstdio>
#include <string>
#include <vector>

#include "image/slots.h"
#include "image/slots_headless.h"
#include "lenticular/chart.h"
#include "lenticular/params.h"
#include "qellib.h"

namespace {

bool read_ppm(const char* path, int& width, int& height, std::vector<unsigned char>& rgb)
{
  std::FILE* f = std::fopen(path, "rb");
  if (!f)
    return false;
  int maxval = 0;
  const bool ok = std::fscanf(f, "P6 %d %d %d", &width, &height, &maxval) == 3 && maxval == 255 &&
                  width > 0 && height > 0 && width <= 100000 && height <= 100000 &&
                  std::fgetc(f) != EOF;
  if (ok) {
    rgb.resize(static_cast<size_t>(width) * height * 3);
    const bool read = std::fread(rgb.data(), 1, rgb.size(), f) == rgb.size();
    std::fclose(f);
    return read;
  }
  std::fclose(f);
  return false;
}

bool write_slot_ppm(int slot, const std::string& path)
{
  QEL_SelectImage(slot);
  const int w = image_slots[slot].width;
  const int h = image_slots[slot].height;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f)
    return false;
  std::fprintf(f, "P6\n%d %d\n255\n", w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = QEL_GetPixel(x, y);
      const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                    static_cast<unsigned char>(p >> 8),
                                    static_cast<unsigned char>(p)};
      std::fwrite(rgb, 1, 3, f);
    }
  return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 3) {
    std::fprintf(stderr, "usage: chart_expect SOURCE.ppm OUT_DIR\n");
    return 2;
  }
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  if (!read_ppm(argv[1], width, height, rgb)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  headless_set_metrics(headless_default_metrics());
  if (QEL_CreateImageFL(source_slot, "source", 0, 0, width, height, 100) != 0)
    return 1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      QEL_PutPixel(x, y, (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2]);
    }

  ChartState chart;
  start_run(chart, width, height);
  OpenWorkImage(chart);
  QEL_CreateImageFL(chart_slot, "chart", 0, 0, chart.chart_width, chart.chart_height, 100);
  DrawChart(chart);
  const std::string out = argv[2];
  bool ok = write_slot_ppm(chart_slot, out + "/chart.ppm");
  QEL_CreateImageFL(turned_slot, "turned", 0, 0, chart.chart_height, chart.chart_width, 10);
  TurnChart(chart.chart_width, chart.chart_height);
  ok = ok && write_slot_ppm(turned_slot, out + "/chart_R.ppm");
  DrawLensCheck(chart);
  ok = ok && write_slot_ppm(chart_slot, out + "/check.ppm");
  return ok ? 0 : 1;
}
