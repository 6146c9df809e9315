#pragma once

#include <QLineEdit>

// The masked phone input: five optional digit positions in groups of one, two and two,
// with '-' after the first and the third digit. Only digits can be typed. The program reads
// a seven-character text with a space for each unfilled position (" -  -  " when nothing is
// typed). At first the blanks show as spaces; once the input has been cleared, as '*'.
class PhoneEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit PhoneEdit(QWidget* parent = nullptr);

    QString maskedText() const;
    void clearInput();
};
