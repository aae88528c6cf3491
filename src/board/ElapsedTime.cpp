#include "board/ElapsedTime.h"

void update_elapsed(FmMain&, int) {}
