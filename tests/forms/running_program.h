#pragma once

#include "program_under_test.h"
#include "test_directory.h"

// The real program started in-process on a directory file of the test's own.
class RunningProgram : public ProgramUnderTest {
public:
    explicit RunningProgram(const QList<TestEntry>& city = {},
                            const QList<TestEntry>& personal = {}) {
        for (const TestEntry& e : city)
            file.addCity(e);
        for (const TestEntry& e : personal)
            file.addPersonal(e);
        start(file.connectionString());
    }
    // The program ends before its file is taken away.
    ~RunningProgram() { program = Program(); }

    int imageIndex(const QString& barItem) {
        return action(barItem)->property("imageIndex").toInt();
    }
    QStringList panels() {
        return widget<QWidget>("StatusBar1")->property("panels").toStringList();
    }
    int gridOptions() { return widget<QWidget>("DBGrid1")->property("options").toInt(); }

    TestDirectory file;
};
