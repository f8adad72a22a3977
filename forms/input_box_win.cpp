// The input box: a window with a column of titled one-line fields whose
// stored texts a user program reads by polling. Win32 is needed for the
// window, its static and edit controls, focus tracking and the pop-up menus.
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "forms/box_window_win.h"
#include "forms/forms_win.h"
#include "forms/input_box_layout.h"
#include "forms/real_format.h"
#include "qellib.h"
#include "shell/app_win.h"

static_assert(edge_left == WMSZ_LEFT && edge_right == WMSZ_RIGHT && edge_top == WMSZ_TOP &&
              edge_top_left == WMSZ_TOPLEFT && edge_top_right == WMSZ_TOPRIGHT &&
              edge_bottom == WMSZ_BOTTOM && edge_bottom_left == WMSZ_BOTTOMLEFT &&
              edge_bottom_right == WMSZ_BOTTOMRIGHT);

namespace {

constexpr DWORD box_style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE;
// Lets the dialog-key handling move between the fields with Tab.
constexpr DWORD box_ex_style = WS_EX_CONTROLPARENT;

int item_count = 0;
column_widths widths{default_isize, default_esize};
HWND titles[max_items];
HWND fields[max_items];
// The values a program reads. Typing reaches them only when a field is left
// or Enter is pressed, so a polling program never sees half-typed text.
char item_texts[max_items][line_size];
HWND focused_field = nullptr;
int sizing_edge = edge_none;

void forget_fields()
{
  focused_field = nullptr;
  for (int i = 0; i < max_items; ++i)
    titles[i] = fields[i] = nullptr;
}

// What a program reads is gone with the box.
void clear_item_texts()
{
  for (char* text : item_texts)
    text[0] = 0;
}

int item_under(LPARAM position) { return input_item_at(client_y(position)); }
HWND title_of(int item);
void set_title(int item, const char* text) { QEL_SetInputBoxTitle(item, text); }

BoxWindow box{{L"Destroy", ib_cmd_destroy, ib_cmd_rename, L"DestroyWindow[IB] Error", L"QELLIB Error!"},
              {forget_fields, clear_item_texts, item_under, title_of, set_title}};

bool is_item(int item)
{
  return box.window && item >= 0 && item < item_count;
}

HWND title_of(int item) { return is_item(item) ? titles[item] : nullptr; }

int field_index(HWND window)
{
  if (!window)
    return -1;
  for (int i = 0; i < item_count; ++i)
    if (fields[i] == window)
      return i;
  return -1;
}

frame_insets box_frame()
{
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, box_style, FALSE, box_ex_style);
  return {-r.left, -r.top, r.right, r.bottom};
}

void place(HWND control, box_rect r)
{
  if (control)
    MoveWindow(control, r.x, r.y, r.width, r.height, TRUE);
}

void lay_out_items()
{
  for (int i = 0; i < item_count; ++i) {
    // Titles keep their place and take the new width.
    const box_rect title = input_title_rect(i, widths);
    if (titles[i])
      SetWindowPos(titles[i], nullptr, 0, 0, title.width, title.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    place(fields[i], input_field_rect(i, widths));
  }
}

void store_field(HWND field)
{
  const int i = field_index(field);
  if (i >= 0)
    read_window_text(field, item_texts[i], line_size);
}

// Sets an item's value from the program: stored at once, no typing events needed.
void store_item_text(int item, const char* text)
{
  std::snprintf(item_texts[item], line_size, "%s", text);
  set_window_text_ansi(fields[item], item_texts[item]);
}

void on_sizing(HWND window, int edge, RECT* proposed)
{
  sizing_edge = edge;
  RECT current;
  GetWindowRect(window, &current);
  const edge_rect kept = keep_vertical_edges({proposed->left, proposed->top, proposed->right,
                                              proposed->bottom},
                                             {current.left, current.top, current.right,
                                              current.bottom});
  proposed->top = kept.top;
  proposed->bottom = kept.bottom;
}

void on_size(WPARAM kind, int client_width)
{
  // A minimised window reports a zero width, which would squeeze a column to
  // one pixel for good.
  if (kind == SIZE_MINIMIZED)
    return;
  widths = widths_after_sizing(sizing_edge, client_width, widths);
  lay_out_items();
}

void on_activate(WPARAM state)
{
  // Only an activation takes the focus: on deactivation it would pull the
  // activation straight back from the window the user chose.
  if (LOWORD(state) == WA_INACTIVE || item_count == 0 || !fields[0])
    return;
  if (!focused_field)
    focused_field = fields[0];
  SetFocus(focused_field);
  PostMessageW(fields[0], EM_SETSEL, 0, GetWindowTextLengthW(fields[0]));
}

void on_command(WPARAM wparam, LPARAM lparam)
{
  const HWND control = reinterpret_cast<HWND>(lparam);
  const UINT code = HIWORD(wparam);
  const UINT id = LOWORD(wparam);
  if (control && code == EN_KILLFOCUS)
    store_field(control);
  else if (control && code == EN_SETFOCUS && field_index(control) >= 0)
    focused_field = control;
  else if (!control && id == IDOK)
    store_field(focused_field);   // Enter

  box.handle_menu_command(id, control);
}

} // namespace

