#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QString>
#include <functional>

#include "listing_walk.h"

// Shows how far a long output has come, in a modal progress dialog with a cancel button, and
// lets the window repaint meanwhile. The dialog appears only once the work has run for
// `delayMs`: a short export shows nothing.
class OutputProgress : public WalkProgress {
public:
    OutputProgress(QWidget* window, const QString& title, int delayMs);

    bool advance(int done, int total) override;
    bool cancelled() const { return m_dialog.wasCanceled(); }

    // Runs `work` on a thread of its own and waits for it with the window answering, the
    // dialog saying `label`; an error of the work is thrown here. It cannot be cancelled
    // halfway: a cancel asked for meanwhile counts once the work is done.
    void runAside(const QString& label, const std::function<void()>& work);

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_sinceUpdate;
};
