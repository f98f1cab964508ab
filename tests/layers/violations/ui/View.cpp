#include "ui/Main.h"
#include <QLabel>
#include <GL/gl.h>
