// Line input: typing through the key ring, the caret, recall and paste, the
// ways a wait ends, and the main window's dialogues that read lines on the
// GUI thread.
#include <doctest/doctest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "text_test_helpers.h"

using namespace text_test;

namespace {

// Reads one line on the worker; `line` holds it once `run.done` is true.
struct LineReader {
  UserRun run;
  char line[line_size];

  void start(bool open_window = true)
  {
    std::memset(line, '?', sizeof line);
    line[sizeof line - 1] = 0;
    run.start([this, open_window] {
      if (open_window)
        QEL_OpenTextWindow(0, -1, -1, -1, -1);
      QEL_Gets(line);
    });
  }
};

// Keys typed between two prompts are not kept: wait until the next line is
// awaited on row `row`.
bool next_prompt_waits(int row)
{
  return wait_until([row] {
    return line_input_owner.load() != 0 && text_window(0).cursor_y == row * text_window(0).cell_height;
  });
}

// Waits until the typed characters have been echoed: the caret of text
// window 0 stands in `column`.
bool caret_at(int column)
{
  return wait_until([column] { return text_window(0).cursor_x == column * text_window(0).cell_width; });
}

HWND text_zero() { return text_window_handle(0); }

} // namespace

TEST_CASE("typing: backspace, the caret, Up to recall, Ctrl+V; keys go into the line, no menu opens; how waits end")
{
  Started<Framework> framework;
  LineReader reader;
  reader.start();
  REQUIRE(line_input_waits());
  CHECK(status_shows("Input text"));

  // The caret cell blinks: within half a second it shows both phases.
  bool seen_on = false, seen_off = false;
  wait_until([&] {
    (cell_has_ink(0, 0, 0) ? seen_on : seen_off) = true;
    return seen_on && seen_off;
  }, 1000);
  CHECK((seen_on && seen_off));

  type_text(text_zero(), "12\b3\r");
  REQUIRE(reader.run.wait());
  CHECK(std::string(reader.line) == "13");
  CHECK(line_input_owner.load() == 0);
  CHECK((cell_has_ink(0, 0, 0) && cell_has_ink(0, 1, 0) && !cell_has_ink(0, 2, 0)));   // caret blanked at the end
  CHECK((text_window(0).cursor_x == 0 && text_window(0).cursor_y == text_window(0).cell_height));
  CHECK(status_shows("bit color"));

  reader.start();
  REQUIRE(line_input_waits());
  press_key(text_zero(), VK_UP);
  REQUIRE(caret_at(2));
  type_text(text_zero(), "\r");
  REQUIRE(reader.run.wait());
  CHECK(std::string(reader.line) == "13");

  // Ctrl+V pastes up to the first line end.
  const wchar_t pasted[] = L"first line\r\nsecond line";
  REQUIRE(set_clipboard(CF_UNICODETEXT, pasted, sizeof pasted));
  reader.start();
  REQUIRE(line_input_waits());
  type_text(text_zero(), "> ");
  REQUIRE(caret_at(2));
  press_key(text_zero(), 'V', true);
  REQUIRE(caret_at(12));
  type_text(text_zero(), "\r");
  REQUIRE(reader.run.wait());
  CHECK(std::string(reader.line) == "> first line");

  // While a line is awaited keys go into the line and no menu opens.
  reader.start();
  REQUIRE(line_input_waits());
  press_key(text_zero(), 'S');
  press_key(text_zero(), 'Q', true);
  type_text(text_zero(), "SX");
  CHECK(open_context_menu(text_zero()).empty());
  CHECK(text_window_is_open(0));
  CHECK(start_requested.load() == 0);
  type_text(text_zero(), "\r");
  REQUIRE(reader.run.wait());
  CHECK(std::string(reader.line) == "SX");

  // A wait ends with an empty line when its window closes or Exit is chosen.
  reader.start(false);
  REQUIRE(line_input_waits());
  type_text(text_zero(), "abc");
  REQUIRE(caret_at(3));
  post(text_zero(), WM_CLOSE);
  REQUIRE(reader.run.wait());
  CHECK((reader.line[0] == 0 && !text_window_is_open(0)));

  // Nothing open: the buffer is not touched.
  reader.start(false);
  REQUIRE(reader.run.wait());
  CHECK(reader.line[0] == '?');
  reader.start();
  REQUIRE(line_input_waits());
  type_text(text_zero(), "xyz");
  REQUIRE(caret_at(3));
  press_key(main_window, 'X');
  CHECK(exit_state.load() == 2);
  CHECK((reader.run.done.load() && reader.line[0] == 0));
}

