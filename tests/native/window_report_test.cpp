// The console's commands and texts, and the window report: the printed
// transcript with its colours, the generated calls of every section, string
// literals read back by an independent decoder, and the source bound under
// all windows open and an enormous title.
#include <doctest/doctest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "qellib.h"
#include "text/console.h"
#include "text/window_report.h"

namespace {

// The report as text with the colour calls in brackets.
struct Transcript : ReportOutput {
  std::string log, clipboard;
  void push_colours(std::uint32_t back, std::uint32_t text) override
  {
    char pair[32];
    std::snprintf(pair, sizeof pair, "[%06x/%06x]", back, text);
    log += pair;
  }
  void pop_colours() override { log += "[pop]"; }
  void print(std::string_view text) override { log += text; }
  bool copy_to_clipboard(const std::string& source) override
  {
    clipboard = source;
    return true;
  }
};

// One 32-bit screen-limited image "000" in slot 0 and text window 0.
WindowSnapshot example()
{
  return {{{0, 32, 1, "000", 100, 50, 320, 240, 100}}, {{0, 500, 50, 400, 300}}, {}, {}};
}

// Reads a C string literal back as a compiler does: simple and octal escapes.
std::string decode_literal(const std::string& literal)
{
  REQUIRE((literal.size() >= 2 && literal.front() == '"' && literal.back() == '"'));
  std::string out;
  for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
    const char c = literal[i];
    // Printable, no bare quote, and no trigraph starts here.
    REQUIRE((c != '"' && static_cast<unsigned char>(c) >= 0x20 && !(c == '?' && literal[i + 1] == '?')));
    if (c != '\\') {
      out += c;
    } else if (literal[i + 1] >= '0' && literal[i + 1] <= '7') {
      int value = 0;
      for (int k = 0; k < 3 && literal[i + 1] >= '0' && literal[i + 1] <= '7'; ++k)
        value = value * 8 + (literal[++i] - '0');
      out += static_cast<char>(value);
    } else {
      const auto at = std::string("\"\\?ntr").find(literal[++i]);
      REQUIRE(at != std::string::npos);
      out += "\"\\?\n\t\r"[at];
    }
  }
  return out;
}

} // namespace

// Each command, an aborted read, "color" after start-up and "ver" are typed
// into the real window by the Windows test.
TEST_CASE("console: whole-line exact commands, their texts and results")
{
  qel_draw_colour = 0x12AB07;
  CHECK(console_text(console_command("color")).starts_with("Red  : 18\nGreen:171\nBlue :  7\n"));
  qel_draw_colour = 0xFFFFFF;
  CHECK((console_result(console_command("help ")) == 1 && console_result(console_command("help")) == 0));
  CHECK(console_text(console_command("help")) == "Command list:exit help start ver color\n");
}

