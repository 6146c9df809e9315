#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>
#include <span>
#include <vector>

// The directory's shape, in one place: the two tables, their columns in field order and
// everything the program shows or writes of each column. The schema and the search index,
// the engines, the grid, the three outputs and the copy into the personal directory all read
// these tables; nothing else names a column.

// What a column holds. Both directories have the first five, in this order; the personal
// directory adds the mobile number.
enum class Field { Phone, Surname, Street, House, Apartment, Mobile };

// Printed without filling (the phone), or not printed at all (the mobile number).
inline constexpr int kPrintedAsIs = 0;
inline constexpr int kNotPrinted = -1;

struct Column {
    Field field;
    const char* name;     // as the table declares it (the personal street is "Ul")
    int size;             // the most characters a value may have
    int displayWidth;     // grid column width, in characters
    QStringView heading;  // the label over the grid column; messages name the field so
    QStringView header;   // heading of the column in the HTML table and the worksheet
    double sheetWidth;    // worksheet column width, in digits of the standard font
    int printWidth;       // filled out with spaces to this many characters when printed
};

// The characters of UTF-8 text, as a column's size counts them (and the server's LIKE '_'):
// every byte but a continuation byte starts one.
constexpr qsizetype utf8Characters(QByteArrayView utf8) {
    qsizetype count = 0;
    for (char byte : utf8)
        count += (byte & 0xC0) != 0x80;
    return count;
}

struct DirectoryTable {
    const char* name;  // the table in the database
    std::span<const Column> columns;

    int indexOf(Field field) const;           // -1 when the table has no such column
    int indexOf(QStringView name) const;      // ignores letter case; -1 when there is none
    const Column& column(Field field) const;  // the table must have it
};

// An entry of table `from` (its values in field order) as an entry of table `into`: each
// field takes the value of the field that holds the same, and a field `from` lacks takes
// `lacking`; a value `into` has no field for is left out.
std::vector<std::optional<QString>> carriedOver(const DirectoryTable& from,
                                                std::span<const std::optional<QString>> values,
                                                const DirectoryTable& into,
                                                const std::optional<QString>& lacking);

inline constexpr Column kCityColumns[] = {
    {Field::Phone, "tel", 7, 8, u"Телефон", u"Телефон", 10, kPrintedAsIs},
    {Field::Surname, "fam", 30, 28, u"Фамилия И.О.", u"ФИО", 30, 30},
    {Field::Street, "ul", 30, 28, u"Улица", u"Улица", 30, 30},
    {Field::House, "dom", 5, 7, u"№ дома", u"№ дома", 11, 5},
    {Field::Apartment, "kv", 5, 9, u"Квартира", u"№ квартиры", 14, 5},
};

// The apartment column is one character narrower in the grid than in the city directory.
inline constexpr Column kPersonalColumns[] = {
    {Field::Phone, "tel", 7, 8, u"Телефон", u"Телефон", 10, kPrintedAsIs},
    {Field::Surname, "fam", 30, 28, u"Фамилия И.О.", u"ФИО", 30, 30},
    {Field::Street, "Ul", 30, 28, u"Улица", u"Улица", 30, 30},
    {Field::House, "dom", 5, 7, u"№ дома", u"№ дома", 11, 5},
    {Field::Apartment, "kv", 5, 8, u"Квартира", u"№ квартиры", 14, 5},
    {Field::Mobile, "mob", 30, 21, u"Мобильник", u"Мобильник", 30, kNotPrinted},
};

// The city directory `tel` and the personal directory `lich`. Each has, besides these
// columns, an engine-assigned integer `key` that is never shown.
inline constexpr DirectoryTable kCityTable{"tel", kCityColumns};
inline constexpr DirectoryTable kPersonalTable{"lich", kPersonalColumns};
inline constexpr const DirectoryTable* kDirectoryTables[] = {&kCityTable, &kPersonalTable};

// The name of the key column, which both tables have.
inline constexpr char kKeyColumn[] = "key";
