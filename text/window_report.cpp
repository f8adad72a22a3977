// The window information report. The printed list and the generated source
// walk the same sections in the same order; the source is bounded and every
// string in it is written as an escaped C literal, so that it compiles as it
// stands whatever titles and captions the windows carry.
#include "text/window_report.h"

#include <initializer_list>
#include <utility>

namespace {

constexpr std::uint32_t black = 0x000000;
constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t yellow = 0xFFFF00;
constexpr std::uint32_t green = 0x00FF00;
constexpr std::uint32_t bits_colour = 0x0080FF;
constexpr std::uint32_t limit_colour = 0xFF00FF;
constexpr std::uint32_t dark_blue = 0x000080;

std::string num(int value)
{
  return std::to_string(value);
}

// One generated statement: a tab, the call with its arguments, a line end.
std::string call(std::string_view name, std::initializer_list<std::string_view> args)
{
  std::string line = "\t";
  line += name;
  line += '(';
  const char* comma = "";
  for (std::string_view arg : args) {
    line += comma;
    line += arg;
    comma = ",";
  }
  line += ");\n";
  return line;
}

// The source is built line by line within its bound; a line that would not
// fit is left out whole, so the text never ends in the middle of a call.
class SourceText {
public:
  void append(const std::string& line)
  {
    if (text_.size() + line.size() < layout_source_size)
      text_ += line;
  }
  std::string take() { return std::move(text_); }

private:
  std::string text_;
};

const char* create_image_call(const ImageWindowInfo& image)
{
  if (image.bits == 32)
    return image.screen_limited ? "QEL_CreateImage" : "QEL_CreateImageFL";
  return image.screen_limited ? "QEL_CreateImage8" : "QEL_CreateImage8FL";
}

void print_in(ReportOutput& out, std::uint32_t back, std::uint32_t text, std::string_view line)
{
  out.push_colours(back, text);
  out.print(line);
  out.pop_colours();
}

void print_images(const WindowSnapshot& windows, ReportOutput& out)
{
  if (windows.images.empty())
    return;
  print_in(out, black, green, "[Image Window]\n");
  for (const ImageWindowInfo& image : windows.images) {
    out.print(" " + num(image.slot) + " ");
    print_in(out, black, bits_colour, num(image.bits) + " ");
    print_in(out, black, limit_colour, num(image.screen_limited) + " ");
    out.print(" '" + image.title + "' X:" + num(image.x) + " Y:" + num(image.y) +
              " W:" + num(image.width) + " H:" + num(image.height) + " ZM:" + num(image.zoom) +
              "%\n");
  }
}

void print_text_windows(const WindowSnapshot& windows, ReportOutput& out)
{
  print_in(out, black, green, "[Text Window]\n");
  for (const TextWindowInfo& t : windows.text_windows)
    out.print(" " + num(t.index) + " X:" + num(t.x) + " Y:" + num(t.y) + " W:" + num(t.width) +
              " H:" + num(t.height) + "\n");
}

void print_boxes(const WindowSnapshot& windows, ReportOutput& out)
{
  if (const auto& box = windows.input_box) {
    print_in(out, black, green, "[Input Box]\n");
    out.print(" X:" + num(box->x) + " Y:" + num(box->y) + " ITEM:" + num(box->items) +
              " ISIZE:" + num(box->label_width) + " ESIZE:" + num(box->edit_width) + "\n");
  }
  if (const auto& box = windows.button_box) {
    print_in(out, black, green, "[Button Box]\n");
    out.print(" X:" + num(box->x) + " Y:" + num(box->y) + " NX:" + num(box->columns) +
              " NY:" + num(box->rows) + " SIZE:" + num(box->width) + "x" + num(box->height) +
              "\n");
  }
}

} // namespace

// Bytes that would end or bend the literal are escaped; so are all bytes
// outside printable ASCII, as three-digit octal: a double-byte character of
// the ANSI code page may have a backslash as its second byte, and an escape
// gives the same bytes whichever character set the compiler reads the
// source in. "??" is broken up so that no trigraph can form.
std::string c_string_literal(std::string_view text)
{
  std::string literal = "\"";
  unsigned char previous = 0;
  for (const unsigned char c : text) {
    switch (c) {
    case '"': literal += "\\\""; break;
    case '\\': literal += "\\\\"; break;
    case '\n': literal += "\\n"; break;
    case '\r': literal += "\\r"; break;
    case '\t': literal += "\\t"; break;
    case '?': literal += previous == '?' ? "\\?" : "?"; break;
    default:
      if (c < 0x20 || c >= 0x7F) {
        const char octal[] = {'\\', static_cast<char>('0' + (c >> 6)),
                              static_cast<char>('0' + ((c >> 3) & 7)),
                              static_cast<char>('0' + (c & 7))};
        literal.append(octal, sizeof octal);
      } else {
        literal += static_cast<char>(c);
      }
    }
    previous = c;
  }
  return literal + "\"";
}

std::string layout_source(const WindowSnapshot& windows)
{
  SourceText source;
  source.append("\t// QELLIB --- Automatic Source Generator\n");
  if (!windows.images.empty()) {
    source.append("\t// [Image Window]\n");
    for (const ImageWindowInfo& image : windows.images)
      source.append(call(create_image_call(image),
                         {num(image.slot), c_string_literal(image.title), num(image.x),
                          num(image.y), num(image.width), num(image.height), num(image.zoom)}));
  }
  source.append("\t// [Text Window]\n");
  for (const TextWindowInfo& t : windows.text_windows)
    source.append(call("QEL_OpenTextWindow",
                       {num(t.index), num(t.x), num(t.y), num(t.width), num(t.height)}));
  if (const auto& box = windows.input_box) {
    source.append("\t// [Input Box]\n");
    source.append(call("QEL_OpenInputBox", {num(box->x), num(box->y), num(box->items)}));
    source.append(call("QEL_ResizeInputBox", {num(box->label_width), num(box->edit_width)}));
    for (std::size_t i = 0; i < box->labels.size(); ++i)
      source.append(call("QEL_SetInputBoxTitle",
                         {num(static_cast<int>(i)), c_string_literal(box->labels[i])}));
  }
  if (const auto& box = windows.button_box) {
    source.append("\t// [Button Box]\n");
    source.append(call("QEL_OpenButtonBox",
                       {num(box->x), num(box->y), num(box->columns), num(box->rows)}));
    source.append(call("QEL_ResizeButtonBox", {num(box->width), num(box->height)}));
    for (std::size_t c = 0; c < box->captions.size(); ++c)
      source.append(call("QEL_SetButtonBoxTitle",
                         {num(static_cast<int>(c)), c_string_literal(box->captions[c])}));
  }
  source.append("\tQEL_SetForeground(QELMAINWINDOW);\n");
  return source.take();
}

// Every push has its pop, so the window prints in its own colours again
// afterwards; the outer pair keeps the report white on black throughout.
void run_window_report(const WindowSnapshot& windows, ReportOutput& out, std::string_view saved_message)
{
  out.push_colours(black, white);
  print_in(out, black, yellow, "******* Window information *******\n");
  print_images(windows, out);
  print_text_windows(windows, out);
  print_boxes(windows, out);
  print_in(out, black, yellow, "**********************************\n");
  if (out.copy_to_clipboard(layout_source(windows)))
    print_in(out, dark_blue, yellow, saved_message);
  out.pop_colours();
}
