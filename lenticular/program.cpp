// The chart generator's hooks.
#include "qellib.h"

void user_setup() {}
void user_main() {}
