// A directory on a server that goes away: restarted while an entry is being added or a
// search is due, or not there at all at start-up. The operation under way fails with a
// message that names the server and says what happens next; the user's entry stays as typed;
// the next operation connects anew and saves it once; nothing saved before is lost.
#include <QLineEdit>

#include "program_on.h"
#include "test_directory.h"
#include "test_server.h"

namespace {

const TestEntry kSaved = cityEntry("11111", "Иванов И.И.", "Мира", "1", "1");

// The server as every message names it.
QString serverNamed() {
    return QStringLiteral("сервер «127.0.0.1:%1»").arg(TestServer::instance().port());
}

void verifyOneLostConnection(const QStringList& errors) {
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains(serverNamed()), qPrintable(errors[0]));
    QVERIFY2(errors[0].contains(u"подключится к серверу заново"), qPrintable(errors[0]));
}

}  // namespace

class ServerFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void anEntryAddedAcrossARestartIsKeptAndSavedOnce() {
        TestDirectory directory;
        directory.addCity(kSaved);
        ProgramOn p(directory.connectionString());
        p.searchAll();
        p.openAddDialog();
        p.typeInto("Edit1", QStringLiteral("Петров П.П."));
        p.typeInto("Edit2", QStringLiteral("Лесная"));
        TestServer::instance().restart();
        p.pressAddOk();
        verifyOneLostConnection(p.takeErrors());
        QVERIFY(p.program.addform->isVisible());
        QCOMPARE(static_cast<QLineEdit*>(p.addDialogInput("Edit1"))->text(), "Петров П.П.");
        QCOMPARE(directory.city(), QList<TestEntry>{kSaved});

        p.pressAddOk();  // the next operation connects anew
        QCOMPARE(p.takeErrors(), QStringList());
        QVERIFY(!p.program.addform->isVisible());
        QCOMPARE(directory.city(),
                 QList<TestEntry>({kSaved, cityEntry("", "Петров П.П.", "Лесная", "", "")}));
    }

    void aSearchAfterARestartFailsOnceThenFindsEverything() {
        TestDirectory directory;
        directory.addCity(kSaved);
        ProgramOn p(directory.connectionString());
        p.searchAll();
        TestServer::instance().restart();
        p.searchAll();
        verifyOneLostConnection(p.takeErrors());
        p.searchAll();
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(p.cell(0, 1), QStringLiteral("Иванов И.И."));
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
