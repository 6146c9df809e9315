#include <xlsxwriter.h>

#include <QTemporaryDir>
#include <QTest>

#include "sheet_rows.h"
#include "test_entry.h"
#include "zip_parts.h"

using namespace Qt::StringLiterals;

namespace {

// Values that take every branch of libxlsxwriter's way of writing a text cell.
QList<TestEntry> awkwardEntries() {
    QList<TestEntry> entries = {
        {u"12345"_s, u"Иванов И.И."_s, u"Ленина"_s, u"12а"_s, std::nullopt},
        {u"O'Brien & <Co> \"x\""_s, u" Мира"_s, u"Мира "_s, u"\tтаб"_s, u"таб\n"_s},
        {u"a\u0001b"_s, u"\u000Bначало"_s, u"конец\r"_s, u"\u001F"_s, u"_x0041_"_s},
        {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},  // no row
        {u""_s, u""_s, std::nullopt, u""_s, std::nullopt},                       // no row either
        {u"中文 😀"_s, u"\u00A0нбсп\u00A0"_s, u"ёЁ"_s, u"1e5"_s, u"=A1+1"_s},
    };
    entries.append(TestEntry(u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s)
                       .setRaw(1, QByteArray("до\0после", 13))      // cut at the NUL
                       .setRaw(2, QByteArray("\0", 1))              // empty once cut
                       .setRaw(3, QByteArray("\xFF\x80\xC3", 3)));  // not UTF-8
    entries.append(TestEntry(std::nullopt, std::nullopt, std::nullopt, std::nullopt, u"x"_s));
    entries.append(TestEntry());  // a last row without values: the dimension ends before it
    return entries;
}

// The sheet's XML as libxlsxwriter writes it in constant-memory mode for these entries.
QByteArray libraryXml(const QString& path, const QList<TestEntry>& entries) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "kalvex");
    for (int row = 0; row < entries.size(); ++row) {
        const OutputEntry entry = entries[row].entry();
        for (int column = 0; column < 5; ++column) {
            if (entry.fields[column]) {
                const QByteArray text = entry.fields[column]->toByteArray();  // NUL-terminated
                worksheet_write_string(sheet, lxw_row_t(row + 1), lxw_col_t(column),
                                       text.constData(), nullptr);
            }
        }
    }
    workbook_close(workbook);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const ZipEntry& entry : readZip(file.readAll()))
        if (entry.name == "xl/worksheets/sheet1.xml")
            return entry.content();
    return {};
}

QByteArray between(const QByteArray& xml, const char* from, const char* to) {
    const qsizetype start = xml.indexOf(from) + qstrlen(from);
    return xml.mid(start, xml.indexOf(to, start) - start);
}

}  // namespace

class TestSheetRows : public QObject {
    Q_OBJECT

private slots:
    void rowsAreLibxlsxwritersOwn() {
        const QList<TestEntry> entries = awkwardEntries();
        QTemporaryDir dir;
        const QByteArray expected = libraryXml(dir.filePath(u"library.xlsx"_s), entries);
        QVERIFY(!expected.isEmpty());

        SheetRows rows(5);
        QByteArray xml;
        for (int row = 0; row < entries.size(); ++row)
            QCOMPARE(rows.append(xml, std::uint32_t(row + 1), entries[row].entry()), 0);
        QCOMPARE(xml, between(expected, "<sheetData>", "</sheetData>"));
        // The dimension's last row is the last row with a cell (this sheet has no header).
        QCOMPARE("A2:E" + QByteArray::number(rows.lastRow() + 1),
                 between(expected, "<dimension ref=\"", "\""));
    }

    void refusesWhatLibxlsxwriterRefuses() {
        SheetRows rows(5);
        QByteArray xml;
        const TestEntry longest(u"1"_s, QString(32767, u'Ж'), std::nullopt, std::nullopt,
                                std::nullopt);
        QCOMPARE(rows.append(xml, 1, longest.entry()), 0);
        const TestEntry tooLong(u"1"_s, QString(32768, u'Ж'), std::nullopt, std::nullopt,
                                std::nullopt);
        QCOMPARE(rows.append(xml, 2, tooLong.entry()), int(LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED));
        const TestEntry one(u"1"_s, std::nullopt, std::nullopt, std::nullopt, std::nullopt);
        QCOMPARE(rows.append(xml, 1048575, one.entry()), 0);
        QCOMPARE(rows.append(xml, 1048576, one.entry()),
                 int(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE));
        const TestEntry empty(u""_s, std::nullopt, std::nullopt, std::nullopt, std::nullopt);
        QCOMPARE(rows.append(xml, 1048576, empty.entry()), 0);  // nothing to write
        QCOMPARE(rows.lastRow(), 1048575u);
    }
};

QTEST_GUILESS_MAIN(TestSheetRows)
#include "test_sheet_rows.moc"
