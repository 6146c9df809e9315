#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "error.h"
#include "error_of.h"
#include "html_document.h"
#include "html_file_name.h"
#include "test_entry.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray render(const DirectoryTable& table, const QList<TestEntry>& entries) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    HtmlDocument document(buffer, table);
    for (const TestEntry& entry : entries) {
        document.write(entry.fields(table));
    }
    document.finish();
    return buffer.data();
}

// The document's lines; fails the test unless every line, the last too, ends in CR LF.
QList<QByteArray> crlfLines(const QByteArray& document) {
    QList<QByteArray> lines = document.split('\n');
    if (lines.isEmpty() || !lines.takeLast().isEmpty()) {
        qWarning("the document does not end with a line break");
        return {};
    }
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r') || line.count('\r') != 1) {
            qWarning("a line does not end in CR LF: %s", line.constData());
            return {};
        }
        line.chop(1);
    }
    return lines;
}

QString fromCp1251(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
}

QByteArray cell(const QByteArray& value) {
    return "<th><span class=\"style4\">" + value + "</span></th>";
}

// Accepts `limit` bytes, then refuses or, with `partial`, takes only part of each write.
class FailingDevice : public QIODevice {
public:
    FailingDevice(qint64 limit, bool partial) : m_limit(limit), m_partial(partial) {
        open(QIODevice::WriteOnly);
    }
    qint64 accepted() const { return m_accepted; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        if (m_accepted + size <= m_limit) {
            m_accepted += size;
            return size;
        }
        setErrorString(QStringLiteral("Нет места на диске"));
        if (m_partial) {
            const qint64 taken = std::max<qint64>(1, (m_limit - m_accepted) / 2);
            m_accepted += taken;
            return taken;
        }
        return -1;
    }

private:
    qint64 m_limit;
    qint64 m_accepted = 0;
    bool m_partial;
};

QList<TestEntry> manyEntries(int count) {
    QList<TestEntry> entries;
    for (int i = 0; i < count; ++i) {
        entries.append(TestEntry(QString::number(1000000 + i), QStringLiteral("Фамилия%1").arg(i),
                                 QStringLiteral("Улица"), QStringLiteral("1"),
                                 QStringLiteral("2")));
    }
    return entries;
}

}  // namespace

class TestHtmlDocument : public QObject {
    Q_OBJECT

private slots:
    void lineCounts();
    void matchesFixtures_data();
    void matchesFixtures();
    void firstBlockOnlyCarriesSpaces();
    void escapesMarkup();
    void charactersOutsideCodePage_data();
    void charactersOutsideCodePage();
    void nullAndEmptyFields();
    void manyEntriesAcrossChunks();
    void largeFileMatchesTheSameDocumentInMemory();
    void writeFailureThrows_data();
    void writeFailureThrows();
    void readOnlyFileThrows();
    void abandonedDocumentStops();
    void fileNames_data();
    void fileNames();
};

void TestHtmlDocument::lineCounts() {
    const TestEntry city(QStringLiteral("1"), QStringLiteral("Ф"), QStringLiteral("У"),
                         QStringLiteral("1"), QStringLiteral("2"));
    QCOMPARE(crlfLines(render(kCityTable, {city, city, city})).size(), 41);
    const TestEntry personal(QStringLiteral("1"), QStringLiteral("Ф"), QStringLiteral("У"),
                             QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("+7"));
    QCOMPARE(crlfLines(render(kPersonalTable, {personal, personal})).size(), 37);
    QCOMPARE(crlfLines(render(kCityTable, {})).size(), 20);
    QCOMPARE(crlfLines(render(kPersonalTable, {})).size(), 21);
}

