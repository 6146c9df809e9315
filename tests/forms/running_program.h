#pragma once

#include <QAction>
#include <QTest>
#include <memory>

#include "modal_answerer.h"
#include "startup.h"
#include "test_directory.h"

// The real program started in-process on a directory file of the test's own, with its modal
// boxes answered by the test.
class RunningProgram {
public:
    explicit RunningProgram(const QList<TestEntry>& city = {},
                            const QList<TestEntry>& personal = {}) {
        for (const TestEntry& e : city)
            file.addCity(e);
        for (const TestEntry& e : personal)
            file.addPersonal(e);
        program = startProgram(file.connectionString());
        QVERIFY(QTest::qWaitForWindowExposed(program.mainform.get()));
    }

    Tmainform& main() { return *program.mainform; }

    template <class T = QWidget>
    T* widget(const QString& name) {
        T* w = program.mainform->findChild<T*>(name);
        if (!w)
            QTest::qFail(qPrintable("no widget " + name), __FILE__, __LINE__);
        return w;
    }
    QAction* action(const QString& name) { return widget<QAction>(name); }
    int imageIndex(const QString& barItem) {
        return action(barItem)->property("imageIndex").toInt();
    }
    QStringList panels() {
        return widget<QWidget>("StatusBar1")->property("panels").toStringList();
    }
    int gridOptions() { return widget<QWidget>("DBGrid1")->property("options").toInt(); }
    void run(const QString& command) { action(command)->trigger(); }

    TestDirectory file;
    Program program;
    ModalAnswerer boxes;
};
