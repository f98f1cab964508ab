#pragma once

#include "calc/Grid.h"
#include "core/Log.h"
