#pragma once

#include <QString>

class QWidget;

// The warning box: caption "Внимание!!", the text, one OK button and no icon. The program's
// refusals are shown in it and leave everything as it was.
void showWarningBox(QWidget* parent, const QString& text);

// Asks "Сохранить изменения в базе данных?" with Yes and No and no icon; true means Yes.
// The box can only be left by one of its two buttons: Escape and its close button do nothing.
bool askToSaveChanges(QWidget* parent);
