#pragma once

#include <QString>

class QWidget;

// Types text into a widget key by key, as a user would; unlike QTest::keyClicks it also
// types Cyrillic and other non-ASCII letters.
void typeText(QWidget* widget, const QString& text);
