#pragma once

#include <QString>

// The phone inputs read a seven-character text: a digit or a space per position of the
// mask 9-99-99, with '-' at the second and fifth places. Nothing typed reads as below.
inline const QString kEmptyPhoneText = QStringLiteral(" -  -  ");

// The LIKE pattern for a masked phone text: each unfilled position (space or '*') becomes
// '_', the hyphens go, digits stay: "1-2 -  " gives "12___".
QString PhoneToPattern(const QString& text);

// The typed digits of a masked phone text without gaps: "1-23-45" gives "12345",
// "1-2 -  " gives "12", nothing typed gives the empty text.
QString PhoneToDigits(const QString& text);
