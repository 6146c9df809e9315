#include "program_driver.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QTableView>
#include <QTest>

#include "bench_files.h"
#include "error.h"
#include "phone_edit.h"
#include "phone_text.h"

// Counts the paints of a widget, to show that the grid really redraws as it is driven.
class PaintCounter : public QObject {
public:
    using QObject::QObject;
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

namespace {

template <class T>
T* control(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw Error(QStringLiteral("the main window has no %1").arg(QString::fromLatin1(name)));
    return found;
}

}  // namespace

ProgramDriver::ProgramDriver(const QString& connectionString)
    : m_program(startProgram(connectionString)) {
    if (!QTest::qWaitForWindowExposed(&window()))
        throw Error(QStringLiteral("the main window was never shown"));
    checkWindows("start-up");
    m_grid = control<QTableView>(window(), "DBGrid1");
    m_paints = new PaintCounter(m_grid);
    m_grid->viewport()->installEventFilter(m_paints);
    idle();
}

void ProgramDriver::fillSearch(const SearchFields& fields) {
    auto* phone = control<PhoneEdit>(window(), "telin");
    if (!fields.phoneDigits.isEmpty()) {
        phone->setFocus();
        phone->setCursorPosition(0);
        QTest::keyClicks(phone, fields.phoneDigits);
        if (PhoneToDigits(phone->maskedText()) != fields.phoneDigits)
            throw Error(QStringLiteral("typing %1 into the phone input gave %2")
                            .arg(fields.phoneDigits, phone->maskedText()));
    }
    const std::pair<const char*, const QString*> combos[] = {{"Edit1", &fields.surname},
                                                             {"Edit2", &fields.street},
                                                             {"Edit3", &fields.house},
                                                             {"Edit4", &fields.apartment}};
    for (const auto& [name, text] : combos)
        if (!text->isEmpty())
            control<QComboBox>(window(), name)->setEditText(*text);
}

void ProgramDriver::trigger(const char* action) {
    control<QAction>(window(), action)->trigger();
    checkWindows(action);
}

void ProgramDriver::checkWindows(const char* during) {
    QStringList problems;
    for (const SeenBox& box : m_modals.seen()) {
        if (!box.expected || box.type == u"QMessageBox")
            problems << (box.text.isEmpty() ? box.title
                                            : box.title + QStringLiteral(": ") + box.text);
    }
    if (m_modals.pending() > 0)
        problems << QStringLiteral("the expected dialog never opened");
    m_modals.clear();
    if (!problems.isEmpty())
        throw Error(QStringLiteral("%1: %2").arg(QString::fromUtf8(during),
                                                 problems.join(QStringLiteral("; "))));
}

void ProgramDriver::gridKey(int key) {
    QTest::keyClick(m_grid, Qt::Key(key));
}

void ProgramDriver::idle() {
    QCoreApplication::processEvents();
}

int ProgramDriver::gridRepaints() const {
    return m_paints->paints;
}
