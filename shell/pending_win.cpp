// Stand-ins for subsystems that are not built yet, so that the shell links
// and runs: each does nothing and reports failure where it has a result.
// A subsystem that lands removes its stand-ins from here.
#include <windows.h>

#include "qellib.h"
#include "shell/shell_win.h"


int QEL_LoadImage(const char*, int, int) { return 2; }
int QEL_OpenTextWindow(int, int, int, int, int) { return 1; }
void QEL_Printf(const char*, ...) {}
void QEL_Gets(char* buffer) { buffer[0] = 0; }
void QEL_OpenInputBox(int, int, int) {}
void QEL_CloseInputBox() {}
void QEL_OpenButtonBox(int, int, int, int) {}
void QEL_CloseButtonBox() {}

void clear_text_windows() {}
void close_all_logs() {}
bool text_window_is_open(int) { return false; }
void bring_text_window_forward(int) {}
void handle_dropped_files(HDROP drop) { DragFinish(drop); }
bool forms_take_dialog_message(MSG&) { return false; }

LRESULT CALLBACK text_window_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }
LRESULT CALLBACK input_box_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }
LRESULT CALLBACK button_box_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }
