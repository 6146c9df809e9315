#pragma once

#include <QString>

// A system error as a user reads it: the cause in Russian, the system's own words (strerror's
// text, as Qt and the libraries report it) after it in brackets, e.g. "на диске нет места
// (No space left on device)". A text that names no known cause is kept whole, in brackets.
QString systemReason(const QString& systemText);
QString systemReason(int errnoValue);
