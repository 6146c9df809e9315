// Exports that cannot be written: the HTML file into a read-only folder or over a read-only
// file, onto a full disk, under awkward names; the spreadsheet into a read-only or full
// temporary folder; a print job that cannot start. Each gives a clear error, reports no
// success, and leaves no file that looks complete (an old file it was to replace stays as it
// was).
#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

#include "file_guards.h"
#include "program_on.h"
#include "sqlite/schema.h"
#include "test_directory.h"

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
}

// Sets an environment variable for the lifetime of the object.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, const QByteArray& value)
        : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~EnvironmentOverride() { m_had ? qputenv(m_name, m_old) : qunsetenv(m_name); }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

}  // namespace

class FailingExportsTest : public QObject {
    Q_OBJECT

    // A directory file with enough entries that no export fits into a few bytes.
    static void fillDirectory(TestDirectory& file) {
        file.exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500)"
            " INSERT INTO tel (tel, fam, ul, dom, kv) SELECT printf('%05d', i),"
            " 'Абонент ' || i, 'Улица ' || (i % 17), i % 50, i % 90 FROM n"));
    }

    // Runs the HTML export into `path` and returns the error reports it gave.
    static QStringList exportHtml(ProgramOn& p, const QString& path, bool replace = false) {
        p.boxes.saveAs(path);
        if (replace)
            p.boxes.press(QMessageBox::Yes);  // "replace the file?"
        p.run(QStringLiteral("Html"));
        return p.takeErrors();
    }

    static void verifyOneError(const QStringList& errors, const QString& part, const char* what) {
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(part), qPrintable(errors[0]));
        // The cause, after the last colon and before a library's own words in brackets, is
        // told in Russian.
        static const QRegularExpression russian(QStringLiteral("[а-яё]{3}"));
        QVERIFY2(errors[0].section(u':', -1).section(u'(', 0, 0).contains(russian),
                 qPrintable(errors[0]));
        qInfo("%s: %s", what, qPrintable(errors[0]));
    }

