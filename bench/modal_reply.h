#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

// Stands in for the user at the program's modal windows. An expected window is answered as
// soon as its event loop first runs, so the dialog costs no waiting; a window nobody expected
// (an error report, a warning) is recorded and closed, so the benchmark fails instead of
// hanging.
class ModalReply : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget* modal)>;

    ModalReply();

    void expect(Answer answer);
    static Answer saveAs(const QString& path);  // a file dialog: the name, then accepted
    static Answer printTo(const QString& pdf);  // the print dialog, printing to a PDF file

    // Throws Error when an expected window never came or an unexpected one did, naming it.
    void check(const char* during);
    // Milliseconds since the last expected window was answered.
    double msSinceAnswer() const;

private:
    void poll();
    void schedule();

    QTimer m_timer;
    QList<Answer> m_answers;
    QStringList m_unexpected;
    QElapsedTimer m_sinceAnswer;
    QWidget* m_answering = nullptr;
};
