#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

// Matching ignores letter case for Latin and Cyrillic and treats Ё as Е: "иван" finds
// "Иванов", "елкин" finds "Ёлкин". Every other character stands for itself, so the folded
// text has exactly as many characters as the original.
char16_t foldChar(char16_t c);
QString foldText(QStringView text);
QByteArray foldUtf8(QByteArrayView utf8);

// True when folding can change what the text matches, i.e. it holds a letter that folding
// maps or produces. Texts without such letters match the same stored values folded or not.
bool foldMatters(QStringView text);

// Makes the SQL function fold(text) available on this connection. Only this program's
// queries use it; nothing stored in the file depends on it.
void registerFoldFunction(sqlite3* db);