private slots:
    void htmlIntoAReadOnlyFolderOrOverAReadOnlyFileFails_data() {
        QTest::addColumn<bool>("oldFile");
        QTest::addColumn<bool>("fileOnly");
        QTest::newRow("new file in a read-only folder") << false << false;
        QTest::newRow("replacing a file in a read-only folder") << true << false;
        QTest::newRow("replacing a read-only file") << true << true;
    }
    void htmlIntoAReadOnlyFolderOrOverAReadOnlyFileFails() {
        QFETCH(bool, oldFile);
        QFETCH(bool, fileOnly);
        TestDirectory file;
        fillDirectory(file);
        QTemporaryDir target;
        const QString path = target.filePath(QStringLiteral("список.html"));
        const QByteArray old = "<html>an earlier export</html>";
        if (oldFile) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        const QStringList before = entriesOf(target.path());
        ProgramOn p(file.connectionString());
        p.searchAll();
        ReadOnlyGuard guard(fileOnly ? path : target.path());
        if (!guard.active())
            QSKIP(qPrintable(guard.why()));
        verifyOneError(exportHtml(p, path, oldFile), "Не удалось", "read-only");
        QCOMPARE(entriesOf(target.path()), before);
        QCOMPARE(contentOf(path), oldFile ? old : QByteArray());
    }

    void htmlOnAFullDiskFailsAndLeavesNothingHalfWritten_data() {
        QTest::addColumn<bool>("oldFile");
        QTest::newRow("new file") << false;
        QTest::newRow("replacing a file") << true;
    }
    void htmlOnAFullDiskFailsAndLeavesNothingHalfWritten() {
        QFETCH(bool, oldFile);
        SmallDisk disk(256);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.why()));
        TestDirectory file;
        fillDirectory(file);
        const QString path = disk.folder() + QStringLiteral("/список.html");
        const QByteArray old = "<html>an earlier export</html>";
        if (oldFile) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        disk.fill();
        const QStringList before = entriesOf(disk.folder());
        ProgramOn p(file.connectionString());
        p.searchAll();
        verifyOneError(exportHtml(p, path, oldFile), "Не удалось записать файл", "full disk");
        QCOMPARE(entriesOf(disk.folder()), before);
        QCOMPARE(contentOf(path), oldFile ? old : QByteArray());

        disk.release();  // with room again the same export succeeds
        QCOMPARE(exportHtml(p, path, oldFile), QStringList());
        QVERIFY(contentOf(path).endsWith("</table>\r\n</body>\r\n</html>\r\n"));
    }

    void htmlUnderAwkwardNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");  // the file made; empty: an error instead
        for (const char* name :
             {"список абонентов", "O'Brien и сыновья", "50% & #1; $HOME", "-начало с дефиса",
              "a.b.c", "😀 смайлы", "  пробелы  ", "строка\nперевод", "обратная\\черта"})
            QTest::addRow("%s", name)
                << QString::fromUtf8(name) << QString::fromUtf8(name) + ".html";
        QTest::newRow("already .HTML") << "Отчёт.HTML"
                                       << "Отчёт.HTML";
        // Within the dialog's 255 characters, but 400 bytes where the system allows 255.
        QTest::newRow("200 Cyrillic letters") << QString(200, u'ж') << QString();
    }
    void htmlUnderAwkwardNames() {
        QFETCH(QString, name);
        QFETCH(QString, written);
        TestDirectory file;
        fillDirectory(file);
        QTemporaryDir target;
        ProgramOn p(file.connectionString());
        p.searchAll();
        const QStringList errors = exportHtml(p, target.filePath(name));
        if (written.isEmpty()) {
            verifyOneError(errors, "File name too long", "name too long");
            QCOMPARE(entriesOf(target.path()), QStringList());
            return;
        }
        QCOMPARE(errors, QStringList());
        QCOMPARE(entriesOf(target.path()), QStringList{written});
        const QByteArray html = contentOf(target.filePath(written));
        QVERIFY(html.endsWith("</table>\r\n</body>\r\n</html>\r\n"));
        QCOMPARE(html.count("<tr>\r\n"), 501);  // the header and every entry
    }

    void spreadsheetIntoAnUnwritableTemporaryFolderFails_data() {
        QTest::addColumn<bool>("full");
        QTest::newRow("read-only temporary folder") << false;
        QTest::newRow("full temporary folder") << true;
    }
    void spreadsheetIntoAnUnwritableTemporaryFolderFails() {
        QFETCH(bool, full);
        TestDirectory file;
        fillDirectory(file);
        ProgramOn p(file.connectionString());
        p.searchAll();
        QStringList opened;
        p.main().spreadsheetAvailable = [] { return true; };
        p.main().openSpreadsheet = [&](const QString& path) { opened << path; };

        SmallDisk disk(256);
        QTemporaryDir readOnly;
        std::optional<ReadOnlyGuard> guard;
        if (full) {
            if (!disk.mounted())
                QSKIP(qPrintable(disk.why()));
            disk.fill();
        } else {
            guard.emplace(readOnly.path());
            if (!guard->active())
                QSKIP(qPrintable(guard->why()));
        }
        const QString temporary = full ? disk.folder() : readOnly.path();
        const QStringList before = entriesOf(temporary);
        {
            EnvironmentOverride tmpdir("TMPDIR", QFile::encodeName(temporary));
            p.run(QStringLiteral("Excel"));
        }
        verifyOneError(p.takeErrors(), "Не удалось", full ? "spreadsheet, full" : "spreadsheet");
        QCOMPARE(opened, QStringList());  // no spreadsheet program is handed anything
        // Nothing is left behind, not even the export's own folder.
        QCOMPARE(entriesOf(temporary), before);
    }

    // The job starts before the listing moves: a job that cannot start leaves the cursor where
    // it was and the entry being edited unsaved, with the user's values.
    void aPrintJobThatCannotStartLeavesTheCursorAndTheEdit() {
        TestDirectory file;
        fillDirectory(file);
        ProgramOn p(file.connectionString());
        p.searchAll();
        DataSet& tel = p.main().directory().tel;
        tel.moveTo(7);
        tel.edit();
        tel.setFieldValue(u"kv", QStringLiteral("77"));
        QTemporaryDir folder;
        const QString pdf = folder.filePath(QStringLiteral("нет такой папки/список.pdf"));
        QPrinter* printer = p.widget<QPrintDialog>(QStringLiteral("PrintDialog1"))->printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        p.boxes.printTo(pdf);
        p.run(QStringLiteral("print"));
        verifyOneError(p.takeErrors(), "Не удалось начать печать", "print");
        QCOMPARE(tel.currentIndex(), 7);
        QCOMPARE(tel.state(), DataSet::State::Edit);
        QCOMPARE(tel.fieldValue(u"kv"), Value("77"));
        QVERIFY(file.city()[7].kv != Value("77"));
    }
};

QTEST_MAIN(FailingExportsTest)
#include "test_failing_exports.moc"
