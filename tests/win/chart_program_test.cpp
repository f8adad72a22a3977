// The chart generator as the user program, under the real framework: what a
// user is told when a chart cannot be saved, and where the chart window
// opens again after "break".
#include <doctest/doctest.h>

#include <fstream>
#include <string>

#include "forms/forms_win.h"
#include "hostile_files.h"
#include "image/slot_backend.h"
#include "lenticular/program.h"
#include "qel_test.h"
#include "text/log_file.h"
#include "worker_jobs.h"

namespace {

// A source picture in image 0, as a drop leaves one, then Start; the chart
// window once it is there.
HWND start_chart()
{
  on_worker([] {
    QEL_CreateImage(0, "000 pair.png", 0, 0, 160, 60, 100);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 160; ++x)
        QEL_PutPixel(x, y, static_cast<unsigned>(x * 7 % 256) << 16 | static_cast<unsigned>(y * 4) << 8 | 0x40);
    QEL_ShowImage(0);
  });
  post(main_window, WM_COMMAND, cmd_start);
  HWND chart = nullptr;
  wait_until([&] {
    return (chart = worker_value([] { return static_cast<HWND>(backend_window_handle(2)); })) != nullptr;
  }, 10000);
  return chart;
}

void press_button(int i)
{
  post(worker_value([] { return button_box_window(); }), WM_KEYDOWN, '0' + i, 1);
}

// "break", so that no run is cut short by Exit.
bool end_run()
{
  press_button(3);
  return wait_until([] { return user_running.load() == 0; });
}

// The line of text window 0's log that starts with `start`, or "".
std::string printed_line(const std::string& start)
{
  std::ifstream in(log_file_name(0));
  for (std::string line; std::getline(in, line);)
    if (line.rfind(start, 0) == 0)
      return line;
  return "";
}

} // namespace

TEST_CASE("cap and Rcap that cannot save name the file and the reason; a chart minimised at break opens where it stood")
{
  struct Case {
    int button;
    const wchar_t* disk;
    const char* mount_options;
    std::string file;
    const char* reason;   // a word of it
  };
  const Case cases[] = {
      {0, L"read_only_disk", "ro,size=64k", "lenti_chart_4.000000_13.000000_640_480.png", "denied"},
      {1, L"full_disk", "size=8k", "lenti_chart_R_4.000000_13.000000_480_640.png", "full"},
  };
  // The generator's own set-up and run, with jobs on the worker besides.
  install_worker_jobs(chart_setup);
  test_hooks.main = chart_main;
  Started<Framework> program;
  HWND chart = start_chart();
  REQUIRE(chart);
  on_worker([] { start_log(0, true); });
  for (const Case& c : cases) {
    TestDisk disk(c.disk, c.mount_options);
    if (!disk.mounted) {
      MESSAGE("skipped: mounting a test disk needs root");
      continue;
    }
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(disk.folder.c_str());   // where the program saves
    press_button(c.button);
    std::string line;
    CHECK(wait_until([&] { return !(line = printed_line(c.file + " not saved: ")).empty(); }));
    CHECK(line.find(c.reason) != std::string::npos);
    CHECK(GetFileAttributesA(c.file.c_str()) == INVALID_FILE_ATTRIBUTES);
    SetCurrentDirectoryW(previous);   // before the disk goes
  }

  SetWindowPos(chart, nullptr, 300, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  post(chart, WM_SYSCOMMAND, SC_MINIMIZE);
  REQUIRE(wait_until([&] { return IsIconic(chart) != 0; }));
  REQUIRE(end_run());
  chart = start_chart();
  REQUIRE(chart);
  const RECT place = window_rect(chart);
  CHECK((place.left == 300 && place.top == 260));
  CHECK(end_run());
}
