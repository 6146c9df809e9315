#include "directory_fields.h"

QList<FieldDef> cityFields() {
    return {
        {QStringLiteral("tel"), QStringLiteral("Телефон"), 7, 8},
        {QStringLiteral("fam"), QStringLiteral("Фамилия И.О."), 30, 28},
        {QStringLiteral("ul"), QStringLiteral("Улица"), 30, 28},
        {QStringLiteral("dom"), QStringLiteral("№ дома"), 5, 7},
        {QStringLiteral("kv"), QStringLiteral("№ квартиры"), 5, 9},
    };
}

QList<FieldDef> personalFields() {
    return {
        {QStringLiteral("tel"), QStringLiteral("Телефон"), 7, 8},
        {QStringLiteral("fam"), QStringLiteral("Фамилия И.О."), 30, 28},
        {QStringLiteral("Ul"), QStringLiteral("Улица"), 30, 28},
        {QStringLiteral("dom"), QStringLiteral("№ дома"), 5, 7},
        {QStringLiteral("kv"), QStringLiteral("№ квартиры"), 5, 8},
        {QStringLiteral("mob"), QStringLiteral("Мобильник"), 30, 21},
    };
}
