#include "colour/Palette.h"
#include <QWidget>
