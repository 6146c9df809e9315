#pragma once

#include <QString>

#include "output_entry.h"

// One entry as a line of the printed listing: the phone as it is, two spaces, then surname
// and street padded to 30 characters, house and apartment to 5. Longer values are printed
// whole. The mobile number is not printed.
QString printLine(const OutputEntry& entry);
