#pragma once

#include "dataset.h"

// The fields of the two directories in grid order; the key is never shown.
QList<FieldDef> cityFields();
QList<FieldDef> personalFields();
