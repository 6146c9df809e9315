#include "modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressDialog>

namespace {

constexpr int kWatchIntervalMs = 20;  // while nothing is queued: only watch for surprises

}  // namespace

ModalAnswerer::ModalAnswerer() {
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    schedule();
}

void ModalAnswerer::schedule() {
    m_timer.start(m_answers.isEmpty() ? kWatchIntervalMs : 0);
}

void ModalAnswerer::expect(Answer answer) {
    m_answers.append(std::move(answer));
    schedule();
}

void ModalAnswerer::press(QMessageBox::StandardButton button) {
    expect([button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box && box->button(button)) {
            box->button(button)->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        }
    });
}

void ModalAnswerer::accept() {
    expect([](QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->accept();
    });
}

void ModalAnswerer::cancel() {
    expect([](QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
}

void ModalAnswerer::saveAs(const QString& path) {
    expect([path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) {
            if (auto* other = qobject_cast<QDialog*>(modal))
                other->reject();
            return;
        }
        // As a user would: the folder, then the name typed into the dialog's name field
        // (selectFile() alone leaves an earlier selection of the list in charge).
        // A path into a folder that is not there is typed whole, as a user might.
        const QFileInfo file(path);
        const bool folderExists = file.absoluteDir().exists();
        if (folderExists)
            dialog->setDirectory(file.absolutePath());
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name)
            name->setText(folderExists ? file.fileName() : path);
        else
            dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides accept(); QDialog's is public
    });
}

void ModalAnswerer::printTo(const QString& pdf) {
    expect([pdf](QWidget* modal) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog)
            return;
        // Without a printer of the system the dialog prints to the PDF file named in its own
        // field, whatever the printer was set to before.
        if (auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
            fileName->setText(pdf);
        dialog->accept();
    });
}

void ModalAnswerer::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == m_answering || !modal->isVisible())
        return;
    // A long output's progress is watched, as a user watches it, unless an answer is queued.
    if (m_answers.isEmpty() && qobject_cast<QProgressDialog*>(modal))
        return;
    SeenBox seen;
    seen.type = QString::fromLatin1(modal->metaObject()->className());
    seen.objectName = modal->objectName();
    seen.title = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons()) {
            seen.buttons << b->text();
            seen.standardButtons << box->standardButton(b);
        }
    }
    m_seen.append(seen);
    m_answering = modal;
    if (!m_answers.isEmpty()) {
        m_seen.last().expected = true;
        m_answers.takeFirst()(modal);
        m_sinceAnswer.start();
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        box->buttons().first()->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    }
    m_answering = nullptr;
    schedule();
}