// The example's text and source, and a busy clipboard, are checked through
// the real windows by the Windows test.
TEST_CASE("report: the documented example's colours, each pushed pair popped; sections only for open windows; boxes")
{
  Transcript out;
  run_window_report(example(), out, "saved\n");
  CHECK(out.log ==
        "[000000/ffffff][000000/ffff00]******* Window information *******\n[pop]"
        "[000000/00ff00][Image Window]\n[pop]"
        " 0 [000000/0080ff]32 [pop][000000/ff00ff]1 [pop] '000' X:100 Y:50 W:320 H:240 ZM:100%\n"
        "[000000/00ff00][Text Window]\n[pop] 0 X:500 Y:50 W:400 H:300\n"
        "[000000/ffff00]**********************************\n[pop]"
        "[000080/ffff00]saved\n[pop][pop]");

  // No image window, no image section; then the four image calls and the boxes.
  WindowSnapshot w{{}, {{3, 0, 0, 400, 300}}, {}, {}};
  Transcript text_only;
  run_window_report(w, text_only, "");
  CHECK((text_only.log + text_only.clipboard).find("Image") == std::string::npos);

  w.images = {{1, 32, 1, "a", 0, 0, 8, 8, 100}, {2, 32, 0, "b", 0, 0, 8, 8, 100},
              {3, 8, 1, "c", 0, 0, 8, 8, 100},  {7, 8, 0, "d", 1, 2, 3, 4, 50}};
  w.input_box = InputBoxInfo{10, 20, 2, 60, 80, {"pitch", "step"}};
  w.button_box = ButtonBoxInfo{30, 40, 2, 1, 200, 50, {"cap", "two\nlines"}};
  CHECK(layout_source(w).ends_with(
      "\tQEL_CreateImage(1,\"a\",0,0,8,8,100);\n\tQEL_CreateImageFL(2,\"b\",0,0,8,8,100);\n"
      "\tQEL_CreateImage8(3,\"c\",0,0,8,8,100);\n\tQEL_CreateImage8FL(7,\"d\",1,2,3,4,50);\n"
      "\t// [Text Window]\n\tQEL_OpenTextWindow(3,0,0,400,300);\n"
      "\t// [Input Box]\n\tQEL_OpenInputBox(10,20,2);\n\tQEL_ResizeInputBox(60,80);\n"
      "\tQEL_SetInputBoxTitle(0,\"pitch\");\n\tQEL_SetInputBoxTitle(1,\"step\");\n"
      "\t// [Button Box]\n\tQEL_OpenButtonBox(30,40,2,1);\n\tQEL_ResizeButtonBox(200,50);\n"
      "\tQEL_SetButtonBoxTitle(0,\"cap\");\n\tQEL_SetButtonBoxTitle(1,\"two\\nlines\");\n"
      "\tQEL_SetForeground(QELMAINWINDOW);\n"));
  run_window_report(w, out, "");
  CHECK(out.log.find("[Input Box]\n[pop] X:10 Y:20 ITEM:2 ISIZE:60 ESIZE:80\n"
                     "[000000/00ff00][Button Box]\n[pop] X:30 Y:40 NX:2 NY:1 SIZE:200x50\n") !=
        std::string::npos);
}

TEST_CASE("report: string literals carry every byte back; the source stays within its bound, leaving out whole lines")
{
  CHECK(c_string_literal("say \"hi\" C:\\dir\r\n") == "\"say \\\"hi\\\" C:\\\\dir\\r\\n\"");
  std::string every_byte = "???0\\1?\x83\x5c" "1";   // a code page 932 character ending in a backslash
  for (int b = 1; b < 256; ++b)
    every_byte += static_cast<char>(b);
  CHECK(decode_literal(c_string_literal(every_byte)) == every_byte);

  // A title too long for the bound leaves out its own line and nothing else.
  WindowSnapshot w = example();
  w.images[0].title.assign(100000, '"');
  Transcript out;
  run_window_report(w, out, "");
  CHECK(out.clipboard ==
        "\t// QELLIB --- Automatic Source Generator\n\t// [Image Window]\n\t// [Text Window]\n"
        "\tQEL_OpenTextWindow(0,500,50,400,300);\n\tQEL_SetForeground(QELMAINWINDOW);\n");
  CHECK(out.log.find(" '" + w.images[0].title + "' X:100") != std::string::npos);

  // Every slot and text window in use: the source fills up to the bound.
  for (int slot = 1; slot < slot_count; ++slot)
    w.images.push_back({slot, 8, 1, std::string(150, 'A'), slot, -slot, 64, 48, 25});
  for (int n = 1; n < text_window_count; ++n)
    w.text_windows.push_back({n, n, n, 400, 300});
  const std::string source = layout_source(w);
  CHECK((source.size() < layout_source_size && source.size() > layout_source_size - 100));
  std::istringstream lines(source);
  for (std::string line; std::getline(lines, line);) {
    CAPTURE(line);
    CHECK((line.starts_with("\t// ") || (line.starts_with("\tQEL_") && line.ends_with(");"))));
  }
}
