// The city query: its three LIKE parameters and its prefix filter, with and without the
// search index in the file. Both ways must find exactly the same entries.
#include <QTest>

#include "directory.h"
#include "error.h"
#include "test_directory.h"

namespace {

const QList<TestEntry> kEntries = {
    cityEntry("12345", "Иванов И.И.", "Ленина", "12", "5"),
    cityEntry("12999", "иванова А.П.", "ленинградская", "12а", "15"),
    cityEntry("23456", "ИВАНОВСКИЙ П.П.", "Мира", "12А", {}),
    cityEntry("34567", "Ёлкин Е.Е.", "Садовая", "7/2", "1"),
    cityEntry("45678", "Елкина Ж.Ж.", "садовая", "7", "10"),
    cityEntry("56789", "О'Брайен Д.", "Набережная", "%", "_"),
    cityEntry("1234", "Smith J.", "Baker St", "221b", "2"),
    cityEntry("67890", "Яя Я.", "Ясная", "1", "1"),
    cityEntry("67891", "Й.", "Ясная", "1", "1"),
    cityEntry("78901", {}, {}, {}, {}),
    cityEntry("89012", "", "", "", ""),
    cityEntry("90123", "Жуков Ж.Ж.", "Лесная", "1ё", "2Е"),
    // Six digits: only the searches below that ask for six places meet it.
    cityEntry("123456", QString::fromUcs4(U"\U0010FFFF\U0010FFFF ъ"), "\uD7FF", {}, {}),
};

// House and apartment without a value stand for an input left empty.
struct Search {
    QString phone = QStringLiteral("_____");
    std::optional<QString> house = {}, apartment = {};
    QString surname = QString(), street = QString();

    CityCriteria criteria() const {
        const auto typed = [](const std::optional<QString>& input) {
            return input ? LikeParameter{*input} : LikeParameter::anything();
        };
        return {LikeParameter{phone}, typed(house), typed(apartment), {surname, street}};
    }
};

}  // namespace

Q_DECLARE_METATYPE(Search)

class CitySearchTest : public QObject {
    Q_OBJECT

