#pragma once

#include "program_under_test.h"
#include "test_directory.h"

// The real program started in-process on a directory file of the test's own, as its owner
// or as a user who may only read it.
class RunningProgram : public ProgramUnderTest {
public:
    enum class User { Owner, Reader };

    explicit RunningProgram(const QList<TestEntry>& city = {},
                            const QList<TestEntry>& personal = {}, User user = User::Owner) {
        for (const TestEntry& e : city)
            file.addCity(e);
        for (const TestEntry& e : personal)
            file.addPersonal(e);
        start(user == User::Owner ? file.connectionString() : file.readerConnectionString());
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
