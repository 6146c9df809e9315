#include "modal_reply.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>

#include "error.h"

namespace {

constexpr int kGuardIntervalMs = 100;  // while nothing is expected: only watch for surprises

}  // namespace

ModalReply::ModalReply() {
    connect(&m_timer, &QTimer::timeout, this, &ModalReply::poll);
    schedule();
}

void ModalReply::schedule() {
    m_timer.start(m_answers.isEmpty() ? kGuardIntervalMs : 0);
}

void ModalReply::expect(Answer answer) {
    m_answers.append(std::move(answer));
    schedule();
}

ModalReply::Answer ModalReply::saveAs(const QString& path) {
    return [path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            throw Error(
                QStringLiteral("expected a file dialog, got \"%1\"").arg(modal->windowTitle()));
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides accept(); QDialog's is public
    };
}

ModalReply::Answer ModalReply::printTo(const QString& pdf) {
    return [pdf](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        if (!dialog)
            throw Error(
                QStringLiteral("expected the print dialog, got \"%1\"").arg(modal->windowTitle()));
        // Without a printer of the system the dialog prints to the PDF file named in its own
        // field, whatever the printer was set to before.
        if (auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
            fileName->setText(pdf);
        dialog->accept();
    };
}

void ModalReply::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == m_answering || !modal->isVisible())
        return;
    m_answering = modal;
    const auto dismiss = [&](const QString& why) {
        QString text = modal->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            text += QStringLiteral(": ") + box->text();
        m_unexpected.append(why.isEmpty() ? text : text + QStringLiteral(" (") + why + u')');
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    };
    if (m_answers.isEmpty() || qobject_cast<QMessageBox*>(modal)) {
        dismiss(QString());
    } else {
        const Answer answer = m_answers.takeFirst();
        try {
            answer(modal);
            m_sinceAnswer.start();
        } catch (const Error& e) {
            dismiss(e.text());
        }
    }
    m_answering = nullptr;
    schedule();
}

void ModalReply::check(const char* during) {
    QStringList problems = m_unexpected;
    if (!m_answers.isEmpty())
        problems.append(QStringLiteral("the expected dialog never opened"));
    m_unexpected.clear();
    m_answers.clear();
    schedule();
    if (!problems.isEmpty())
        throw Error(QStringLiteral("%1: %2").arg(QString::fromUtf8(during),
                                                 problems.join(QStringLiteral("; "))));
}

double ModalReply::msSinceAnswer() const {
    return double(m_sinceAnswer.nsecsElapsed()) / 1e6;
}
