// The directory's text order and matching fold.
#include <QCollator>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include "matching.h"
#include "sqlite/city_search.h"
#include "text_order.h"

class TextOrderTest : public QObject {
    Q_OBJECT

    static QStringList sorted(const QList<std::optional<QString>>& values) {
        std::vector<QByteArray> utf8;
        for (const auto& v : values)
            utf8.push_back(v ? v->toUtf8() : QByteArray());
        std::vector<std::optional<QByteArrayView>> texts;
        for (size_t i = 0; i < utf8.size(); ++i)
            texts.push_back(values[qsizetype(i)] ? std::optional<QByteArrayView>(utf8[i])
                                                 : std::nullopt);
        QStringList result;
        for (uint32_t i : TextOrder::russian().sortedOrder(texts))
            result << values[i].value_or("<null>");
        return result;
    }

private slots:
    // Should the collator on this system stop agreeing with the compact keys, every sort
    // would still come out right, only slower: the warning is the one sign of it.
    void compactKeysServeTheRussianOrder() {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("TextOrder")));
        const TextOrder order(QLocale(QLocale::Russian, QLocale::Russia));
        const std::vector<std::optional<QByteArrayView>> texts = {"б", "А"};
        QCOMPARE(order.sortedOrder(texts), std::vector<uint32_t>({1, 0}));
    }

    void russianOrderIgnoringCase() {
        QCOMPARE(sorted({"яблоко",
                         "Абрамов",
                         "ёлка",
                         "Елкин",
                         "ежов",
                         "Zebra",
                         "apple",
                         "12",
                         "9",
                         {},
                         "",
                         "Иванов И.",
                         "Иванова",
                         "иванов"}),
                 QStringList({"<null>", "", "12", "9", "Абрамов", "ежов", "ёлка", "Елкин", "иванов",
                              "Иванов И.", "Иванова", "яблоко", "apple", "Zebra"}));
    }

    void yoSortsWithYeAfterItWhenAllElseIsEqual() {
        QCOMPARE(sorted({"Семёнов", "Семенов", "Семенова", "СЕМЁНОВ", "семенов"}),
                 QStringList({"Семенов", "семенов", "Семёнов", "СЕМЁНОВ", "Семенова"}));
    }

    void longTextsBeyondTheKeyAreOrderedInFull() {
        const QString stem = QStringLiteral("Константинопольский-Оглы ");  // longer than the key
        QCOMPARE(sorted({stem + "Я.", stem + "А.", stem + "Б.", stem + "а."}),
                 QStringList({stem + "А.", stem + "а.", stem + "Б.", stem + "Я."}));
    }

    void textsOutsideTheFastAlphabetStillSortByTheCollator() {
        QCollator collator(QLocale(QLocale::Russian, QLocale::Russia));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        QStringList expected = {"Ω", "Б", "№5", "а", "А", "中"};
        std::stable_sort(expected.begin(), expected.end(), [&](const QString& a, const QString& b) {
            return collator.compare(a, b) < 0;
        });
        expected.prepend("<null>");
        QCOMPARE(sorted({"Ω", "Б", "№5", "а", {}, "А", "中"}), expected);
    }

    // The compact keys must agree with the collator on any mix of the characters they rank.
    void agreesWithTheCollatorOnRandomTexts() {
        QCollator collator(QLocale(QLocale::Russian, QLocale::Russia));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        const QString alphabet = QStringLiteral("аеёжиклмнопяАЕЁЖИЯabzAZ019 .-/'\"(),_%");
        QRandomGenerator random(20041);
        QList<std::optional<QString>> values;
        for (int i = 0; i < 4000; ++i) {
            QString s;
            const int length = random.bounded(0, 24);
            for (int j = 0; j < length; ++j)
                s += alphabet[random.bounded(int(alphabet.size()))];
            values << s;
        }
        const QStringList result = sorted(values);
        for (int i = 1; i < result.size(); ++i)
            QVERIFY2(collator.compare(result[i - 1], result[i]) <= 0,
                     qPrintable(result[i - 1] + " > " + result[i]));
    }

    void foldIgnoresCaseAndYo() {
        QCOMPARE(foldText(u"ЁЛКИН ёлкин Ivanov №7"), QStringLiteral("елкин елкин ivanov №7"));
        QCOMPARE(foldUtf8("Семёнов 12А"), QStringLiteral("семенов 12а").toUtf8());
        QVERIFY(!foldMatters(u"12/3 %_"));
        QVERIFY(foldMatters(u"12а"));
    }

    void likePatternsBecomeExactGlobPatterns() {
        const auto p = LikeShape::of(QStringLiteral("1_А%*?["));
        QCOMPARE(globPattern(p.folded), QByteArray("1?а*[*][?][[]"));
        QCOMPARE(p.literalPrefix, QStringLiteral("1"));
        QVERIFY(LikeShape::of(u"%").anyValue && LikeShape::of(u"%%").anyValue);
        QVERIFY(!LikeShape::of(u"%1").anyValue && !LikeShape::of(u"").anyValue);
        QVERIFY(LikeShape::of(QString(QChar(0))).matchesNothing);
    }
};

QTEST_GUILESS_MAIN(TextOrderTest)
#include "test_text_order.moc"