void TestHtmlDocument::matchesFixtures_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<TestEntry>>("entries");
    QTest::addColumn<QString>("fixture");

    QTest::newRow("city") << 0
                          << QList<TestEntry>{
                                 {u"2-34-56"_s, u"Иванов И.И."_s, u"Ленина"_s, u"12а"_s,
                                  std::nullopt},
                                 {u"2-00-01"_s, u"Смирнова & Ко"_s, u"Мира <пр.>"_s, u"7/2"_s,
                                  u"15"_s},
                             }
                          << u"city_two_entries.html"_s;
    QTest::newRow("personal") << 1
                              << QList<TestEntry>{
                                     {u"5-55-55"_s, u"Петров П.П."_s, u"Садовая"_s, u"3"_s,
                                      u"1"_s, u"+7 912 345-67-89"_s},
                                     {std::nullopt, u"Ёлкина"_s, u"Школьная"_s, u"10"_s,
                                      std::nullopt, std::nullopt},
                                 }
                              << u"personal_two_entries.html"_s;
}

void TestHtmlDocument::matchesFixtures() {
    QFETCH(int, kind);
    QFETCH(QList<TestEntry>, entries);
    QFETCH(QString, fixture);

    QFile expected(QStringLiteral(TEST_FIXTURES_DIR "/output/") + fixture);
    QVERIFY2(expected.open(QIODevice::ReadOnly), qPrintable(expected.errorString()));
    const QByteArray document = render(*kDirectoryTables[kind], entries);
    // Line by line first, for a readable message; then every byte.
    QCOMPARE(crlfLines(document), crlfLines(expected.readAll()));
    expected.seek(0);
    QCOMPARE(document, expected.readAll());
}

void TestHtmlDocument::firstBlockOnlyCarriesSpaces() {
    const TestEntry entry(u"1"_s, u"Фам"_s, u"Ул"_s, u"2"_s, u"3"_s, u"+79"_s);
    const QList<QByteArray> lines = crlfLines(render(kPersonalTable, {entry, entry, entry}));
    QCOMPARE(lines.size(), 18 + 3 * 8 + 3);
    const QByteArray fam = "\xD4\xE0\xEC";  // "Фам"
    const QByteArray ul = "\xD3\xEB";       // "Ул"
    const QList<QByteArray> first = {
        "<tr>",     cell("1 "), cell(fam + " "), cell(ul + " "),
        cell("2 "), cell("3 "), cell("+79"),     "</tr>",
    };
    const QList<QByteArray> later = {
        "<tr>", cell("1"), cell(fam), cell(ul), cell("2"), cell("3"), cell("+79"), "</tr>",
    };
    QCOMPARE(lines.mid(18, 8), first);
    QCOMPARE(lines.mid(26, 8), later);
    QCOMPARE(lines.mid(34, 8), later);
}

void TestHtmlDocument::escapesMarkup() {
    const QList<QByteArray> lines =
        crlfLines(render(kPersonalTable, {
                                             {u"1"_s, u"x"_s, u"y"_s, u"z"_s, u"w"_s, u"v"_s},
                                             {u"<b>&amp;"_s, u"Иван & <Пётр>"_s, u"</span></th>"_s,
                                              u"&"_s, u">>"_s, u"<script>Ё</script>"_s},
                                         }));
    QCOMPARE(lines.mid(27, 6), (QList<QByteArray>{
                                   cell("&lt;b&gt;&amp;amp;"),
                                   cell("\xC8\xE2\xE0\xED &amp; &lt;\xCF\xB8\xF2\xF0&gt;"),
                                   cell("&lt;/span&gt;&lt;/th&gt;"),
                                   cell("&amp;"),
                                   cell("&gt;&gt;"),
                                   cell("&lt;script&gt;\xA8&lt;/script&gt;"),
                               }));
}

void TestHtmlDocument::charactersOutsideCodePage_data() {
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("chinese") << QByteArray("中文") << QByteArray("&#20013;&#25991;");
    QTest::newRow("emoji outside BMP") << QByteArray("\xF0\x9F\x98\x80") << QByteArray("&#128512;");
    QTest::newRow("mixed with Cyrillic")
        << QString(u"Ёж中😀я"_s).toUtf8() << QByteArray("\xA8\xE6&#20013;&#128512;\xFF");
    QTest::newRow("with markup") << QByteArray("中&<") << QByteArray("&#20013;&amp;&lt;");
    QTest::newRow("Latin letters the code page lacks")
        << QString(u"Łódź"_s).toUtf8() << QByteArray("&#321;&#243;d&#378;");
    QTest::newRow("invalid UTF-8") << QByteArray(
                                          "a\xFF"
                                          "b")
                                   << QByteArray("a&#65533;b");
    QTest::newRow("characters a converter may ignore")
        << QString(u"a\u034Fb\u200Bc"_s).toUtf8() << QByteArray("a&#847;b&#8203;c");
    // As the grid shows it: a replacement character per byte of the broken sequence.
    QTest::newRow("UTF-8 sequence cut short")
        << QByteArray("\xE1\x9F!") << QByteArray("&#65533;&#65533;!");
}

