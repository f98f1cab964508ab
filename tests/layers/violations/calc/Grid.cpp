#include "calc/Grid.h"

// Rows [first, last) only.
#define CLAMP(i, n) \
    ((i) < 0 ? 0 : (i) >= (n) ? (n) - 1 : (i))
static const char kSeparators[] = ";[\\";

#include "colour/Palette.h"
