// The prefix bound, the phone texts and what a search asks of the city query.
#include <QStringEncoder>
#include <QTest>

#include "phone_text.h"
#include "prefix_bound.h"
#include "search_request.h"

class SearchRulesTest : public QObject {
    Q_OBJECT

    static QByteArray cp1251(const QString& s) {
        QStringEncoder encode("windows-1251");
        return encode.encode(s);
    }

private slots:
    void prefixUpperBound_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("bound");
        QTest::newRow("empty") << ""
                               << "яяяяя";
        QTest::newRow("Б") << "Б"
                           << "В";
        QTest::newRow("Ив") << "Ив"
                            << "Иг";
        QTest::newRow("Иванов") << "Иванов"
                                << "Иваног";
        QTest::newRow("я") << "я"
                           << "яяяяя";
        QTest::newRow("Ия") << "Ия"
                            << "Йа";
        QTest::newRow("Бяя") << "Бяя"
                             << "Ваа";
        QTest::newRow("яя") << "яя"
                            << "яяяяя";
        QTest::newRow("Latin") << "Smi"
                               << "Smj";
        QTest::newRow("digit") << "12"
                               << "13";
        QTest::newRow("capital Я is not the highest byte") << "Я"
                                                           << "а";
        QTest::newRow("three я after a letter") << "Бяяя"
                                                << "Вааа";
        QTest::newRow("а space before я") << "А яяя"
                                          << "А!ааа";
        QTest::newRow("outside the code page") << "中"
                                               << "丮";
    }
    void prefixUpperBound() {
        QFETCH(QString, input);
        QFETCH(QString, bound);
        QCOMPARE(PrefixUpperBound(input), bound);
    }

    // However many 'я' a text ends in, every text of a field's length that begins with it
    // sorts below the bound by the byte rule.
    void boundLiesAboveEveryTextBeginningWithTheInput() {
        for (const QString& input :
             {QStringLiteral("Бяяя"), QStringLiteral("яяя"), QStringLiteral("яяяяяя")}) {
            const QByteArray bound = cp1251(PrefixUpperBound(input));
            for (const QString& tail :
                 {QString(), QStringLiteral("я"), QString(30 - input.size(), u'я')}) {
                const QByteArray text = cp1251(input + tail);
                QVERIFY2(text < bound, qPrintable(input + tail));
                QVERIFY(cp1251(input) <= text);
            }
        }
    }

    void phoneToPattern() {
        QCOMPARE(PhoneToPattern(kEmptyPhoneText), QStringLiteral("_____"));
        QCOMPARE(PhoneToPattern(QStringLiteral("1-2 -  ")), QStringLiteral("12___"));
        QCOMPARE(PhoneToPattern(QStringLiteral("1-23-45")), QStringLiteral("12345"));
        QCOMPARE(PhoneToPattern(QStringLiteral("*-*3-*5")), QStringLiteral("__3_5"));
    }

    void phoneToDigits() {
        QCOMPARE(PhoneToDigits(QStringLiteral("1-23-45")), QStringLiteral("12345"));
        QCOMPARE(PhoneToDigits(QStringLiteral("1-2 -  ")), QStringLiteral("12"));
        QCOMPARE(PhoneToDigits(QStringLiteral(" - 3- 5")), QStringLiteral("35"));
        QCOMPARE(PhoneToDigits(kEmptyPhoneText), QString());
    }

    void anyTypedCharacterCountsAsInput() {
        QVERIFY(!SearchInputs{}.hasInput());
        QVERIFY(SearchInputs{.surname = " "}.hasInput());
        QVERIFY(SearchInputs{.apartment = "1"}.hasInput());
        QVERIFY(SearchInputs{.phone = "1-  -  "}.hasInput());
    }

    void criteriaFromInputs() {
        const CityCriteria onlySurname = searchCriteria({.surname = "Ив'ан"});
        QCOMPARE(onlySurname.kalvex, LikeParameter{"_____"});
        QCOMPARE(onlySurname.dom, LikeParameter::anything());
        QCOMPARE(onlySurname.kv, LikeParameter::anything());
        QCOMPARE(onlySurname.filter, CityCriteria::Filter({"Ив'ан", ""}));
        // A typed "%" is a pattern like any other: unlike an input left empty, it does not
        // take entries without a value.
        const CityCriteria typed = searchCriteria({"1-2 -  ", "", " ул", "12а", "%"});
        QCOMPARE(typed.kalvex, LikeParameter{"12___"});
        QCOMPARE(typed.dom, LikeParameter{"12а"});
        QCOMPARE(typed.kv, LikeParameter{"%"});
        QCOMPARE(typed.filter.ul, QStringLiteral(" ул"));
    }
};

QTEST_GUILESS_MAIN(SearchRulesTest)
#include "test_search_rules.moc"