HWND input_box_window()
{
  return box.window;
}

int input_box_item_count()
{
  return box.alive() ? item_count : 0;
}

void input_box_column_widths(int* label_width, int* edit_width)
{
  *label_width = widths.isize;
  *edit_width = widths.esize;
}

std::string input_box_label(int item)
{
  return box.item_text(item);
}

void QEL_OpenInputBox(int x, int y, int items)
{
  if (box.alive())
    return;
  item_count = clamp_item_count(items);
  for (int i = 0; i < max_items; ++i)
    titles[i] = fields[i] = nullptr;
  focused_field = nullptr;
  sizing_edge = edge_none;

  const box_rect outer = outer_window_rect(x, y, input_box_client_size(item_count, widths),
                                           box_frame());
  box.window = CreateWindowExW(box_ex_style, input_box_class, L"InputBox", box_style, outer.x,
                               outer.y, outer.width, outer.height, main_window, nullptr,
                               app_instance, nullptr);
  for (int i = 0; i < item_count; ++i) {
    wchar_t title[16];
    wsprintfW(title, L"Item %d", i);
    const box_rect t = input_title_rect(i, widths);
    titles[i] = CreateWindowExW(0, L"STATIC", title, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP,
                                t.x, t.y, t.width, t.height, box.window, nullptr, app_instance,
                                nullptr);
    std::strcpy(item_texts[i], "0");
    const box_rect f = input_field_rect(i, widths);
    fields[i] = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"0",
                                WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL,
                                f.x, f.y, f.width, f.height, box.window, nullptr, app_instance,
                                nullptr);
  }
  // The window may have been given another width than asked (a minimum
  // tracking width): fit the columns to what it got.
  RECT client;
  if (box.window && GetClientRect(box.window, &client))
    on_size(SIZE_RESTORED, client.right);
  UpdateWindow(box.window);
  SetForegroundWindow(box.window);
  SetFocus(fields[0]);
}

void QEL_CloseInputBox()
{
  box.close();
}

void QEL_SetInputBoxTitle(int item, const char* text)
{
  if (!is_item(item))
    return;
  // The blanks first wipe a longer earlier title off the screen.
  set_window_text_ansi(titles[item], "                    ");
  set_window_text_ansi(titles[item], text ? text : "");
}

void QEL_SetInputBoxInt(int item, int value)
{
  if (!is_item(item))
    return;
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  store_item_text(item, text);
}

void QEL_SetInputBoxReal(int item, double value)
{
  if (!is_item(item))
    return;
  char text[real_text_size];
  format_real(value, text, sizeof text);
  store_item_text(item, text);
}

// Decimal as atoi reads it; values beyond int saturate instead of being
// undefined, as the system's runtime documents for atoi.
int QEL_GetInputBoxInt(int item)
{
  if (!is_item(item))
    return 0;
  const long long value = std::strtoll(item_texts[item], nullptr, 10);
  if (value > INT_MAX)
    return INT_MAX;
  if (value < INT_MIN)
    return INT_MIN;
  return static_cast<int>(value);
}

double QEL_GetInputBoxReal(int item)
{
  if (!is_item(item))
    return 0.0;
  return std::strtod(item_texts[item], nullptr);
}

// Restores column widths, as generated layout source does right after opening
// the box; a closed box keeps them for the next one.
void QEL_ResizeInputBox(int isize, int esize)
{
  widths = clamp_column_widths(isize, esize);
  if (!box.window)
    return;
  const frame_insets frame = box_frame();
  RECT client;
  GetClientRect(box.window, &client);
  const box_size size{input_box_client_size(item_count, widths).width, client.bottom};
  const box_rect outer = outer_window_rect(0, 0, size, frame);
  // The remembered edge would otherwise hand the new width to one column only.
  const int edge = sizing_edge;
  sizing_edge = edge_none;
  SetWindowPos(box.window, nullptr, 0, 0, outer.width, outer.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  sizing_edge = edge;
  lay_out_items();
}

void RenameInputBoxItem(int item)
{
  box.rename(item);
}

LRESULT CALLBACK input_box_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
  switch (message) {
  case WM_SIZING:
    on_sizing(window, static_cast<int>(wparam), reinterpret_cast<RECT*>(lparam));
    return 0;
  case WM_SIZE:
    on_size(wparam, LOWORD(lparam));
    rebuild_window_edges();
    return 0;
  case WM_ACTIVATE:
    on_activate(wparam);
    return 0;
  case WM_COMMAND:
    on_command(wparam, lparam);
    return 0;
  default:
    if (box.handle(window, message, lparam))
      return 0;
    return DefWindowProcW(window, message, wparam, lparam);
  }
}
