// Awkward input in the real window: quotes, backslashes, '%' and '_', control characters,
// 1,000-character texts and characters outside the BMP, typed or pasted into every search
// input and every input of the add-record dialog. The search never fails and finds exactly
// the entries its rules say (surname and street begin with the text; house and apartment
// are LIKE patterns; letter case and Ё/Е do not count); adding stores the texts exactly or
// refuses an over-long one clearly, and the corrected entry is then saved once.
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include "phone_edit.h"
#include "phone_text.h"
#include "program_on.h"
#include "test_directory.h"

namespace {

const QString kLong = QString(1000, u'ж');
// The longest surname and street stored: a file keeps whatever length another program wrote;
// a server's columns hold no more than the field sizes.
const QString kLongStored = testsOnServer() ? QString(30, u'ж') : kLong;

// Entries whose fields hold the awkward characters themselves, so that a search for them
// has something to find and something to leave.
const QList<TestEntry> kCity = {
    cityEntry("12345", "O'Brien А.А.", "Улица \"Мира\"", "1", "1"),
    cityEntry("23456", "50% Скидкин", "Путь\\Дорога", "1%", "1_"),
    cityEntry("34567", "a_b Подчерков", "Лесная $$", "10", "$1"),
    cityEntry("45678", "😀 Смайлов", "𝔸лфавитная", "😀", "2"),
    cityEntry("56789", "Таб\tуляция", "Строка\x01", "2\t", "%"),
    cityEntry("67890", "Ёлкин Е.Е.", "ЕЛОВАЯ", "_", "\\"),
    cityEntry("78901", "ёлкина", "ёлочная", {}, {}),
    cityEntry("89012", kLongStored, kLongStored, "5", "5"),
};

// Letter case and Ё/Е aside, as the directory matches; enough for the texts above.
QString folded(const QString& text) {
    return text.toLower().replace(u'ё', u'е');
}

// LIKE over whole characters: '%' any run, '_' one character, everything else itself.
bool like(const QList<uint>& text, qsizetype t, const QList<uint>& pattern, qsizetype p) {
    if (p == pattern.size())
        return t == text.size();
    if (pattern[p] == '%')
        return like(text, t, pattern, p + 1) || (t < text.size() && like(text, t + 1, pattern, p));
    if (t == text.size())
        return false;
    return (pattern[p] == '_' || pattern[p] == text[t]) && like(text, t + 1, pattern, p + 1);
}
// An input left empty takes every entry; a typed pattern, "%" too, only entries with a value.
bool like(const Value& value, const QString& input) {
    return input.isEmpty() ||
           (value && like(folded(*value).toUcs4(), 0, folded(input).toUcs4(), 0));
}
bool beginsWith(const Value& value, const QString& prefix) {
    return prefix.isEmpty() || (value && folded(*value).startsWith(folded(prefix)));
}

// Puts text into an input as a user would: typed key by key where keys can carry it,
// pasted where they cannot (control characters, long texts).
void enter(QWidget* input, const QString& text) {
    auto* line = qobject_cast<QLineEdit*>(input);
    if (!line)
        line = input->findChild<QLineEdit*>();
    line->setFocus();
    line->clear();
    bool printable = text.size() < 100;
    for (QChar c : text)
        printable &= c.isPrint() && !c.isSurrogate();
    if (printable) {
        typeText(line, text);
    } else {
        QApplication::clipboard()->setText(text);
        line->paste();
    }
}

}  // namespace

class HostileInputTest : public QObject {
    Q_OBJECT

