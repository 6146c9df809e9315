// The phone texts and what a search asks of the city query.
#include <QTest>

#include "phone_text.h"
#include "search_request.h"

class SearchRulesTest : public QObject {
    Q_OBJECT

private slots:
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
