#pragma once

#include <QAction>
#include <QImage>
#include "data/Table.h"

QImage Paint(const Table& table);
