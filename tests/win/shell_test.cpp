// The main window, the worker thread and the run-control protocol, driven as
// a user drives them: menu commands, keys and right clicks.
#include <doctest/doctest.h>

#include <atomic>
#include <thread>

#include "qel_test.h"

TEST_CASE("main window: title, size, place, status and menu bar")
{
  Framework framework({.animate = true});
  REQUIRE(framework.started);
  CHECK(window_text(main_window) == "QELLIB 7.3  2009/4/30");

  const RECT client = client_rect(main_window);
  CHECK(client.right == 240);
  // The client rectangle was asked for the menu bar plus 32 rows; the menu bar takes its share.
  const RECT outer = window_rect(main_window);
  RECT expected{0, 0, 240, GetSystemMetrics(SM_CYMENU) + 32};
  AdjustWindowRect(&expected, WS_CAPTION | WS_THICKFRAME, FALSE);
  CHECK((outer.right - outer.left == expected.right - expected.left &&
         outer.bottom - outer.top == expected.bottom - expected.top));

  // After the drop-in it rests centred on the work area's bottom edge, the
  // status line on screen.
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  CHECK(outer.bottom == work.bottom);
  CHECK(outer.left == work.left + (work.right - work.left - (outer.right - outer.left)) / 2);

  // The status line: the display depth, centred by blanks (18 less half the text's length).
  const std::string depth = std::to_string(display_bits) + "-bit color";
  CHECK(window_text(GetDlgItem(main_window, status_line_id)) == std::string(18 - depth.size() / 2, ' ') + depth);

  HMENU bar = GetMenu(main_window);
  REQUIRE(GetMenuItemCount(bar) == 3);
  const UINT ids[] = {cmd_start, cmd_stop, cmd_exit};
  const wchar_t* texts[] = {L"Start(&S)", L"Stop(&C)", L"Exit(&X)"};
  for (int i = 0; i < 3; ++i) {
    wchar_t text[32];
    GetMenuStringW(bar, static_cast<UINT>(i), text, 32, MF_BYPOSITION);
    CHECK(GetMenuItemID(bar, i) == ids[i]);
    CHECK(lstrcmpW(text, texts[i]) == 0);
  }
  // The frame does not resize the main window.
  RECT proposal{outer.left, outer.top, outer.right + 50, outer.bottom + 50};
  send(main_window, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposal));
  CHECK((proposal.right == outer.right && proposal.bottom == outer.bottom));
}

TEST_CASE("a run: Start once, the pop-up menu greyed, requests served after it, Stop cleared after")
{
  std::atomic<int> runs{0};
  std::atomic<bool> release{false};
  std::atomic<int> stop_seen{0};
  std::atomic<int> pumps{0};
  test_hooks.main = [&] {
    ++runs;
    for (; !release; ++pumps)
      QEL_DoEvents(), Sleep(1);
    stop_seen = stop_requested.load();
  };
  Started<Framework> framework;

  const char* expected[] = {"Paste\tCtrl+V", "", "Start", "Stop", "E&xit", "",
                            "Image Window", "Text Window", "Input Box", "Button Box", "",
                            "&Window Info.\tCtrl+W"};
  auto idle = open_context_menu(main_window);
  REQUIRE(idle.size() == 12);
  for (size_t i = 0; i < idle.size(); ++i)
    CHECK((idle[i].text == expected[i] && (idle[i].text.empty() || idle[i].enabled)));

  post(main_window, WM_COMMAND, cmd_start);
  REQUIRE(wait_until([] { return user_running.load() == 1; }));
  press_key(main_window, 'S');                       // Start again during the run
  send(main_window, WM_COMMAND, cmd_start);
  CHECK(start_requested.load() == 0);
  // While it runs only Stop and Exit are offered.
  for (const auto& item : open_context_menu(main_window, WM_NCRBUTTONDOWN))
    if (!item.text.empty())
      CHECK(item.enabled == (item.id == cmd_stop || item.id == cmd_exit));

  // A request posted during the run waits, posted, while the run pumps on
  // (slot 256 is refused with 4 by the worker). Posting from a thread of its
  // own stands in for the GUI thread's command: the channel only cares that
  // one thread posts at a time.
  std::atomic<int> result{-2};
  std::thread poster([&] { result = post_create_image(256, "x", 10, 10, 32); });
  REQUIRE(wait_until([] { return request_code.load() == REQ_CREATE_IMAGE; }));
  const int posted_at = pumps;
  REQUIRE(wait_until([&] { return pumps >= posted_at + 50; }));
  CHECK(request_done.load() == 0);

  press_key(main_window, 'C');                       // Stop
  CHECK(stop_requested.load() == 1);
  release = true;
  poster.join();
  CHECK((result.load() == 4 && request_code.load() == 0));
  REQUIRE(wait_until([] { return user_running.load() == 0; }));
  CHECK((runs.load() == 1 && stop_seen.load() == 1 && stop_requested.load() == 0));

  // A new Start after the run begins a new run with the flag cleared.
  release = false;
  post(main_window, WM_COMMAND, cmd_start);
  REQUIRE(wait_until([] { return user_running.load() == 1; }));
  CHECK(stop_requested.load() == 0);
  release = true;
  REQUIRE(wait_until([] { return user_running.load() == 0; }));
  CHECK(runs.load() == 2);
}

TEST_CASE("ten running copies: the next one says so and ends with 1")
{
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  HWND windows[10];
  wchar_t names[10][16];
  for (int n = 0; n < 10; ++n) {
    wsprintfW(names[n], L"qellib_mw%d", n);
    wc.lpszClassName = names[n];
    RegisterClassW(&wc);
    windows[n] = CreateWindowW(names[n], L"", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  }
  {
    MessageBoxAnswerer answerer;
    CHECK(run_framework(GetModuleHandleW(nullptr)) == 1);
    REQUIRE(answerer.wait_for(1));
    CHECK(answerer.seen()[0].text == "Over instance limit!");
    CHECK(answerer.seen()[0].caption == "QELLIB");
  }
  // With one of them gone, the next start takes the lowest free number.
  DestroyWindow(windows[3]);
  UnregisterClassW(names[3], wc.hInstance);
  REQUIRE(start_framework());
  wchar_t class_name[16];
  GetClassNameW(main_window, class_name, 16);
  CHECK(lstrcmpW(class_name, L"qellib_mw3") == 0);
  CHECK(instance_number == 3);
  CHECK(stop_framework() == 0);
  for (int n = 0; n < 10; ++n)
    if (n != 3) {
      DestroyWindow(windows[n]);
      UnregisterClassW(names[n], wc.hInstance);
    }
}

TEST_CASE("Ctrl+W with no text window open opens text window 0 for the report")
{
  REQUIRE(start_framework());
  REQUIRE_FALSE(text_window_is_open(0));
  press_key(main_window, 'W', true);
  CHECK(wait_until([] { return text_window_is_open(0); }));
  CHECK(stop_framework() == 0);
}

TEST_CASE("QEL_Pause shows its text in a box captioned Pause")
{
  reset_run_control();   // the Exit of the cases before: after Exit no box shows
  MessageBoxAnswerer answerer;
  QEL_Pause("hello there");
  REQUIRE(answerer.wait_for(1));
  CHECK(answerer.seen()[0].caption == "Pause");
  CHECK(answerer.seen()[0].text == "hello there");
}