// An unmappable value between ordinary ones: the values around it must stay in place.
void TestHtmlDocument::charactersOutsideCodePage() {
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, expected);

    TestEntry odd(u"1"_s, u"Ж"_s, std::nullopt, u"Дом"_s, u"2"_s);
    odd.setRaw(2, utf8);
    const TestEntry plain(u"1"_s, u"Ж"_s, u"Я"_s, u"Дом"_s, u"2"_s);
    const QList<QByteArray> lines = crlfLines(render(kCityTable, {plain, plain, odd, plain}));
    QCOMPARE(lines.size(), 17 + 4 * 7 + 3);
    const QList<QByteArray> plainBlock = {
        "<tr>", cell("1"), cell("\xC6"), cell("\xDF"), cell("\xC4\xEE\xEC"), cell("2"), "</tr>",
    };
    QList<QByteArray> oddBlock = plainBlock;
    oddBlock[3] = cell(expected);
    QCOMPARE(lines.mid(24, 7), plainBlock);
    QCOMPARE(lines.mid(31, 7), oddBlock);
    QCOMPARE(lines.mid(38, 7), plainBlock);
}

void TestHtmlDocument::nullAndEmptyFields() {
    const TestEntry empty(std::nullopt, QString(""), std::nullopt, std::nullopt, std::nullopt,
                          std::nullopt);
    const QList<QByteArray> lines = crlfLines(render(kPersonalTable, {empty, empty}));
    QCOMPARE(lines.mid(18, 16), (QList<QByteArray>{
                                    "<tr>",
                                    cell(" "),
                                    cell(" "),
                                    cell(" "),
                                    cell(" "),
                                    cell(" "),
                                    cell(""),
                                    "</tr>",
                                    "<tr>",
                                    cell(""),
                                    cell(""),
                                    cell(""),
                                    cell(""),
                                    cell(""),
                                    cell(""),
                                    "</tr>",
                                }));
}

// Enough entries for several buffer flushes, a value larger than a whole buffer, and
// unmappable characters scattered among them: every value must land in its own cell.
void TestHtmlDocument::manyEntriesAcrossChunks() {
    QList<TestEntry> entries;
    QStringList expectedFam;
    for (int i = 0; i < 30000; ++i) {
        QString fam = u"Фамилия "_s + QString::number(i);
        QString expected = fam;
        if (i % 97 == 5) {
            fam += u"中&"_s;
            expected += u"&#20013;&amp;"_s;
        }
        if (i % 1013 == 7) {
            fam += u"😀"_s;
            expected += u"&#128512;"_s;
        }
        if (i == 15000) {
            fam = QString(400000, u'Ж');
            expected = fam;
        }
        entries.append(TestEntry(QString::number(i), fam, u"Лесная"_s, u"1"_s, std::nullopt));
        expectedFam.append(expected);
    }
    const QList<QByteArray> lines = crlfLines(render(kCityTable, entries));
    QCOMPARE(lines.size(), 17 + 30000 * 7 + 3);
    for (int i = 1; i < 30000; ++i) {
        const int at = 17 + i * 7;
        QCOMPARE(lines[at + 1], cell(QByteArray::number(i)));
        QCOMPARE(fromCp1251(lines[at + 2]),
                 u"<th><span class=\"style4\">"_s + expectedFam[i] + u"</span></th>"_s);
        QCOMPARE(lines[at + 3], cell("\xCB\xE5\xF1\xED\xE0\xFF"));
    }
}

