#include "core/Log.h"
