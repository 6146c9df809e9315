// The crash-trial check must see what it is there to see: a real killed post writer leaves a
// clean file, and an acknowledged entry removed or changed behind its back, an entry nobody
// posted, or damaged pages are each reported.
#include <sqlite3.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "crash_check.h"
#include "crash_run.h"
#include "sqlite/schema.h"

namespace {

// The keys of the acknowledged posts of one kind ("c" city, "p" personal) that made new
// entries, in the order they were saved.
QList<qint64> newKeys(const QByteArray& output, char table) {
    QList<qint64> keys;
    QByteArray pending;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() >= 4 && words[0] == "T")
            pending = words[2] == QByteArray(1, table) && words[3] == "I" ? words[1] : "";
        else if (words.size() == 3 && words[0] == "A" && words[1] == pending)
            keys << words[2].toLongLong();
    }
    return keys;
}

void sql(const QString& path, const char* statement) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    const int rc = sqlite3_exec(db, statement, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QCOMPARE(rc, SQLITE_OK);
}

}  // namespace

class CrashCheckTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    QString path;
    QByteArray output;

private slots:
    void init() {
        path = folder.filePath(QStringLiteral("tel.dll"));
        QFile::remove(path);
        QFile::remove(path + "-journal");
        initDatabase(path);
        output = runAndKill(path, 7, 60, 0);
    }

    void aKilledWriterLeavesEveryAcknowledgedPost() {
        const TrialCheck check = checkTrial(path, output);
        QVERIFY(check.acknowledged >= 60);
        QCOMPARE(check.lost, 0);
        QCOMPARE(check.unexpected, 0);
        QCOMPARE(check.integrity, QStringLiteral("ok"));
        QCOMPARE(check.programError, QString());
    }

    void aRemovedEntryIsLost() {
        const QList<qint64> keys = newKeys(output, 'p');
        QVERIFY(!keys.isEmpty());
        sql(path, qPrintable(QStringLiteral("DELETE FROM lich WHERE key = %1").arg(keys[0])));
        QVERIFY(checkTrial(path, output).lost >= 1);
    }

    void aChangedValueIsLost() {
        sql(path,
            "UPDATE tel SET fam = 'никто так не писал' WHERE key = (SELECT min(key) FROM tel)");
        QVERIFY(checkTrial(path, output).lost >= 1);
    }

    void anEntryNobodyPostedIsUnexpected() {
        sql(path, "INSERT INTO tel (tel, fam) VALUES ('1', 'лишний')");
        QCOMPARE(checkTrial(path, output).unexpected, 1);
    }

    void damagedPagesAreSeen() {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.size() > 4 * 4096);
        file.seek(2 * 4096);  // a page after the schema page
        file.write(QByteArray(4096, '\x55'));
        file.close();
        try {
            const TrialCheck check = checkTrial(path, output);
            QVERIFY2(check.integrity != QStringLiteral("ok"), qPrintable(check.integrity));
        } catch (const Error& e) {
            QVERIFY2(e.text().contains(u"повреждён"), qPrintable(e.text()));
        }
    }
};

QTEST_GUILESS_MAIN(CrashCheckTest)
#include "test_crash_check.moc"
