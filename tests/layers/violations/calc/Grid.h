#pragma once

#include "data/Table.h"

double Mean(const Table& table);
