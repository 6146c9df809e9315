#pragma once

#include <QString>

// The file name for an HTML export: the name the user chose, with ".html" appended unless
// it already ends in ".html" (any letter case).
QString htmlFileName(const QString& chosen);
