#include "shell/drawing_defaults.h"

#include "qellib.h"

void reset_drawing_state()
{
  qel_tttc = 0xFFFFFF;
  qel_tc = 0;
  text_x = 0;
  text_y = 0;
  text_margin = 0;
}
