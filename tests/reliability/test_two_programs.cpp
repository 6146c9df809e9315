// Two programs on one directory file, each a real process working through the program's
// own data sets: edits of the same entry, of different entries, a delete of an entry the
// other is editing, new entries from both, and a writer holding a long write lock. Nothing
// may be overwritten without notice and no saved entry may be lost.
#include <QElapsedTimer>
#include <QSet>
#include <QTest>

#include "agent_process.h"
#include "test_directory.h"

class TwoProgramsTest : public QObject {
    Q_OBJECT

    int m_conflicts = 0;  // second saves refused, over all cases

    // The message of a save or delete that must be refused because of the other program.
    void expectConflict(AgentProcess& agent, const QString& command, const QString& part) {
        const QString message = agent.error(command);
        QVERIFY2(message.contains(part), qPrintable(message));
        ++m_conflicts;
    }

private slots:
    void cleanupTestCase() {
        // Each case also checks the file after the refusal: nothing of a refused save reached it.
        qInfo("conflicting saves and deletes refused: %d", m_conflicts);
    }

    void editsOfTheSameEntryKeepTheFirstAndRefuseTheSecond_data() {
        QTest::addColumn<QString>("secondField");
        QTest::newRow("same field") << "fam";
        QTest::newRow("another field") << "kv";
        QTest::newRow("personal directory") << "mob";
    }
    void editsOfTheSameEntryKeepTheFirstAndRefuseTheSecond() {
        QFETCH(QString, secondField);
        const bool personal = secondField == u"mob";
        TestDirectory file;
        const TestEntry entry{"11111", "Иванов", "Мира", "1", "1", "+7 900"};
        personal ? file.addPersonal(entry) : file.addCity(entry);
        const QString view = personal ? "personal" : "city";
        AgentProcess first(file.connectionString()), second(file.connectionString());
        for (AgentProcess* agent : {&first, &second}) {
            QCOMPARE(agent->ok(view), "1");
            agent->ok("edit");  // both have the entry open before either saves
        }
        first.ok("set fam Первый");
        first.ok("post");
        second.ok("set " + secondField + " 2-й");
        expectConflict(second, "post", "изменена другой программой");
        // The refused change stays on screen for the user, and nothing of it reached the file.
        QCOMPARE(second.ok("get " + secondField), "2-й");
        const TestEntry stored = personal ? file.personal()[0] : file.city()[0];
        QCOMPARE(stored.fam, Value("Первый"));
        QCOMPARE(stored.kv, Value("1"));
        QCOMPARE(stored.mob, personal ? Value("+7 900") : Value());
        // Searching again shows the first program's change; then the second can save its own.
        second.ok("cancel");
        second.ok(view);
        QCOMPARE(second.ok("get fam"), "Первый");
        second.ok("edit");
        second.ok("set " + secondField + " 2-й");
        second.ok("post");
        const TestEntry after = personal ? file.personal()[0] : file.city()[0];
        QCOMPARE(after.fam, Value(secondField == u"fam" ? "2-й" : "Первый"));
    }

    void editsOfDifferentEntriesAreBothSaved() {
        TestDirectory file;
        file.addCity(cityEntry("11111", "Иванов", "Мира", "1", "1"));
        file.addCity(cityEntry("22222", "Петров", "Мира", "2", "2"));
        AgentProcess first(file.connectionString()), second(file.connectionString());
        first.ok("city");
        second.ok("city");
        first.ok("find tel 11111");
        second.ok("find tel 22222");
        first.ok("edit");
        second.ok("edit");
        first.ok("set ul Садовая");
        second.ok("set ul Лесная");
        first.ok("post");
        second.ok("post");
        QCOMPARE(file.city()[0].ul, Value("Садовая"));
        QCOMPARE(file.city()[1].ul, Value("Лесная"));
        QCOMPARE(file.city()[1].fam, Value("Петров"));
    }

