#pragma once

#include <QAction>
#include <QTest>

#include "modal_answerer.h"
#include "startup.h"

// The real program started in-process, its widgets and commands found by their names and its
// modal boxes answered by the test. The derived fixtures prepare the file, then start().
class ProgramUnderTest {
public:
    Tmainform& main() { return *program.mainform; }

    template <class T = QWidget>
    T* widget(const QString& name) {
        T* w = program.mainform->findChild<T*>(name);
        if (!w)
            QTest::qFail(qPrintable("no widget " + name), __FILE__, __LINE__);
        return w;
    }
    QAction* action(const QString& name) { return widget<QAction>(name); }
    void run(const QString& command) { action(command)->trigger(); }

    ModalAnswerer boxes;
    Program program;

protected:
    void start(const QString& connectionString) {
        program = startProgram(connectionString);
        QVERIFY(QTest::qWaitForWindowExposed(program.mainform.get()));
    }
};
