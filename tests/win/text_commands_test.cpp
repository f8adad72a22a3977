// The text window's commands through the real windows: the console typed
// after Space, the log file behind the menu, and the window report with its
// source on the clipboard. What a window prints is read back from its log.
#include <doctest/doctest.h>

#include <atomic>
#include <string>
#include <utility>

#include "clipboard_text.h"
#include "text/log_file.h"
#include "text_test_helpers.h"
#include "worker_jobs.h"

using namespace text_test;

namespace {

bool file_becomes(const std::string& name, const std::string& text)
{
  return wait_until([&] { return file_text(name) == text; });
}

// Text window n, logging into a file that starts empty.
std::string open_logged_window(int n, int x, int y)
{
  on_worker([=] { QEL_OpenTextWindow(n, x, y, 400, 300); });
  REQUIRE(worker_value([n] { return start_log_command(n); }) == 0);
  return log_file_name(n);
}

// Space opens the console; the line is typed and entered.
void console(HWND window, const std::string& line)
{
  post(window, WM_KEYDOWN, VK_SPACE, 1);
  REQUIRE(line_input_waits());
  type_text(window, line + "\r");
  REQUIRE(wait_until([] { return line_input_owner.load() == 0; }));
}

// The check marks of Start Log and Stop Log in the window's menu.
std::pair<bool, bool> log_checks(HWND window)
{
  const auto items = open_context_menu(window);
  REQUIRE(items.size() == 11);
  return {items[4].checked, items[5].checked};
}

} // namespace

TEST_CASE("console: each command; an aborted read; exit leaves everything in the log")
{
  RemovedLog log;
  {
    Started<JobsFramework> framework;
    log.name = open_logged_window(1, 0, 0);
    const HWND one = text_window_handle(1);
    for (const char* line : {"Exit", "color", "ver"})
      console(one, line);
    const std::string answers = "Cmd>Exit\r\nInvalid command\r\n"
                                "Cmd>color\r\nRed  :255\r\nGreen:255\r\nBlue :255\r\n"
                                "qel_tttc=ffffff\r\nqel_tc=000000\r\n"
                                "Cmd>ver\r\nQELLIB 7.3  2009/4/30\r\n";
    REQUIRE(file_becomes(log.name, answers));

    // Closing the window that reads ends the read; the answer goes to the
    // window that is current then.
    on_worker([] { QEL_OpenTextWindow(2, 420, 0, 300, 200); });
    post(text_window_handle(2), WM_KEYDOWN, VK_SPACE, 1);
    REQUIRE(line_input_waits());
    post(text_window_handle(2), WM_CLOSE);
    REQUIRE(file_becomes(log.name, answers + "Invalid command\r\n"));

    std::atomic<int> runs{0};
    test_hooks.main = [&] { ++runs; };
    console(one, "start");
    CHECK(wait_until([&] { return runs.load() == 1 && user_running.load() == 0; }));
    console(one, "exit");
    CHECK(wait_until([] { return !IsWindow(main_window); }));
  }
  CHECK(file_text(log.name).ends_with("Invalid command\r\nCmd>start\r\nCmd>exit\r\n"));
}

TEST_CASE("log through the menu: copy without a file, start, pause, resume, copy; the report, clipboard busy or not")
{
  RemovedLog removed, removed_zero;
  Started<JobsFramework> framework;
  MessageBoxAnswerer boxes;
  on_worker([] { QEL_OpenTextWindow(3, 0, 0, 400, 300); });
  const HWND three = text_window_handle(3);
  const std::string log = removed.name = log_file_name(3);
  DeleteFileA(log.c_str());

  press_key(three, 'C', true);
  REQUIRE(boxes.wait_for(1));
  CHECK(boxes.seen()[0].caption + ": " + boxes.seen()[0].text == "Pause: Can't open LOG file!");
  send(three, WM_COMMAND, text_cmd_stop_log);   // no log: nothing changes
  CHECK(log_checks(three) == std::pair(false, false));

  send(three, WM_COMMAND, text_cmd_start_log);
  on_worker([] { QEL_Printf("one\n"); });
  CHECK(log_checks(three) == std::pair(true, false));

  send(three, WM_COMMAND, text_cmd_stop_log);
  CHECK(log_checks(three) == std::pair(false, true));
  on_worker([] { QEL_Printf("paused\n"); });
  send(three, WM_COMMAND, text_cmd_start_log);
  on_worker([] { QEL_Printf("two\n"); });

  send(three, WM_COMMAND, text_cmd_copy_log);
  CHECK(clipboard_text() == "one\r\ntwo\r\n");
  on_worker([] { QEL_Printf("three\n"); });
  CHECK(file_text(log) == "one\r\ntwo\r\nthree\r\n");
  CHECK(log_checks(three) == std::pair(true, false));
  REQUIRE(worker_value([] { return QEL_CloseTextWindow(3); }) == 0);

  // The report: the window's log shows what it prints.
  const std::string report = removed_zero.name = open_logged_window(0, 500, 50);
  on_worker([] { push_text_colours(0x400040, 0x00FFFF); });   // never the report's own
  const TextWindow& zero = text_window(0);
  const std::string stars = "**********************************\r\n";
  // The log grew past `size` and the colours are back: the report is over.
  const auto report_done = [&](size_t size) {
    return wait_until([&] {
      const std::string text = file_text(report);
      return text.size() > size && text.ends_with("\r\n") && zero.back_colour == 0x400040 &&
             zero.text_colour == 0x00FFFF;
    });
  };

  // Another holder of the clipboard: the report is printed, nothing copied, no message.
  REQUIRE(OpenClipboard(nullptr));
  EmptyClipboard();
  press_key(text_window_handle(0), 'W', true);
  const bool printed = report_done(0);
  CloseClipboard();
  REQUIRE(printed);
  CHECK(file_text(report) == "******* Window information *******\r\n"
                             "[Text Window]\r\n 0 X:500 Y:50 W:400 H:300\r\n" + stars);
  CHECK((clipboard_text().empty() && boxes.seen().size() == 1));

  // From the main window; the confirmation follows in the code page's words or in English.
  on_worker([] { QEL_CreateImage(0, "000", 100, 50, 320, 240, 100); });
  const size_t before = file_text(report).size();
  press_key(main_window, 'W', true);
  REQUIRE(report_done(before));
  CHECK(file_text(report).substr(before).starts_with(
      "******* Window information *******\r\n"
      "[Image Window]\r\n 0 32 1  '000' X:100 Y:50 W:320 H:240 ZM:100%\r\n"
      "[Text Window]\r\n 0 X:500 Y:50 W:400 H:300\r\n" + stars));
  CHECK(clipboard_text() == "\t// QELLIB --- Automatic Source Generator\n\t// [Image Window]\n"
                            "\tQEL_CreateImage(0,\"000\",100,50,320,240,100);\n"
                            "\t// [Text Window]\n\tQEL_OpenTextWindow(0,500,50,400,300);\n"
                            "\tQEL_SetForeground(QELMAINWINDOW);\n");

  // The source's last call, from the worker: posted, never waited for.
  CHECK(worker_value([] { return QEL_SetForeground(QELMAINWINDOW); }) == 0);
  CHECK(wait_until([] { return GetForegroundWindow() == main_window; }));
  CHECK(worker_value([] { return QEL_SetForeground(7); }) == 1);
}
