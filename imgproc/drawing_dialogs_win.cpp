// The colour and font dialogs of the image tools menu, which set the drawing
// state that the tools and text drawing use. Win32 for the common dialogs.
#include <windows.h>
#include <commdlg.h>

#include <cstdint>

#include "imgproc/colour.h"
#include "imgproc/imgproc_win.h"
#include "qellib.h"

namespace {

// The dialog's custom colours (0x00BBGGRR), black at start-up and kept from
// one opening to the next for the rest of the run. The worker thread's.
COLORREF custom_colours[16];

} // namespace

// Opens on the drawing colour. Whatever the dialog gives, or the colour it
// opened with when cancelled, becomes the colour of drawing and of both kinds
// of text.
void choose_drawing_colour(HWND owner)
{
  CHOOSECOLORW choice{};
  choice.lStructSize = sizeof choice;
  choice.hwndOwner = owner;
  choice.rgbResult = bgr_of(qel_draw_colour);
  choice.lpCustColors = custom_colours;
  choice.Flags = CC_RGBINIT | CC_FULLOPEN;
  const std::uint32_t colour = ChooseColorW(&choice) ? rgb_of(choice.rgbResult) : qel_draw_colour;
  qel_draw_colour = qel_tttc = qel_tc = colour;
}

// Opens on the TrueType text font; the font is made anew only on OK.
void choose_text_font(HWND owner)
{
  LOGFONTW description{};
  const HFONT font = tt_text_font();
  if (!font || !GetObjectW(font, sizeof description, &description))
    return;
  CHOOSEFONTW choice{};
  choice.lStructSize = sizeof choice;
  choice.hwndOwner = owner;
  choice.lpLogFont = &description;
  choice.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | CF_EFFECTS | CF_SCRIPTSONLY;
  if (ChooseFontW(&choice))
    replace_tt_font(description);
}
