#include "shell/pump_headless.h"

#include "qellib.h"

std::function<void()> headless_pump_hook;

void QEL_DoEvents()
{
  if (headless_pump_hook)
    headless_pump_hook();
}
