#include <xlsxwriter.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "error.h"
#include "error_of.h"
#include "test_entry.h"
#include "xlsx_workbook.h"

using namespace Qt::StringLiterals;

namespace {

// What openpyxl, an independent reader, finds in the file's sheet (see read_xlsx.py).
QJsonObject readBack(const QString& path, int sheet = 0) {
    QProcess reader;
    reader.start(
        QStringLiteral(PYTHON3_PROGRAM),
        {QStringLiteral(TEST_FIXTURES_DIR "/output/read_xlsx.py"), path, QString::number(sheet)});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        qWarning("openpyxl failed: %s", reader.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

void writeSheet(const QString& path, const DirectoryTable& table, const QList<TestEntry>& entries,
                unsigned sheetRows = XlsxWorkbook::kSheetRows) {
    XlsxWorkbook sheet(path, table, sheetRows);
    for (const TestEntry& entry : entries) {
        sheet.write(entry.fields(table));
    }
    sheet.finish();
}

// The cell values of a row, null for an empty cell.
QJsonArray values(const QJsonObject& book, int row) {
    QJsonArray result;
    for (const QJsonValue cell : book["cells"].toArray()[row].toArray()) {
        result.append(cell.toArray()[0]);
    }
    return result;
}

const QStringList kCityHeaders = {u"Телефон"_s, u"ФИО"_s, u"Улица"_s, u"№ дома"_s, u"№ квартиры"_s};

}  // namespace

class TestXlsxWorkbook : public QObject {
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void cityValuesAsText();
    void personalHasMobileColumn();
    void entriesInOrder();
    void aListingLongerThanASheetGoesOnInMoreSheets();
    void unwritablePath_data();
    void unwritablePath();
    void libraryErrorBecomesError();
    void abandonedWorkbookLeavesNoFile();

private:
    QTemporaryDir m_dir;
};

// Widths as the user sees them (libxlsxwriter stores them with the cell padding added),
// the sheet's name, and the bold header row.
void TestXlsxWorkbook::layout_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("headers");
    QTest::newRow("city") << 0 << kCityHeaders;
    QTest::newRow("personal") << 1 << (kCityHeaders + QStringList{u"Мобильник"_s});
}

void TestXlsxWorkbook::layout() {
    QFETCH(int, kind);
    QFETCH(QStringList, headers);

    const QString path = m_dir.filePath(QStringLiteral("layout%1.xlsx").arg(kind));
    writeSheet(path, *kDirectoryTables[kind], {{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s}});
    const QJsonObject book = readBack(path);
    QCOMPARE(book["sheets"].toArray(), QJsonArray{u"kalvex"_s});

    const QJsonArray widths = book["widths"].toArray();
    const QList<double> expected = {10, 30, 30, 11, 14, 30};
    for (int column = 0; column < expected.size(); ++column) {
        const double width = widths[column].toDouble(-1);
        QVERIFY2(width >= expected[column] && width < expected[column] + 1.0,
                 qPrintable(QStringLiteral("column %1 width %2").arg(column).arg(width)));
    }
    QVERIFY(widths[6].isNull());

    QVERIFY(book["row1Bold"].toBool());
    QVERIFY(!book["row2Bold"].toBool());
    const QJsonArray header = book["cells"].toArray()[0].toArray();
    QCOMPARE(header.size(), headers.size());
    for (int column = 0; column < headers.size(); ++column) {
        QCOMPARE(header[column].toArray(), (QJsonArray{headers[column], u"s"_s, true}));
    }
    for (const QJsonValue cell : book["cells"].toArray()[1].toArray()) {
        QVERIFY(!cell.toArray()[2].toBool());
    }
}

// Values that look like numbers, dates or formulas stay texts exactly as stored.
void TestXlsxWorkbook::cityValuesAsText() {
    const QString path = m_dir.filePath(u"city.xlsx"_s);
    writeSheet(path, kCityTable,
               {
                   {u"007"_s, u"Иванов И.И."_s, u"Ленина"_s, u"12а"_s, u"7/2"_s},
                   {u"2-34-56"_s, std::nullopt, u"8 Марта"_s, u"1"_s, std::nullopt},
                   {u"12345"_s, u"O'Brien & <Co>"_s, u"  Мира "_s, u"2024-01-05"_s, u"1e5"_s},
                   {u"=A1+1"_s, u"中文 😀"_s, std::nullopt, u"3.50"_s, u"0"_s, u"не видно"_s},
               });
    const QJsonObject book = readBack(path);
    const QJsonArray cells = book["cells"].toArray();
    QCOMPARE(cells.size(), 5);
    QCOMPARE(values(book, 1),
             (QJsonArray{u"007"_s, u"Иванов И.И."_s, u"Ленина"_s, u"12а"_s, u"7/2"_s}));
    QCOMPARE(values(book, 2),
             (QJsonArray{u"2-34-56"_s, QJsonValue::Null, u"8 Марта"_s, u"1"_s, QJsonValue::Null}));
    QCOMPARE(values(book, 3), (QJsonArray{u"12345"_s, u"O'Brien & <Co>"_s, u"  Мира "_s,
                                          u"2024-01-05"_s, u"1e5"_s}));
    QCOMPARE(values(book, 4),
             (QJsonArray{u"=A1+1"_s, u"中文 😀"_s, QJsonValue::Null, u"3.50"_s, u"0"_s}));
    for (int row = 1; row < cells.size(); ++row) {
        for (const QJsonValue cell : cells[row].toArray()) {
            const QJsonArray c = cell.toArray();
            QCOMPARE(c[1].toString(), c[0].isNull() ? u"n"_s : u"s"_s);
        }
    }
}

void TestXlsxWorkbook::personalHasMobileColumn() {
    const QString path = m_dir.filePath(u"personal.xlsx"_s);
    writeSheet(
        path, kPersonalTable,
        {
            {u"5-55-55"_s, u"Петров"_s, u"Садовая"_s, u"3"_s, u"1"_s, u"+7 912 345-67-89"_s},
            {std::nullopt, u"Ёлкина"_s, u"Школьная"_s, u"10"_s, std::nullopt, u"89120000000"_s},
        });
    const QJsonObject book = readBack(path);
    QCOMPARE(book["cells"].toArray().size(), 3);
    QCOMPARE(values(book, 1), (QJsonArray{u"5-55-55"_s, u"Петров"_s, u"Садовая"_s, u"3"_s, u"1"_s,
                                          u"+7 912 345-67-89"_s}));
    QCOMPARE(values(book, 2), (QJsonArray{QJsonValue::Null, u"Ёлкина"_s, u"Школьная"_s, u"10"_s,
                                          QJsonValue::Null, u"89120000000"_s}));
}

void TestXlsxWorkbook::entriesInOrder() {
    const int count = 5000;
    QList<TestEntry> entries;
    for (int i = 0; i < count; ++i) {
        entries.append({QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')),
                        u"Фамилия "_s + QString::number(count - i), u"Улица"_s, u"1"_s,
                        std::nullopt});
    }
    const QString path = m_dir.filePath(u"order.xlsx"_s);
    writeSheet(path, kCityTable, entries);
    const QJsonObject book = readBack(path);
    const QJsonArray cells = book["cells"].toArray();
    QCOMPARE(cells.size(), count + 1);
    for (int i = 0; i < count; ++i) {
        const QJsonArray row = values(book, i + 1);
        QCOMPARE(row[0].toString(), QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')));
        QCOMPARE(row[1].toString(), u"Фамилия "_s + QString::number(count - i));
    }
}

// Sheets of four rows: the header and three entries each, so seven entries take three sheets.
void TestXlsxWorkbook::aListingLongerThanASheetGoesOnInMoreSheets() {
    const QString path = m_dir.filePath(u"sheets.xlsx"_s);
    QList<TestEntry> entries;
    for (int i = 1; i <= 7; ++i)
        entries.append({QString::number(i), u"Ф"_s, u"У"_s, u"1"_s, u"2"_s, u"м"_s});
    writeSheet(path, kPersonalTable, entries, 4);
    const QStringList names = {u"kalvex"_s, u"kalvex (2)"_s, u"kalvex (3)"_s};
    for (int sheet = 0; sheet < 3; ++sheet) {
        const QJsonObject book = readBack(path, sheet);
        QCOMPARE(book["sheets"].toArray(), QJsonArray::fromStringList(names));
        QVERIFY(book["row1Bold"].toBool());
        QVERIFY(book["widths"].toArray()[5].toDouble(-1) >= 30);
        const QJsonArray rows = book["cells"].toArray();
        QCOMPARE(rows.size(), sheet < 2 ? 4 : 2);
        QCOMPARE(rows[0].toArray()[5].toArray()[0].toString(), u"Мобильник"_s);
        for (int row = 1; row < rows.size(); ++row)
            QCOMPARE(values(book, row)[0].toString(), QString::number(sheet * 3 + row));
    }
}

void TestXlsxWorkbook::unwritablePath_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("missing folder") << m_dir.filePath(u"нет/такой/папки/tel.xlsx"_s);
    QTest::newRow("a folder") << m_dir.path();
}

void TestXlsxWorkbook::unwritablePath() {
    QFETCH(QString, path);
    const QString error = errorOf([&] {
        writeSheet(path, kCityTable, {{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}});
    });
    QVERIFY2(!error.isEmpty(), "no error for an unwritable path");
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
}

// A value Excel cannot hold: libxlsxwriter refuses it, and its reason reaches the user.
void TestXlsxWorkbook::libraryErrorBecomesError() {
    const QString path = m_dir.filePath(u"too_long.xlsx"_s);
    const QString error = errorOf([&] {
        writeSheet(path, kCityTable,
                   {{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s},
                    {u"1"_s, QString(40000, u'Ж'), u"3"_s, u"4"_s, u"5"_s}});
    });
    QVERIFY2(error.startsWith(u"Не удалось записать книгу Excel"_s), qPrintable(error));
    QVERIFY2(error.contains(QString::fromUtf8(lxw_strerror(LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED))),
             qPrintable(error));
    QVERIFY(!QFile::exists(path));
}

void TestXlsxWorkbook::abandonedWorkbookLeavesNoFile() {
    const QString path = m_dir.filePath(u"abandoned.xlsx"_s);
    {
        XlsxWorkbook sheet(path, kPersonalTable);
        sheet.write(
            TestEntry(u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s).fields(kPersonalTable));
    }
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestXlsxWorkbook)
#include "test_xlsx_workbook.moc"
