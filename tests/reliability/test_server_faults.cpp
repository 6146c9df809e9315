// A directory on a server that goes away: restarted, its connection ended by an administrator,
// replaced by its standby, or not there at all at start-up. A read connects anew and runs
// once more without a message; a write that loses its connection fails with a message that
// names the server and says what happens next, keeps the user's entry as typed, and is saved
// once by the next try; nothing saved before is lost; the grid keeps what it showed.
#include <QLineEdit>
#include <QScopeGuard>

#include "program_on.h"
#include "test_directory.h"
#include "test_server.h"

namespace {

const TestEntry kSaved = cityEntry("11111", "Иванов И.И.", "Мира", "1", "1");
const TestEntry kPersonal{"22222", "Смирнов С.С.", "Лесная", "2", "2", "89001234567"};

enum class Fault { Restart, KilledConnection };

void inflict(Fault fault, TestDirectory& directory) {
    if (fault == Fault::Restart) {
        TestServer::instance().restart();
        return;
    }
    // pg_terminate_backend, as an administrator ends a session; it waits until the session
    // is gone.
    QCOMPARE(directory.query("SELECT count(*) FILTER (WHERE pg_terminate_backend(pid, 10000)) "
                             "FROM pg_stat_activity WHERE application_name = 'telspr'"),
             QStringLiteral("1"));
}

QString serverNamed(const TestServer& server) {
    return QStringLiteral("сервер «127.0.0.1:%1»").arg(server.port());
}

void verifyOneLostConnection(const QStringList& errors, const QString& server) {
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains(server + QStringLiteral(", база данных")), qPrintable(errors[0]));
    QVERIFY2(errors[0].contains(u"подключится к серверу заново"), qPrintable(errors[0]));
}

// An entry typed into the add dialog (which adds to the directory shown) and saved with OK.
void addEntry(ProgramOn& p, const QString& surname) {
    p.openAddDialog();
    p.typeInto("telin", QStringLiteral("33333"));
    p.typeInto("Edit1", surname);
    p.pressAddOk();
}

TestEntry added(const QString& surname) {
    return cityEntry("33333", surname, "", "", "");
}

QStringList surnamesShown(ProgramOn& p) {
    QStringList surnames;
    for (int row = 0; row < p.grid()->model()->rowCount(); ++row)
        surnames << p.cell(row, 1);
    return surnames;
}

}  // namespace

Q_DECLARE_METATYPE(Fault)

class ServerFaultsTest : public QObject {
    Q_OBJECT

    // The faults, each row once per read when `personal` says which.
    static void faults(bool withReads) {
        QTest::addColumn<Fault>("fault");
        if (withReads)
            QTest::addColumn<bool>("personal");
        for (const bool personal : {false, true}) {
            if (personal && !withReads)
                break;
            const char* read = !withReads ? "" : personal ? ", personal view" : ", search";
            for (const Fault fault : {Fault::Restart, Fault::KilledConnection}) {
                QTestData& row = QTest::addRow(
                    "%s%s", fault == Fault::Restart ? "server restarted" : "connection killed",
                    read);
                row << fault;
                if (withReads)
                    row << personal;
            }
        }
    }

private slots:
    void aReadAfterAFaultShowsNoMessageAndASaveFollows_data() { faults(true); }
    void aReadAfterAFaultShowsNoMessageAndASaveFollows() {
        QFETCH(Fault, fault);
        QFETCH(bool, personal);
        TestDirectory directory;
        directory.addCity(kSaved);
        directory.addPersonal(kPersonal);
        ProgramOn p(directory.connectionString());
        p.searchAll();
        inflict(fault, directory);
        if (personal)
            p.run(QStringLiteral("lich"));
        else
            p.searchAll();
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(surnamesShown(p), QStringList{personal ? *kPersonal.fam : *kSaved.fam});

        addEntry(p, QStringLiteral("Петров П.П."));
        QCOMPARE(p.takeErrors(), QStringList());
        if (personal)
            QCOMPARE(
                directory.personal(),
                QList<TestEntry>({kPersonal, TestEntry{"33333", "Петров П.П.", "", "", "", ""}}));
        else
            QCOMPARE(directory.city(), QList<TestEntry>({kSaved, added("Петров П.П.")}));
    }

