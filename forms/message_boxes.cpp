#include "message_boxes.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

namespace {

class ButtonsOnlyBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape)
            return;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (!clickedButton()) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

}  // namespace

void showWarningBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Внимание!!"), text, QMessageBox::Ok,
                    parent);
    box.setObjectName(QStringLiteral("warning"));
    box.exec();
}

bool askToSaveChanges(QWidget* parent) {
    ButtonsOnlyBox box(QMessageBox::NoIcon, QStringLiteral("Сохранение изменений"),
                       QStringLiteral("Сохранить изменения в базе данных?"),
                       QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("confirmSave"));
    return box.exec() == QMessageBox::Yes;
}
