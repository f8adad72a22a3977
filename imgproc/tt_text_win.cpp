// TrueType text drawn into the current image. Win32 for fonts and text output
// through the slot's memory drawing context.
#include <windows.h>

#include <utility>

#include "image/image_win.h"
#include "image/slots.h"
#include "imgproc/colour.h"
#include "imgproc/font.h"
#include "imgproc/imgproc_win.h"
#include "qellib.h"
#include "shell/gdi_win.h"

namespace {

// The TrueType text font: made at start-up on the GUI thread before the
// worker starts, then used and replaced by the worker only.
OwnedFont tt_font;

// Replaces the TrueType text font by one made from its own description with
// one change applied; the old font is released only when the new one exists.
template <class Change>
bool remake_tt_font(Change change)
{
  LOGFONTW description{};
  if (!tt_font || !GetObjectW(tt_font.get(), sizeof description, &description))
    return false;
  change(description);
  return replace_tt_font(description);
}

void apply_style_control(int code)
{
  remake_tt_font([code](LOGFONTW& d) {
    switch (code) {
    case 1: d.lfItalic = TRUE; break;
    case 2: d.lfItalic = FALSE; break;
    case 3: d.lfWeight = FW_BOLD; break;
    case 4: d.lfWeight = FW_NORMAL; break;
    case 5: d.lfUnderline = TRUE; break;
    case 6: d.lfUnderline = FALSE; break;
    default: break;
    }
  });
}

// Full advance of a character: A + B + C, or its plain width where the font
// has no ABC widths (bitmap fonts).
int advance_of(HDC dc, wchar_t character)
{
  ABC abc;
  if (GetCharABCWidthsW(dc, character, character, &abc))
    return abc.abcA + static_cast<int>(abc.abcB) + abc.abcC;
  INT width = 0;
  if (GetCharWidth32W(dc, character, character, &width))
    return width;
  return 0;
}

} // namespace

void create_tt_font()
{
  tt_font = OwnedFont(CreateFontW(tt_line_height, tt_cell_width, 0, 0, FW_DONTCARE, FALSE, FALSE,
                                  FALSE, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH,
                                  L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF"));
}

void delete_tt_font() { tt_font = OwnedFont{}; }

HFONT tt_text_font() { return tt_font.get(); }

bool replace_tt_font(const LOGFONTW& description)
{
  OwnedFont made(CreateFontIndirectW(&description));
  if (!made)
    return false;
  tt_font = std::move(made);
  return true;
}

int QEL_TTSetFontSize(int cell_width, int height)
{
  tt_cell_width = cell_width / 2;
  tt_line_height = height;
  const bool made = remake_tt_font([](LOGFONTW& d) {
    d.lfWidth = tt_cell_width;
    d.lfHeight = tt_line_height;
  });
  return made ? 0 : 1;
}

void QEL_TTPutChar(int code)
{
  if (code < 32) {
    if (code == 10) {
      text_x = text_margin;
      text_y += tt_line_height;
    } else if (code >= 1 && code <= 6) {
      apply_style_control(code);
    }
    return;
  }
  char bytes[2];
  int length = 0;
  if (code < 256) {
    bytes[length++] = static_cast<char>(code);
  } else {
    bytes[length++] = static_cast<char>((code >> 8) & 255);
    bytes[length++] = static_cast<char>(code & 255);
  }
  wchar_t character = 0;
  if (MultiByteToWideChar(CP_ACP, 0, bytes, length, &character, 1) != 1)
    return;
  // A closed or free current image has no drawing context: nothing is drawn.
  const HDC dc = slot_memory_dc(qel_current_image);
  if (!dc || !tt_font)
    return;
  const Selection font(dc, tt_font.get());
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF old_colour = SetTextColor(dc, bgr_of(qel_tttc));
  TextOutW(dc, text_x, text_y - tt_line_height + 1, &character, 1);
  text_x += advance_of(dc, character);
  SetTextColor(dc, old_colour);
  SetBkMode(dc, old_mode);
}

void QEL_TTPutString(const char* text)
{
  for_each_tt_code(text, [](int code) { QEL_TTPutChar(code); });
}
