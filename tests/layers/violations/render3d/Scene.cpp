#include <QOpenGLFunctions>
#include <GL/gl.h>
#include "colour/Palette.h"
