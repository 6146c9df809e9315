#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "spreadsheet_app.h"

using namespace Qt::StringLiterals;

// Each case lays out its own programs in an empty folder and makes that folder the whole
// PATH, so that what the machine has installed does not matter.
class TestSpreadsheetApp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void nothingInstalled();
    void registeredHandler();
    void noRegisteredHandler();
    void failingQuery();
    void knownProgramOnPath_data();
    void knownProgramOnPath();
    void hangingQueryTimesOut();

private:
    void addProgram(const QString& name, const QByteArray& script);

    QTemporaryDir* m_bin = nullptr;
    QByteArray m_oldPath;
};

void TestSpreadsheetApp::init() {
    m_oldPath = qgetenv("PATH");
    m_bin = new QTemporaryDir;
    qputenv("PATH", QFile::encodeName(m_bin->path()));
}

void TestSpreadsheetApp::cleanup() {
    qputenv("PATH", m_oldPath);
    delete m_bin;
    m_bin = nullptr;
}

void TestSpreadsheetApp::addProgram(const QString& name, const QByteArray& script) {
    QFile file(m_bin->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + script + "\n");
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestSpreadsheetApp::nothingInstalled() {
    QVERIFY(!spreadsheetApplicationAvailable());
}

void TestSpreadsheetApp::registeredHandler() {
    addProgram(u"xdg-mime"_s,
               "[ \"$1 $2 $3\" = 'query default "
               "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet' ] && "
               "echo libreoffice-calc.desktop");
    addProgram(u"gnumeric"_s, "exit 0");
    QVERIFY(spreadsheetApplicationAvailable());
    // The desktop's own choice comes before a program found on PATH.
    QCOMPARE(findSpreadsheetOpener().kind, SpreadsheetOpener::Kind::Desktop);
}

void TestSpreadsheetApp::noRegisteredHandler() {
    addProgram(u"xdg-mime"_s, "echo; echo '  '");
    QVERIFY(!spreadsheetApplicationAvailable());
}

void TestSpreadsheetApp::failingQuery() {
    addProgram(u"xdg-mime"_s, "echo libreoffice-calc.desktop; exit 3");
    QVERIFY(!spreadsheetApplicationAvailable());
}

void TestSpreadsheetApp::knownProgramOnPath_data() {
    QTest::addColumn<QString>("program");
    for (const char* name : {"libreoffice", "localc", "soffice", "gnumeric",
                             "onlyoffice-desktopeditors", "calligrasheets", "et"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void TestSpreadsheetApp::knownProgramOnPath() {
    QFETCH(QString, program);
    addProgram(u"xdg-mime"_s, "exit 0");
    addProgram(program, "exit 0");
    QVERIFY(spreadsheetApplicationAvailable());
    const SpreadsheetOpener opener = findSpreadsheetOpener();
    QCOMPARE(opener.kind, SpreadsheetOpener::Kind::Program);
    QCOMPARE(opener.program, m_bin->filePath(program));
}

void TestSpreadsheetApp::hangingQueryTimesOut() {
    addProgram(u"xdg-mime"_s, "exec /bin/sleep 60");
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!spreadsheetApplicationAvailable());
    QVERIFY(timer.elapsed() < 10000);
}

QTEST_GUILESS_MAIN(TestSpreadsheetApp)
#include "test_spreadsheet_app.moc"
