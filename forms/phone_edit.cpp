#include "phone_edit.h"

namespace {

// Qt's mask letters are the reverse of the old '9' = optional digit: here '0' is optional.
const QString kMaskWithSpaces = QStringLiteral("0-00-00; ");
const QString kMaskWithStars = QStringLiteral("0-00-00;*");

}  // namespace

PhoneEdit::PhoneEdit(QWidget* parent) : QLineEdit(parent) {
    setInputMask(kMaskWithSpaces);
}

QString PhoneEdit::maskedText() const {
    QString text = displayText();
    text.replace(u'*', u' ');
    return text;
}

void PhoneEdit::clearInput() {
    setInputMask(kMaskWithStars);
    clear();
}
