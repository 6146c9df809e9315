#pragma once

#include <QString>

// The exclusive upper bound of the texts that begin with `text`, by the byte rule of code
// page 1251, where 'я' (0xFF) is the highest letter: the last character goes up by one, and
// trailing 'я's wrap to 'а' while the character before them goes up. The empty text and
// texts of 'я's alone have no such bound within the code page; they get a run of 'я's
// longer than any field ("яяяяя" for the shortest, as the directory has always used).
QString PrefixUpperBound(const QString& text);