namespace {

// The image windows of this process: other test programs may run beside it.
std::vector<HWND> own_image_windows()
{
  std::vector<HWND> own;
  for (HWND found = nullptr; (found = FindWindowExW(nullptr, found, L"qel_iw", nullptr)) != nullptr;) {
    DWORD process = 0;
    GetWindowThreadProcessId(found, &process);
    if (process == GetCurrentProcessId())
      own.push_back(found);
  }
  return own;
}

} // namespace

TEST_CASE("dialogues: Image Window asks in text window 0; Start refused while one waits; Text Window; Exit")
{
  Started<Framework> framework;
  post(main_window, WM_COMMAND, cmd_image_window);
  REQUIRE(line_input_waits());
  REQUIRE(text_window_is_open(0));
  type_text(text_zero(), "320\r");
  REQUIRE(next_prompt_waits(2));
  type_text(text_zero(), "240\r");
  REQUIRE(next_prompt_waits(3));
  // 16 bits: the dialogue ends without an image; the next one asks on the
  // following rows.
  type_text(text_zero(), "16\r");
  REQUIRE(wait_until([] { return line_input_owner.load() == 0; }));
  post(main_window, WM_COMMAND, cmd_image_window);
  REQUIRE(line_input_waits());
  type_text(text_zero(), "320\r");
  REQUIRE(next_prompt_waits(6));
  type_text(text_zero(), "240\r");
  REQUIRE(next_prompt_waits(7));
  type_text(text_zero(), "32\r");
  REQUIRE(wait_until([] { return line_input_owner.load() == 0; }));

  // Start pressed while a dialogue waits for a line does not start the user program.
  std::atomic<int> runs{0};
  test_hooks.main = [&] { ++runs; };
  post(main_window, WM_COMMAND, cmd_input_box);
  REQUIRE(line_input_waits());
  press_key(main_window, 'S');
  send(main_window, WM_COMMAND, cmd_start);
  CHECK(start_requested.load() == 0);
  type_text(text_zero(), "2\r");
  REQUIRE(wait_until([] { return FindWindowW(input_box_class, nullptr) != nullptr; }));
  // The worker serves its jobs in order: both image dialogues have ended,
  // and only the second made an image.
  const std::vector<HWND> images = own_image_windows();
  REQUIRE(images.size() == 1);
  CHECK(window_text(images[0]) == "000(100%)");   // slot 0, 32 bits
  CHECK((client_rect(images[0]).right == 320 && client_rect(images[0]).bottom == 240));
  // The worker serves the next request only after the dialogue's job; a
  // Start left over would have run the user program before it. Text
  // window 0 is the dialogue's.
  post(main_window, WM_COMMAND, cmd_text_window);
  REQUIRE(wait_until([] { return text_window_is_open(1); }));
  CHECK(window_text(text_window_handle(1)) == "TextWindow 1");
  CHECK((runs.load() == 0 && user_running.load() == 0));

  post(main_window, WM_COMMAND, cmd_input_box);
  REQUIRE(line_input_waits());
  post(main_window, WM_COMMAND, cmd_exit);
  REQUIRE(wait_until([] { return exit_state.load() == 2; }));
  CHECK(line_input_owner.load() == 0);
}