// Past some megabytes the writer hands a file's pages to the disk as it goes; the file must
// still hold exactly the document.
void TestHtmlDocument::largeFileMatchesTheSameDocumentInMemory() {
    QList<TestEntry> entries;
    for (int i = 0; i < 80000; ++i)
        entries.append(TestEntry(QString::number(10000 + i),
                                 u"Фамилия И.О. "_s + QString::number(i), u"Улица"_s,
                                 QString::number(i % 300), std::nullopt));
    const QByteArray expected = render(kCityTable, entries);
    QVERIFY(expected.size() > 2 * 8 * 1024 * 1024);
    QTemporaryDir folder;
    QSaveFile file(folder.filePath(u"large.html"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    HtmlDocument document(file, kCityTable);
    for (const TestEntry& entry : entries)
        document.write(entry.fields(kCityTable));
    document.finish();
    QVERIFY(file.commit());
    QFile written(folder.filePath(u"large.html"_s));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll() == expected);
}

void TestHtmlDocument::writeFailureThrows_data() {
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("partial");
    QTest::addColumn<int>("entries");

    QTest::newRow("refused at the end") << qint64(0) << false << 3;
    QTest::newRow("refused midway") << qint64(1000000) << false << 50000;
    QTest::newRow("partial write") << qint64(1000000) << true << 50000;
}

void TestHtmlDocument::writeFailureThrows() {
    QFETCH(qint64, limit);
    QFETCH(bool, partial);
    QFETCH(int, entries);

    FailingDevice device(limit, partial);
    const QList<TestEntry> list = manyEntries(entries);
    int written = 0;
    const QString error = errorOf([&] {
        HtmlDocument document(device, kCityTable);
        for (const TestEntry& entry : list) {
            document.write(entry.fields(kCityTable));
            ++written;
        }
        document.finish();
    });
    QVERIFY2(error.contains(u"Нет места на диске"_s), qPrintable(error));
    QVERIFY(error.startsWith(u"Не удалось записать файл"_s));
    // A failure in the middle is reported when it happens, not at the end.
    if (limit > 0) {
        QVERIFY(written < entries);
    }
}

void TestHtmlDocument::readOnlyFileThrows() {
    QTemporaryDir dir;
    QFile file(dir.filePath(u"tel.html"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString error = errorOf([&] {
        HtmlDocument document(file, kCityTable);
        document.write(TestEntry(u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s).fields(kCityTable));
        document.finish();
    });
    QVERIFY2(error.startsWith(u"Не удалось записать файл"_s), qPrintable(error));
    QCOMPARE(QFileInfo(file).size(), 0);
}

// A document dropped halfway, as when the handler stops on an error of its own, is left
// unfinished: it does not close itself as if complete.
void TestHtmlDocument::abandonedDocumentStops() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QList<TestEntry> entries = manyEntries(20000);
    {
        HtmlDocument document(buffer, kCityTable);
        for (const TestEntry& entry : entries) {
            document.write(entry.fields(kCityTable));
        }
    }
    QVERIFY(buffer.size() > 0);
    QVERIFY(!buffer.data().endsWith("</html>\r\n"));
}

void TestHtmlDocument::fileNames_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << u"tel"_s << u"tel.html"_s;
    QTest::newRow("already html") << u"tel.html"_s << u"tel.html"_s;
    QTest::newRow("upper case") << u"a.HTML"_s << u"a.HTML"_s;
    QTest::newRow("mixed case") << u"a.HtMl"_s << u"a.HtMl"_s;
    QTest::newRow("other extension") << u"list.txt"_s << u"list.txt.html"_s;
    QTest::newRow("htm is not html") << u"list.htm"_s << u"list.htm.html"_s;
    QTest::newRow("html inside") << u"a.html.bak"_s << u"a.html.bak.html"_s;
    QTest::newRow("Cyrillic path") << u"/home/я/Список"_s << u"/home/я/Список.html"_s;
}

void TestHtmlDocument::fileNames() {
    QFETCH(QString, chosen);
    QFETCH(QString, expected);
    QCOMPARE(htmlFileName(chosen), expected);
}

QTEST_GUILESS_MAIN(TestHtmlDocument)
#include "test_html_document.moc"
