#pragma once

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <functional>

// A modal window the answerer met, as the user saw it.
struct SeenBox {
    QString type;  // class name, e.g. "QMessageBox", "QFileDialog"
    QString objectName;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;  // button texts as shown
    QList<QMessageBox::StandardButton> standardButtons;
    bool expected = false;  // answered with a queued answer, not dismissed as a surprise
};

// Answers the modal windows a test (or the benchmark) provokes, as a user would: whenever one
// is open it is recorded and answered with the next queued answer, as soon as its event loop
// runs while an answer is queued. A window nobody expected is recorded and dismissed with its
// default answer, so the test fails on it instead of hanging; a progress dialog nobody
// answers is left to run its course.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget* modal)>;

    ModalAnswerer();

    void expect(Answer answer);
    // The usual answers.
    void press(QMessageBox::StandardButton button);
    void accept();                     // any dialog's accept(), e.g. the print dialog
    void saveAs(const QString& path);  // a file dialog: the name typed in, then accepted
    void printTo(const QString& pdf);  // the print dialog, printing to a PDF file
    void cancel();

    const QList<SeenBox>& seen() const { return m_seen; }
    int pending() const { return int(m_answers.size()); }
    void clear() { m_seen.clear(); }
    // Milliseconds since the last queued answer was given.
    double msSinceAnswer() const { return double(m_sinceAnswer.nsecsElapsed()) / 1e6; }

private:
    void poll();
    void schedule();

    QTimer m_timer;
    QElapsedTimer m_sinceAnswer;
    QList<Answer> m_answers;
    QList<SeenBox> m_seen;
    QWidget* m_answering = nullptr;
};
