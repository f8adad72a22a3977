// The two message pumps: the worker's QEL_DoEvents, which lets the open
// input box and button box take their dialog keys first, and the GUI
// thread's pump that request posters run while they wait.
// Win32 for the message queue.
#include <windows.h>

#include "qellib.h"
#include "shell/app_win.h"

namespace {

// Set once at start-up, before the worker runs; read by the worker's pump.
DialogFilter dialog_filter = nullptr;

} // namespace

void set_dialog_filter(DialogFilter filter) { dialog_filter = filter; }

// Both pumps take each message with PeekMessage alone. A look without
// removal followed by GetMessage was seen to block under Wine: GetMessage
// did not get the message the look had seen and waited for the next one,
// at Exit for good, so the worker never saw Exit.
void QEL_DoEvents()
{
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT)
      return;
    if (dialog_filter && dialog_filter(message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void gui_pump()
{
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit message for the GUI thread's own loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
