#include "output_progress.h"

#include <QCoreApplication>
#include <chrono>
#include <future>

namespace {

constexpr auto kRepaintInterval = std::chrono::milliseconds(50);
// A shown dialog is told of the walk this often at most: each time it repaints and lets the
// events through, which, done for every few thousand entries of a million, cost as much as
// the export itself.
constexpr qint64 kUpdateIntervalMs = 50;

}  // namespace

OutputProgress::OutputProgress(QWidget* window, const QString& title, int delayMs)
    : m_dialog(window) {
    m_dialog.setObjectName(QStringLiteral("outputProgress"));
    m_dialog.setWindowTitle(title);
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setCancelButtonText(QStringLiteral("Отмена"));
    m_dialog.setMinimumDuration(delayMs);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
    m_dialog.setLabelText(QStringLiteral("Подготовка..."));
}

bool OutputProgress::advance(int done, int total) {
    const bool shown = m_dialog.isVisible();
    if (shown && done < total && m_sinceUpdate.elapsed() < kUpdateIntervalMs)
        return !m_dialog.wasCanceled();
    m_sinceUpdate.start();
    m_dialog.setMaximum(total);
    m_dialog.setLabelText(QStringLiteral("Записано %1 из %2").arg(done).arg(total));
    // Once shown, a modal dialog's setValue() lets the events through: repaints, and the
    // cancel button. The call that shows it does not; the dialog is painted at once here.
    m_dialog.setValue(done);
    if (!shown && m_dialog.isVisible())
        QCoreApplication::processEvents();
    return !m_dialog.wasCanceled();
}

void OutputProgress::runAside(const QString& label, const std::function<void()>& work) {
    m_dialog.setLabelText(label);
    m_dialog.setRange(0, 0);  // no steps to count: the bar just shows that work goes on
    std::future<void> running = std::async(std::launch::async, work);
    while (running.wait_for(kRepaintInterval) != std::future_status::ready) {
        m_dialog.setValue(0);
        QCoreApplication::processEvents();
    }
    running.get();
}
