#include <QTest>

#include "print_line.h"
#include "test_entry.h"

using namespace Qt::StringLiterals;

namespace {

QString line(const TestEntry& entry) {
    return printLine(kCityTable, entry.fields(kCityTable));
}

QString spaces(int count) {
    return QString(count, u' ');
}

// Length in characters, a surrogate pair counting once.
qsizetype characters(const QString& text) {
    return text.toUcs4().size();
}

}  // namespace

class TestPrintLine : public QObject {
    Q_OBJECT

private slots:
    void columnsLineUp();
    void shortPhoneShiftsTheRest();
    void valueFillingItsWidth();
    void longValuesPrintedWhole();
    void nullFields();
    void charactersOutsideBmpCountOnce();
    void mobileNotPrinted();
    void widerLinesCutIntoPieces();
};

void TestPrintLine::columnsLineUp() {
    const QString printed = line({u"2345678"_s, u"Иванов И.И."_s, u"Ленина"_s, u"12а"_s, u"7"_s});
    QCOMPARE(printed,
             u"2345678  Иванов И.И."_s + spaces(19) + u"Ленина"_s + spaces(24) + u"12а  7    "_s);
    // Positions counted from 1, as on paper.
    QCOMPARE(printed.indexOf(u"Иванов"_s) + 1, 10);
    QCOMPARE(printed.indexOf(u"Ленина"_s) + 1, 40);
    QCOMPARE(printed.indexOf(u"12а"_s) + 1, 70);
    QCOMPARE(printed.lastIndexOf(u"7"_s) + 1, 75);
    QCOMPARE(printed.size(), 79);
}

void TestPrintLine::shortPhoneShiftsTheRest() {
    const QString printed = line({u"23456"_s, u"Петров"_s, u"Мира"_s, u"1"_s, u"2"_s});
    QCOMPARE(printed.indexOf(u"Петров"_s) + 1, 8);
    QCOMPARE(printed.indexOf(u"Мира"_s) + 1, 38);
    QCOMPARE(printed.size(), 77);
}

void TestPrintLine::valueFillingItsWidth() {
    const QString surname(30, u'Ж');
    const QString printed = line({u"1"_s, surname, u"Мира"_s, u"12345"_s, u"1"_s});
    QCOMPARE(printed, u"1  "_s + surname + u"Мира"_s + spaces(26) + u"123451    "_s);
}

void TestPrintLine::longValuesPrintedWhole() {
    const QString surname = u"Константинопольская-Рождественская"_s;  // 34 characters
    const QString street = QString(31, u'у');
    const QString printed =
        line({u"8 800 555-35-35"_s, surname, street, u"117/2к3"_s, u"1234567"_s});
    QCOMPARE(printed, u"8 800 555-35-35  "_s + surname + street + u"117/2к31234567"_s);
}

void TestPrintLine::nullFields() {
    QCOMPARE(line({std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}),
             spaces(72));
    QCOMPARE(line({u"7"_s, std::nullopt, u"Мира"_s, std::nullopt, u"5"_s}),
             u"7  "_s + spaces(30) + u"Мира"_s + spaces(26) + spaces(5) + u"5    "_s);
}

void TestPrintLine::charactersOutsideBmpCountOnce() {
    const QString printed = line({u"1"_s, u"😀Ли"_s, u"𝔘𝔩"_s, u"😀"_s, u"中"_s});
    QCOMPARE(printed, u"1  😀Ли"_s + spaces(27) + u"𝔘𝔩"_s + spaces(28) + u"😀"_s + spaces(4) +
                          u"中"_s + spaces(4));
    QCOMPARE(characters(printed), 73);
}

void TestPrintLine::mobileNotPrinted() {
    const TestEntry withMobile(u"1"_s, u"Фам"_s, u"Ул"_s, u"2"_s, u"3"_s, u"+7 900 000-00-00"_s);
    const TestEntry without(u"1"_s, u"Фам"_s, u"Ул"_s, u"2"_s, u"3"_s);
    QCOMPARE(line(withMobile), line(without));
    QVERIFY(!line(withMobile).contains(u"900"_s));
}

void TestPrintLine::widerLinesCutIntoPieces() {
    QCOMPARE(printPieces(u""_s, 4), QStringList({u""_s}));
    QCOMPARE(printPieces(u"abcd"_s, 4), QStringList({u"abcd"_s}));
    QCOMPARE(printPieces(u"abcdefghij"_s, 4), QStringList({u"abcd"_s, u"efgh"_s, u"ij"_s}));
    // A character outside the BMP is one place on the page and stays whole at a cut.
    QCOMPARE(printPieces(u"abc😀de"_s, 3), QStringList({u"abc"_s, u"😀de"_s}));
    QCOMPARE(printPieces(u"ab😀cd"_s, 3), QStringList({u"ab😀"_s, u"cd"_s}));
    QCOMPARE(printPieces(u"😀😀😀"_s, 1), QStringList({u"😀"_s, u"😀"_s, u"😀"_s}));
}

QTEST_GUILESS_MAIN(TestPrintLine)
#include "test_print_line.moc"
