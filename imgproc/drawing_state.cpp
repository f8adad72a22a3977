// The drawing state that user programs read and assign through qellib.h: the
// colour of the interactive tools and of boxes, discs and fills, both text
// colours, the image text cursor and the size asked of the TrueType font.
#include "qellib.h"

std::uint32_t qel_draw_colour = 0xFFFFFF;
std::uint32_t qel_tc = 0;
std::uint32_t qel_tttc = 0xFFFFFF;
int text_x = 0;
int text_y = 0;
int text_margin = 0;
int tt_cell_width = 8;
int tt_line_height = 16;
