// The three outputs and the two dialogs as the main window runs them: HTML file, spreadsheet,
// printout, add-record and about.
#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "running_program.h"

namespace {

const QList<TestEntry> kCity = {
    cityEntry("12345", "Иванов И.И.", "Ленина", "10", {}),
    cityEntry("23456", "Петров П.П.", "Мира", "7/2", "15"),
    cityEntry("34567", "Абрамов А.А.", "Лесная", "2", "007"),
};
const QList<TestEntry> kPersonal = {
    {"11111", "Сидоров С.С.", "Садовая", "1", "1", "+7 900 111-11-11"},
    {"22222", "Белов Б.Б.", "Лесная", "2", "2", ""},
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject readSpreadsheet(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral(PYTHON3_PROGRAM),
                 {QStringLiteral(TEST_FIXTURES_DIR "/output/read_xlsx.py"), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        QTest::qFail(("read_xlsx.py failed: " + reader.readAllStandardError()).constData(),
                     __FILE__, __LINE__);
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

// The values of a row; a row the book lacks reads as one placeholder, so comparisons fail.
QStringList rowValues(const QJsonObject& book, int row) {
    if (row >= book["cells"].toArray().size())
        return {QStringLiteral("<no row %1>").arg(row)};
    QStringList values;
    for (const QJsonValue cell : book["cells"].toArray()[row].toArray())
        values << (cell.toArray()[0].isNull() ? QStringLiteral("<empty>")
                                              : cell.toArray()[0].toString());
    return values;
}

struct Word {
    QString text;
    double x, y;
};

// What pdftotext writes for a PDF file; empty when it did not run to a good end.
QString pdftotext(const QStringList& arguments) {
    QProcess process;
    process.start("pdftotext", arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The words of a PDF file with their places, as pdftotext finds them.
QList<Word> wordsOf(const QString& pdf) {
    const QString xml = pdftotext({"-bbox", pdf, "-"});
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    QList<Word> words;
    for (const auto& m : word.globalMatch(xml))
        words.append({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
    return words;
}

Word wordAt(const QList<Word>& words, const char* text) {
    for (const Word& w : words)
        if (w.text == QString::fromUtf8(text))
            return w;
    return {};
}

}  // namespace

class OutputWindowTest : public QObject {
    Q_OBJECT

    static void searchAll(RunningProgram& p) {
        p.widget<QComboBox>("Edit3")->setEditText("%");
        p.run("SearchAct");
    }
    static int current(RunningProgram& p) { return p.main().directory().shown().currentIndex(); }
    // Runs the print command with the print dialog answered: printing to the PDF file `pdf`;
    // `then` answers the windows that follow the print dialog.
    static void printToPdf(RunningProgram& p, const QString& pdf,
                           const ModalAnswerer::Answer& then = {}) {
        QPrinter* printer = p.widget<QPrintDialog>("PrintDialog1")->printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        p.boxes.printTo(pdf);
        if (then)
            p.boxes.expect(then);
        p.run("print");
    }

private slots:
    void htmlOfAnEmptyListingWarnsWithoutADialog() {
        RunningProgram p(kCity);
        p.run("Html");
        QCOMPARE(p.boxes.seen().size(), 1);
        QCOMPARE(p.boxes.seen()[0].text, QStringLiteral("Нет данных для экспорта"));
        QCOMPARE(p.boxes.seen()[0].title, QStringLiteral("Внимание!!"));
    }

    void htmlCancelledWritesNothingAndLeavesTheFirstEntryCurrent() {
        RunningProgram p(kCity);
        searchAll(p);
        p.main().directory().tel.moveTo(2);
        p.boxes.cancel();
        p.run("Html");
        QCOMPARE(p.boxes.seen().size(), 1);
        QCOMPARE(p.boxes.seen()[0].type, QStringLiteral("QFileDialog"));
        QCOMPARE(p.boxes.seen()[0].title, QStringLiteral("Экспорт в HTML"));
        QCOMPARE(current(p), 0);
        QVERIFY(QDir(p.file.folder()).entryList({"*.html"}).isEmpty());
    }

    void htmlExportWritesTheShownListing() {
        RunningProgram p(kCity, kPersonal);
        searchAll(p);
        p.run("byName");
        DataSet& tel = p.main().directory().tel;
        tel.edit();  // an edit in progress is saved by the export's move to the first entry
        tel.setFieldValue(u"kv", QStringLiteral("99"));
        const QString base = p.file.folder() + "/список";
        p.boxes.saveAs(base);
        p.run("Html");
        QCOMPARE(p.boxes.seen().size(), 1);  // no question about the changed entry
        const QByteArray html = readFile(base + ".html");
        QCOMPARE(html.count("\r\n"), 17 + 7 * 3 + 3);
        QVERIFY(html.endsWith("</html>\r\n"));
        const QList<QByteArray> lines = html.split('\n');
        QCOMPARE(
            lines[18],
            QByteArray("<th><span class=\"style4\">34567 </span></th>\r"));  // Абрамов comes first
        QCOMPARE(current(p), 2);  // the walk ends on the last entry
        QCOMPARE(p.file.city()[0].kv, Value("99"));

        p.run("lich");
        const QString personal = p.file.folder() + "/личный.HTML";  // already ending in .html: kept
        p.boxes.saveAs(personal);
        p.run("Html");
        QCOMPARE(readFile(personal).count("\r\n"), 18 + 8 * 2 + 3);
    }

    void htmlAsksBeforeReplacingAFile() {
        RunningProgram p(kCity);
        searchAll(p);
        const QString path = p.file.folder() + "/tel.html";
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        p.boxes.saveAs(p.file.folder() + "/tel");
        p.boxes.press(QMessageBox::No);
        p.run("Html");
        QCOMPARE(p.boxes.seen().size(), 2);
        QVERIFY(p.boxes.seen()[1].text.contains("tel.html"));
        QCOMPARE(readFile(path), QByteArray("old"));
        // The dialog offers the name confirmed last time.
        QString offered;
        p.boxes.expect([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            offered = dialog->selectedFiles().value(0);
            static_cast<QDialog*>(dialog)->accept();
        });
        p.boxes.press(QMessageBox::Yes);
        p.run("Html");
        QCOMPARE(QFileInfo(offered).fileName(), QStringLiteral("tel"));
        QVERIFY(readFile(path).startsWith("<html>\r\n"));
    }

    void htmlIntoAFolderThatIsNotThereReportsAndWritesNothing() {
        RunningProgram p(kCity);
        searchAll(p);
        p.boxes.saveAs(p.file.folder() + "/нет/такой/папки/tel");
        p.boxes.press(QMessageBox::Ok);
        p.run("Html");
        const SeenBox& report = p.boxes.seen().back();
        QCOMPARE(report.icon, QMessageBox::Critical);
        QVERIFY2(report.text.contains("tel.html"), qPrintable(report.text));
        QVERIFY(!QFile::exists(p.file.folder() + "/нет"));
    }

    void spreadsheetChecksForTheProgramFirst() {
        RunningProgram p(kCity);
        p.main().spreadsheetAvailable = [] { return false; };
        p.run("Excel");  // empty listing too: only the first refusal shows
        QCOMPARE(p.boxes.seen().size(), 1);
        QCOMPARE(p.boxes.seen()[0].text, QStringLiteral("MS Excel не установлен!"));
        p.main().spreadsheetAvailable = [] { return true; };
        p.run("Excel");
        QCOMPARE(p.boxes.seen().size(), 2);
        QCOMPARE(p.boxes.seen()[1].text, QStringLiteral("Нет данных для экспорта"));
    }

    void spreadsheetProgramOnPathOpensTheWorkbook() {
        // No desktop registration here, only a spreadsheet program on PATH: it is the one
        // that gets the workbook.
        QTemporaryDir bin;
        const QString received = bin.filePath("received");
        QFile program(bin.filePath("gnumeric"));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\nprintf '%s' \"$1\" > '" + QFile::encodeName(received) + "'\n");
        program.close();
        QVERIFY(program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));

        RunningProgram p(kCity);
        searchAll(p);
        p.run("Excel");
        qputenv("PATH", oldPath);
        QVERIFY(p.boxes.seen().isEmpty());
        QTRY_VERIFY(QFile::exists(received));
        QTRY_VERIFY(!readFile(received).isEmpty());
        const QString path = QString::fromLocal8Bit(readFile(received));
        QVERIFY2(path.endsWith("/kalvex.xlsx"), qPrintable(path));
        QCOMPARE(rowValues(readSpreadsheet(path), 3).first(), QStringLiteral("34567"));
        QDir(QFileInfo(path).path()).removeRecursively();
    }

    void spreadsheetHoldsTheShownListingInANewWorkbookEachTime() {
        RunningProgram p(kCity, kPersonal);
        QStringList opened;
        p.main().spreadsheetAvailable = [] { return true; };
        p.main().openSpreadsheet = [&](const QString& path) { opened << path; };
        searchAll(p);
        p.run("ByKv");
        p.run("Excel");
        QCOMPARE(opened.size(), 1);
        QCOMPARE(current(p), 2);
        QJsonObject book = readSpreadsheet(opened[0]);
        QCOMPARE(book["sheets"].toArray(), QJsonArray({"kalvex"}));
        QVERIFY(book["row1Bold"].toBool());
        QCOMPARE(rowValues(book, 0),
                 QStringList({"Телефон", "ФИО", "Улица", "№ дома", "№ квартиры"}));
        // In the grid's order (apartment: no value, then "007", "15"), all texts as stored.
        QCOMPARE(rowValues(book, 1),
                 QStringList({"12345", "Иванов И.И.", "Ленина", "10", "<empty>"}));
        QCOMPARE(rowValues(book, 2), QStringList({"34567", "Абрамов А.А.", "Лесная", "2", "007"}));
        QCOMPARE(rowValues(book, 3), QStringList({"23456", "Петров П.П.", "Мира", "7/2", "15"}));

        p.run("lich");
        p.run("Excel");
        QCOMPARE(opened.size(), 2);
        QVERIFY(opened[1] != opened[0]);
        book = readSpreadsheet(opened[1]);
        QCOMPARE(rowValues(book, 0).size(), 6);
        QCOMPARE(rowValues(book, 1).last(), QStringLiteral("+7 900 111-11-11"));
        QCOMPARE(book["cells"].toArray().size(), 3);
    }

    void printingAnEmptyListingWarnsWithoutADialog() {
        RunningProgram p(kCity, kPersonal);
        p.run("print");
        QCOMPARE(p.boxes.seen().size(), 1);
        QCOMPARE(p.boxes.seen()[0].text, QStringLiteral("Нет данных для печати"));
        // The personal directory is printed even though the city listing is empty.
        p.run("lich");
        p.boxes.cancel();
        p.run("print");
        QCOMPARE(p.boxes.seen().size(), 2);
        QCOMPARE(p.boxes.seen()[1].type, QStringLiteral("QPrintDialog"));
    }

    void printingCancelledLeavesTheCurrentEntry() {
        RunningProgram p(kCity);
        searchAll(p);
        p.main().directory().tel.moveTo(1);
        p.boxes.cancel();
        p.run("print");
        QCOMPARE(current(p), 1);
    }

    void printedListingHasOneLinePerEntry() {
        RunningProgram p(kCity);
        searchAll(p);
        const QString pdf = p.file.folder() + "/listing.pdf";
        printToPdf(p, pdf);
        QCOMPARE(p.boxes.seen().size(), 1);
        QCOMPARE(current(p), 2);
        // The listing's columns stand at fixed character places in a fixed-pitch font: the
        // surname at 7 (after a 5-digit phone and two spaces), the street at 37, the house at 67.
        const QList<Word> words = wordsOf(pdf);
        QCOMPARE(words.size(), 3 * 5 - 1 + 3);  // "И.И." and the like are words of their own
        QCOMPARE(words[0].text, QStringLiteral("12345"));
        const double cell = (wordAt(words, "Иванов").x - words[0].x) / 7;
        QVERIFY(cell > 0);
        QCOMPARE(qRound((wordAt(words, "Ленина").x - words[0].x) / cell), 37);
        QCOMPARE(qRound((wordAt(words, "10").x - words[0].x) / cell), 67);
        QCOMPARE(qRound((wordAt(words, "15").x - words[0].x) / cell), 72);
        QVERIFY(wordAt(words, "Мира").y > wordAt(words, "Ленина").y);  // one line per entry
    }

    void aLongListingRunsOverPagesWithEveryEntryOnce() {
        QList<TestEntry> many;
        for (int i = 0; i < 150; ++i)
            many << cityEntry(QString::number(10000 + i), "Фамилия", "Улица", "1", "2");
        RunningProgram p(many);
        searchAll(p);
        auto* dialog = p.widget<QPrintDialog>("PrintDialog1");
        QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintPageRange));  // printed whole
        const QString pdf = p.file.folder() + "/listing.pdf";
        printToPdf(p, pdf);
        const QString text = pdftotext({"-layout", pdf, "-"});
        QVERIFY2(text.count(u'\f') > 1, "one page holds every line");
        for (int i = 0; i < 150; ++i)
            QCOMPARE(text.count(QString::number(10000 + i)), 1);
    }

    void outputsLeaveOutANewEntryLeftUnchanged() {
        RunningProgram p(kCity);
        searchAll(p);
        DataSet& tel = p.main().directory().tel;
        tel.append();  // as moving down past the last row does in edit mode
        const QString base = p.file.folder() + "/tel";
        p.boxes.saveAs(base);
        p.run("Html");
        QCOMPARE(readFile(base + ".html").count("\r\n"), 17 + 7 * 3 + 3);
        QCOMPARE(tel.recordCount(), 3);
    }

    void aNewEntryLeftUnchangedIsNothingToHandOn() {
        RunningProgram empty(kCity);
        DataSet& none = empty.main().directory().tel;
        QStringList opened;
        empty.main().spreadsheetAvailable = [] { return true; };
        empty.main().openSpreadsheet = [&](const QString& path) { opened << path; };
        none.append();
        empty.run("Html");
        none.append();
        empty.run("Excel");
        none.append();
        const QString pdf = empty.file.folder() + "/empty.pdf";
        printToPdf(empty, pdf);
        QCOMPARE(empty.boxes.seen().size(), 4);
        QCOMPARE(empty.boxes.seen()[0].text, QStringLiteral("Нет данных для экспорта"));
        QCOMPARE(empty.boxes.seen()[1].text, QStringLiteral("Нет данных для экспорта"));
        QCOMPARE(empty.boxes.seen()[3].text, QStringLiteral("Нет данных для печати"));
        QVERIFY(opened.isEmpty());
        QVERIFY(!QFile::exists(pdf));            // the job that had begun was aborted
        QVERIFY(empty.file.city().size() == 3);  // nothing was added to the file
    }

    void spreadsheetSavesAnEditInProgressFirst() {
        RunningProgram p(kCity);
        QStringList opened;
        p.main().spreadsheetAvailable = [] { return true; };
        p.main().openSpreadsheet = [&](const QString& path) { opened << path; };
        searchAll(p);
        DataSet& tel = p.main().directory().tel;
        tel.moveTo(1);
        tel.edit();
        tel.setFieldValue(u"kv", QStringLiteral("99"));
        p.run("Excel");
        QCOMPARE(p.boxes.seen().size(), 0);  // saved without a question
        QCOMPARE(p.file.city()[1].kv, Value("99"));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(rowValues(readSpreadsheet(opened[0]), 2).last(), QStringLiteral("99"));
        QCOMPARE(current(p), 2);
    }

    // A long output shows its progress; cancelling it leaves no file (an old HTML file keeps
    // its content), nothing is opened or printed, no error is reported, the cursor stays where
    // the walk stopped, and the program goes on working.
    void cancellingAnOutputLeavesNoFile_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("HTML") << "Html";
        QTest::newRow("spreadsheet") << "Excel";
        QTest::newRow("printout") << "print";
    }
    void cancellingAnOutputLeavesNoFile() {
        QFETCH(QString, command);
        RunningProgram p(kCity);
        p.file.exec(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000)"
            " INSERT INTO tel (tel, fam, ul, dom, kv) SELECT CAST(40000 + i AS TEXT),"
            " 'Абонент ' || CAST(i AS TEXT), 'Улица', CAST(i % 50 AS TEXT),"
            " CAST(i % 90 AS TEXT) FROM n");
        searchAll(p);
        const int count = p.main().directory().tel.recordCount();
        QTemporaryDir temporary;  // where a workbook would be made
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));
        p.main().progressDelayMs = 0;
        QStringList opened;
        p.main().spreadsheetAvailable = [] { return true; };
        p.main().openSpreadsheet = [&](const QString& path) { opened << path; };
        const QString html = p.file.folder() + "/old.html";
        const QString pdf = p.file.folder() + "/listing.pdf";
        QFile old(html);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("<html>earlier</html>") > 0);
        old.close();

        const auto cancelProgress = [](QWidget* modal) {
            auto* progress = qobject_cast<QProgressDialog*>(modal);
            QVERIFY(progress);
            auto* cancel = progress->findChild<QPushButton*>();
            QVERIFY(cancel);
            cancel->click();  // "Отмена"
        };
        if (command == u"Html") {
            p.boxes.saveAs(html);
            p.boxes.press(QMessageBox::Yes);  // replace the old file
            p.boxes.expect(cancelProgress);
            p.run(command);
        } else if (command == u"Excel") {
            p.boxes.expect(cancelProgress);
            p.run(command);
        } else {
            printToPdf(p, pdf, cancelProgress);
        }
        qunsetenv("TMPDIR");
        QVERIFY(!p.boxes.seen().isEmpty());
        QCOMPARE(p.boxes.seen().last().objectName, QStringLiteral("outputProgress"));
        QVERIFY(p.boxes.seen().size() <= 3);  // no error report after the cancel
        QCOMPARE(readFile(html), QByteArray("<html>earlier</html>"));
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(opened.isEmpty());
        QCOMPARE(QDir(temporary.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
        QVERIFY(current(p) > 0 && current(p) < count - 1);  // where the walk stopped
        // The program goes on: the next export runs to its end.
        p.main().progressDelayMs = 500;
        const QString again = p.file.folder() + "/again";
        p.boxes.saveAs(again);
        p.run("Html");
        QCOMPARE(readFile(again + ".html").count("<tr>\r\n"), count + 1);
    }

    void dialogsDisableTheMainWindowWhileShown() {
        RunningProgram p(kCity);
        p.run("about");
        QVERIFY(p.program.aboutform->isVisible());
        QVERIFY(!p.main().isEnabled());
        p.program.aboutform->close();
        QVERIFY(p.main().isEnabled());
        p.action("N23")->trigger();  // "Добавить" in the popup menu
        QVERIFY(p.program.addform->isVisible());
        QVERIFY(!p.main().isEnabled());
        p.program.addform->close();
        QVERIFY(p.main().isEnabled());
    }
};

QTEST_MAIN(OutputWindowTest)
#include "test_output_window.moc"