    void anEntryDeletedByTheOtherCannotBeSaved() {
        TestDirectory file;
        file.addPersonal({"11111", "Иванов", "Мира", "1", "1", "+7 900"});
        file.addPersonal({"22222", "Петров", "Мира", "2", "2", ""});
        AgentProcess editor(file.connectionString()), remover(file.connectionString());
        editor.ok("personal");
        remover.ok("personal");
        editor.ok("edit");
        editor.ok("set mob +7 911");
        remover.ok("remove");
        expectConflict(editor, "post", "удалена другой программой");
        expectConflict(editor, "remove", "удалена другой программой");
        QCOMPARE(file.personal().size(), 1);
        QCOMPARE(file.personal()[0].fam, Value("Петров"));
    }

    void anEntryChangedByTheOtherIsNotDeleted() {
        TestDirectory file;
        file.addCity(cityEntry("11111", "Иванов", "Мира", "1", "1"));
        AgentProcess editor(file.connectionString()), remover(file.connectionString());
        editor.ok("city");
        remover.ok("city");
        editor.ok("edit");
        editor.ok("set kv 7");
        editor.ok("post");
        expectConflict(remover, "remove", "не удалена");
        QCOMPARE(file.city().size(), 1);
        QCOMPARE(file.city()[0].kv, Value("7"));
    }

    void newEntriesFromBothAreAllKeptUnderDistinctKeys() {
        TestDirectory file;
        AgentProcess first(file.connectionString()), second(file.connectionString());
        first.ok("city");
        second.ok("city");
        QSet<QString> keys;
        QStringList phones;
        for (int i = 0; i < 10; ++i) {
            for (AgentProcess* agent : {&first, &second}) {
                const QString phone = QStringLiteral("%1%2").arg(agent == &first ? 1 : 2).arg(i);
                agent->ok("append");
                agent->ok("set tel " + phone);
                agent->ok("set fam Абонент " + phone);
                const QString key = agent->ok("post");
                QVERIFY2(key.startsWith(u"key="), qPrintable(key));
                keys.insert(key);
                phones << phone;
            }
        }
        QCOMPARE(keys.size(), 20);
        const QList<TestEntry> stored = file.city();
        QCOMPARE(stored.size(), 20);
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(stored[i].tel, Value(phones[i]));
            QCOMPARE(stored[i].fam, Value("Абонент " + phones[i]));
        }
        QCOMPARE(first.ok("city"), "20");
    }

    void aLongWriteLockGivesABusyErrorAndTheEntryIsSavedLater_data() {
        QTest::addColumn<QString>("lock");
        QTest::newRow("writer with a reserved lock") << "lock";
        QTest::newRow("writer with an exclusive lock") << "lock exclusive";
    }
    void aLongWriteLockGivesABusyErrorAndTheEntryIsSavedLater() {
        QFETCH(QString, lock);
        TestDirectory file;
        file.addPersonal({"11111", "Иванов", "Мира", "1", "1", ""});
        AgentProcess writer(file.connectionString()), user(file.connectionString());
        user.ok("personal");
        writer.ok(lock);
        user.ok("edit");
        user.ok("set mob +7 922");
        QElapsedTimer waited;
        waited.start();
        const QString message = user.error("post");
        qInfo("busy error after %lld ms: %s", waited.elapsed(), qPrintable(message));
        QVERIFY2(message.contains(u"занята другой программой"), qPrintable(message));
        QCOMPARE(user.ok("get mob"), "+7 922");  // the entry stays as typed, unsaved
        if (lock == u"lock exclusive") {
            // Readers are kept out too: a new search fails the same way and changes nothing.
            QVERIFY(user.ask("city").contains(u"занята"));
        }
        writer.ok("unlock");
        user.ok("post");
        QCOMPARE(file.personal()[0].mob, Value("+7 922"));
        QCOMPARE(file.personal().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TwoProgramsTest)
#include "test_two_programs.moc"
