// The one-shot command console of a text window; not there yet, so Space and
// the "Command" item do nothing.
#include "text/text_win.h"

int run_console()
{
  return 0;
}
