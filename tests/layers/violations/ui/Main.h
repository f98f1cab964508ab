#pragma once

#include <QOpenGLWidget>
# include "session/Session.h"
#	include	"render3d/Scene.h"
#include "widgets/Knob.h"