    // Runs the search with Enter in the input and compares what it found with the rules.
    void searchAndCheck(ProgramOn& p, const char* inputName) {
        const QString phone = p.widget<PhoneEdit>("telin")->maskedText();
        QStringList texts;
        for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4"})
            texts << p.widget<QComboBox>(name)->currentText();
        QTest::keyClick(p.widget(inputName), Qt::Key_Return);
        QCOMPARE(p.takeErrors(), QStringList());

        const QString pattern = PhoneToPattern(phone);
        QStringList expected;
        for (const TestEntry& e : kCity) {
            if (like(e.tel, pattern) && beginsWith(e.fam, texts[0]) && beginsWith(e.ul, texts[1]) &&
                like(e.dom, texts[2]) && like(e.kv, texts[3]))
                expected << *e.tel;
        }
        QStringList shown;
        for (int row = 0; row < p.grid()->model()->rowCount(); ++row)
            shown << p.cell(row, 0);
        shown.sort();
        QVERIFY2(shown == expected,
                 qPrintable(QStringLiteral("%1: found %2, expected %3")
                                .arg(texts.join(u'|'), shown.join(u','), expected.join(u','))));
    }

private slots:
    void awkwardTextInEverySearchInputFindsExactlyTheRightEntries_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        const QStringList awkward = {"'",
                                     "O'",
                                     "\"",
                                     "\\",
                                     "%",
                                     "_",
                                     "50%",
                                     "a_",
                                     "%%",
                                     "\t",
                                     "\x01",
                                     "Таб\t",
                                     "😀",
                                     "𝔸",
                                     "ЁЛК",
                                     "елк",
                                     "1_",
                                     "1\\",
                                     "' OR 1=1 --",
                                     "%'; DROP TABLE tel; --",
                                     "$$",
                                     "$1",
                                     "$$; DROP TABLE tel; $$",
                                     kLong,
                                     kLong + u'ж'};
        for (const char* input : {"Edit1", "Edit2", "Edit3", "Edit4"})
            for (const QString& text : awkward)
                QTest::addRow(
                    "%s %s", input,
                    qPrintable(text.size() > 20 ? QStringLiteral("%1 characters").arg(text.size())
                                                : text.toHtmlEscaped()))
                    << input << text;
    }
    void awkwardTextInEverySearchInputFindsExactlyTheRightEntries() {
        QFETCH(QString, input);
        QFETCH(QString, text);
        TestDirectory file;
        for (const TestEntry& e : kCity)
            file.addCity(e);
        ProgramOn p(file.connectionString());
        enter(p.widget(input), text);
        QCOMPARE(p.widget<QComboBox>(input)->currentText(), text);
        searchAndCheck(p, qPrintable(input));
    }

    void thePhoneInputTakesDigitsOnly() {
        TestDirectory file;
        for (const TestEntry& e : kCity)
            file.addCity(e);
        ProgramOn p(file.connectionString());
        auto* telin = p.widget<PhoneEdit>("telin");
        telin->setFocus();
        typeText(telin, QStringLiteral("1%_'\\😀"));
        QCOMPARE(telin->maskedText(), QStringLiteral("1-  -  "));
        searchAndCheck(p, "telin");
        QCOMPARE(p.grid()->model()->rowCount(), 1);
    }

    void awkwardTextIsAddedExactly_data() {
        QTest::addColumn<bool>("personal");
        QTest::newRow("city") << false;
        QTest::newRow("personal") << true;
    }
    void awkwardTextIsAddedExactly() {
        QFETCH(bool, personal);
        TestDirectory file;
        ProgramOn p(file.connectionString());
        if (personal)
            p.run(QStringLiteral("lich"));
        const TestEntry entry{"12345",
                              "O'Brien \"Тот\" \\ 50% a_b $$",
                              "😀𝔸 Ёлочная\tул.\x01",
                              "1_/%",
                              "\\'$1",
                              personal ? Value("+7 (900) 'моб' 😀") : Value()};
        p.openAddDialog();
        enter(p.addDialogInput("telin"), "12345");
        enter(p.addDialogInput("Edit1"), *entry.fam);
        enter(p.addDialogInput("Edit2"), *entry.ul);
        enter(p.addDialogInput("Edit3"), *entry.dom);
        enter(p.addDialogInput("Edit4"), *entry.kv);
        if (personal)
            enter(p.addDialogInput("Edit5"), *entry.mob);
        p.pressAddOk();
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(personal ? file.personal() : file.city(), QList<TestEntry>{entry});
    }

    void overLongTextIsRefusedAndTheCorrectedEntrySavedOnce_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("size");
        QTest::newRow("surname") << "Edit1"
                                 << "Фамилия И.О." << 30;
        QTest::newRow("street") << "Edit2"
                                << "Улица" << 30;
        QTest::newRow("house") << "Edit3"
                               << "№ дома" << 5;
        QTest::newRow("apartment") << "Edit4"
                                   << "Квартира" << 5;
        QTest::newRow("mobile") << "Edit5"
                                << "Мобильник" << 30;
    }
    void overLongTextIsRefusedAndTheCorrectedEntrySavedOnce() {
        QFETCH(QString, input);
        QFETCH(QString, field);
        QFETCH(int, size);
        TestDirectory file;
        ProgramOn p(file.connectionString());
        const bool personal = input == u"Edit5";
        if (personal)
            p.run(QStringLiteral("lich"));
        p.openAddDialog();
        enter(p.addDialogInput("Edit1"), QStringLiteral("Новиков Н.Н."));
        enter(p.addDialogInput(qPrintable(input)), kLong);
        p.pressAddOk();
        const QStringList errors = p.takeErrors();
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0], QStringLiteral("Значение поля «%1» длиннее %2 символов (1000); запись "
                                           "не сохранена.")
                                .arg(field)
                                .arg(size));
        QVERIFY(p.program.addform->isVisible());
        QCOMPARE(personal ? file.personal().size() : file.city().size(), 0);

        // Exactly as long as the field allows, counting a character outside the BMP as one.
        const QString fits = QString(size - 1, u'ж') + QStringLiteral("😀");
        enter(p.addDialogInput(qPrintable(input)), fits);
        p.pressAddOk();
        QCOMPARE(p.takeErrors(), QStringList());
        QVERIFY(!p.program.addform->isVisible());
        const QList<TestEntry> stored = personal ? file.personal() : file.city();
        QCOMPARE(stored.size(), 1);
        const Value values[] = {stored[0].fam, stored[0].ul, stored[0].dom, stored[0].kv,
                                stored[0].mob};
        QCOMPARE(values[input.back().digitValue() - 1], Value(fits));
    }
};

QTEST_MAIN(HostileInputTest)
#include "test_hostile_input.moc"