    void anEntryAddedAcrossAFaultIsKeptAndSavedOnce_data() { faults(false); }
    void anEntryAddedAcrossAFaultIsKeptAndSavedOnce() {
        QFETCH(Fault, fault);
        TestDirectory directory;
        directory.addCity(kSaved);
        ProgramOn p(directory.connectionString());
        p.searchAll();
        p.openAddDialog();
        p.typeInto("Edit1", QStringLiteral("Петров П.П."));
        p.typeInto("Edit2", QStringLiteral("Лесная"));
        inflict(fault, directory);
        p.pressAddOk();  // a write is not repeated by itself
        verifyOneLostConnection(p.takeErrors(), serverNamed(TestServer::instance()));
        QVERIFY(p.program.addform->isVisible());
        QCOMPARE(static_cast<QLineEdit*>(p.addDialogInput("Edit1"))->text(), "Петров П.П.");
        QCOMPARE(directory.city(), QList<TestEntry>{kSaved});

        p.pressAddOk();  // the next operation connects anew
        QCOMPARE(p.takeErrors(), QStringList());
        QVERIFY(!p.program.addform->isVisible());
        QCOMPARE(directory.city(),
                 QList<TestEntry>({kSaved, cityEntry("", "Петров П.П.", "Лесная", "", "")}));
    }

    void aStandbyTakesOverAndNothingAcknowledgedIsLost() {
        // Synchronous replication: the primary acknowledges a commit only once the standby
        // has it, so an entry the program was told is saved survives the primary's sudden end.
        TestServer primary({.settings = {"synchronous_standby_names=*", "synchronous_commit=on"}});
        TestServer standby({.standbyOf = &primary});
        TestDirectory directory(primary);
        directory.addCity(kSaved);
        ProgramOn p(directory.connectionString());
        p.searchAll();
        addEntry(p, QStringLiteral("Петров П.П."));
        QCOMPARE(p.takeErrors(), QStringList());

        primary.crash();
        standby.promote();
        p.searchAll();
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(surnamesShown(p), QStringList({"Иванов И.И.", "Петров П.П."}));
        addEntry(p, QStringLiteral("Сидоров С.С."));
        QCOMPARE(p.takeErrors(), QStringList());
        // Read from the new primary.
        QCOMPARE(directory.city(),
                 QList<TestEntry>({kSaved, added("Петров П.П."), added("Сидоров С.С.")}));

        // Messages name the server connected to, or every server when none answers; the
        // grid keeps what it showed.
        standby.stop();
        const auto again = qScopeGuard([&] { standby.start(); });  // to drop the directory
        addEntry(p, QStringLiteral("Кузнецов К.К."));
        verifyOneLostConnection(p.takeErrors(), serverNamed(standby));
        p.searchAll();
        const QStringList errors = p.takeErrors();
        QCOMPARE(errors.size(), 1);
        const QString both = QStringLiteral("серверы «127.0.0.1:%1, 127.0.0.1:%2»")
                                 .arg(primary.port())
                                 .arg(standby.port());
        QVERIFY2(errors[0].contains(both), qPrintable(errors[0]));
        // The entry that could not be saved is still there to be saved.
        QCOMPARE(surnamesShown(p),
                 QStringList({"Иванов И.И.", "Петров П.П.", "Сидоров С.С.", "Кузнецов К.К."}));
    }

    void aServerNotThereAtStartIsReportedAndTheWindowOpens() {
        TestDirectory directory;
        QString unreachable = directory.connectionString();
        const QString port = QString::number(TestServer::instance().port());
        unreachable.replace(u':' + port + u'/', QStringLiteral(":1/"));
        ProgramOn p(unreachable);
        // As for a missing file: the connection and the city directory each report it.
        const QStringList errors = p.takeErrors();
        QVERIFY(!errors.isEmpty());
        for (const QString& error : errors)
            QVERIFY2(error.startsWith(u"Не удалось подключиться к справочнику (сервер "
                                      u"«127.0.0.1:1», база данных «directories»): сервер не "
                                      u"отвечает по этому адресу"),
                     qPrintable(error));
        QVERIFY(p.main().isVisible());
        p.searchAll();  // still reported, still running
        QCOMPARE(p.takeErrors().size(), 1);
    }
};

QTEST_MAIN(ServerFaultsTest)
#include "test_server_faults.moc"
