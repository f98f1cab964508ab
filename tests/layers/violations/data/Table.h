#pragma once

#include <vector>
#include "core/Log.h"
#include <QString>

struct Table { std::vector<double> values; QString name; };
