// The chart generator as the framework's user program. The hooks stand apart
// from the generator so that tests can run it under their own hooks.
#include "lenticular/program.h"
#include "qellib.h"

void user_setup() { chart_setup(); }
void user_main() { chart_main(); }
