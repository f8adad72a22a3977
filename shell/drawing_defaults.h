#pragma once
// Drawing state as every start of the framework leaves it: TrueType text
// white, bitmap-font text black, text cursor and margin at 0.
void reset_drawing_state();
