#include "calc/Grid.h"
#include "colour/Palette.h"
#  include "ui/Main.h"