    QStringList find(bool indexed, const Search& s) {
        TestDirectory file(indexed);
        for (const TestEntry& e : kEntries)
            file.addCity(e);
        Directory directory(file.connectionString());
        CityQuery& tel = directory.tel;
        tel.setCriteria(s.criteria());
        tel.open();
        QStringList phones;
        for (int r = 0; r < tel.recordCount(); ++r)
            phones << tel.value(r, 0).value_or("null");
        phones.sort();
        return phones;
    }

private slots:
    void matrix_data() {
        QTest::addColumn<bool>("indexed");
        QTest::addColumn<Search>("search");
        QTest::addColumn<QStringList>("expected");
        struct Case {
            const char* name;
            Search search;
            QStringList expected;
        };
        const QList<Case> cases = {
            {"every five-digit phone",
             {},
             {"12345", "12999", "23456", "34567", "45678", "56789", "67890", "67891", "78901",
              "89012", "90123"}},
            {"phone prefix", {"12___"}, {"12345", "12999"}},
            {"phone pattern with a gap", {"_2___"}, {"12345", "12999"}},
            {"four-digit phone only by its own length", {"____"}, {"1234"}},
            {"surname prefix ignores case", {.surname = "иван"}, {"12345", "12999", "23456"}},
            {"surname prefix in capitals", {.surname = "ИВАНОВА"}, {"12999"}},
            {"Ё and Е are the same letter", {.surname = "елкин"}, {"34567", "45678"}},
            {"Ё typed finds Е stored", {.surname = "ЁЛКИНА"}, {"45678"}},
            {"prefix ending in я", {.surname = "Яя"}, {"67890"}},
            {"prefix ending in Я excludes Й", {.surname = "ЯЯ Я"}, {"67890"}},
            {"a quote is an ordinary character", {.surname = "О'Б"}, {"56789"}},
            {"Latin prefix", {.phone = "____", .surname = "sMi"}, {"1234"}},
            {"street prefix", {.street = "ленин"}, {"12345", "12999"}},
            {"street and surname together", {.surname = "Иванова", .street = "Лен"}, {"12999"}},
            {"house exactly as typed, case ignored", {.house = "12а"}, {"12999", "23456"}},
            {"house with a slash", {.house = "7/2"}, {"34567"}},
            {"% typed into the house is a wildcard", {.house = "7%"}, {"34567", "45678"}},
            {"_ typed into the apartment is a wildcard",
             {.apartment = "_"},
             {"12345", "34567", "56789", "67890", "67891"}},
            {"_ stands for a character, whatever its bytes",
             {.apartment = "__"},
             {"12999", "45678", "90123"}},
            {"___% asks for three characters or more",
             {.house = "___%"},
             {"12999", "23456", "34567"}},
            {"empty house matches only empty houses", {.house = ""}, {"89012"}},
            {"%% does not match a house without a value",
             {.house = "%%"},
             {"12345", "12999", "23456", "34567", "45678", "56789", "67890", "67891", "89012",
              "90123"}},
            {"% typed finds what %% finds",
             {.house = "%"},
             {"12345", "12999", "23456", "34567", "45678", "56789", "67890", "67891", "89012",
              "90123"}},
            {"an apartment left empty also finds one without a value",
             {.house = "12%"},
             {"12345", "12999", "23456"}},
            {"% typed into the apartment does not",
             {.house = "12%", .apartment = "%"},
             {"12345", "12999"}},
            {"Е typed finds ё stored in the house", {.house = "1Е"}, {"90123"}},
            {"ё typed finds Е stored, beside a wildcard", {.apartment = "_ё"}, {"90123"}},
            {"pattern characters of GLOB are literal", {.house = "[*]"}, {}},
            {"half a surrogate pair is no wildcard", {.house = QChar(0xD800) + QString("%")}, {}},
            {"nothing found", {.surname = "Щукин"}, {}},
            {"an empty surname input restricts nothing", {.phone = "7____"}, {"78901"}},
            {"phone, house and apartment", {"12___", "12%", "5"}, {"12345"}},
            {"a prefix of the last character there is, with nothing above it",
             {.phone = "______", .surname = QString::fromUcs4(U"\U0010FFFF")},
             {"123456"}},
            {"a prefix just below the surrogates",
             {.phone = "______", .street = "\uD7FF"},
             {"123456"}},
        };
        for (bool indexed : {true, false}) {
            for (const Case& c : cases) {
                QTest::newRow(
                    qPrintable(QString::fromUtf8(c.name) + (indexed ? " (index)" : " (no index)")))
                    << indexed << c.search << c.expected;
            }
        }
    }
    void matrix() {
        QFETCH(bool, indexed);
        QFETCH(Search, search);
        QFETCH(QStringList, expected);
        expected.sort();
        QCOMPARE(find(indexed, search), expected);
    }

    void parametersWithoutAValueSelectNothing() {
        TestDirectory file;
        for (const TestEntry& e : kEntries)
            file.addCity(e);
        Directory directory(file.connectionString());
        CityCriteria criteria = CityCriteria::everything();
        criteria.dom.reset();
        directory.tel.setCriteria(criteria);
        directory.tel.open();
        QCOMPARE(directory.tel.recordCount(), 0);
    }

    void parametersAndFilterStayBetweenOpenings() {
        TestDirectory file;
        for (const TestEntry& e : kEntries)
            file.addCity(e);
        Directory directory(file.connectionString());
        CityQuery& tel = directory.tel;
        tel.setCriteria(Search{.surname = "Ив"}.criteria());
        tel.open();
        tel.close();
        tel.open();
        QCOMPARE(tel.recordCount(), 3);
    }
};

QTEST_GUILESS_MAIN(CitySearchTest)
#include "test_city_search.moc"
