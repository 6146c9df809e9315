#include "matching.h"

namespace {

constexpr char16_t kCapitalA = u'А', kCapitalYa = u'Я', kSmallA = u'а', kSmallYa = u'я';
constexpr char16_t kCapitalYo = u'Ё', kSmallYo = u'ё', kSmallYe = u'е';

bool isWildcard(QChar c) {
    return c == u'%' || c == u'_';
}

}  // namespace

char16_t foldChar(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return char16_t(c + (u'a' - u'A'));
    if (c >= kCapitalA && c <= kCapitalYa)
        return char16_t(c + (kSmallA - kCapitalA));
    if (c == kCapitalYo || c == kSmallYo)
        return kSmallYe;
    return c;
}

QString foldText(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(folded.data());
    for (QChar c : text)
        *out++ = foldChar(c.unicode());
    return folded;
}

QByteArray foldUtf8(QByteArrayView utf8) {
    // Plain ASCII without capitals is by far the commonest value (phones, houses).
    bool unchanged = true;
    for (char b : utf8) {
        if ((b >= 'A' && b <= 'Z') || (b & 0x80)) {
            unchanged = false;
            break;
        }
    }
    if (unchanged)
        return utf8.toByteArray();
    return foldText(QString::fromUtf8(utf8)).toUtf8();
}

bool foldMatters(QStringView text) {
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            return true;
        if ((c >= kCapitalA && c <= kSmallYa) || c == kCapitalYo || c == kSmallYo)
            return true;
    }
    return false;
}

LikeShape LikeShape::of(QStringView pattern) {
    LikeShape shape;
    shape.folded = foldText(pattern);
    shape.matchesNothing = pattern.contains(QChar(0));
    shape.anyValue = !pattern.isEmpty() && pattern.count(u'%') == pattern.size();
    qsizetype wildcard = 0;
    while (wildcard < shape.folded.size() && !isWildcard(shape.folded[wildcard]))
        ++wildcard;
    shape.literalPrefix = shape.folded.left(wildcard);
    shape.literal = wildcard == shape.folded.size();
    shape.foldMatters = ::foldMatters(pattern);
    return shape;
}

LikeShape LikeShape::ofPrefix(QStringView prefix) {
    LikeShape shape;
    shape.folded = foldText(prefix);
    shape.literalPrefix = shape.folded;
    shape.matchesNothing = prefix.contains(QChar(0));
    shape.foldMatters = ::foldMatters(prefix);
    return shape;
}

std::optional<std::vector<SearchCondition>> searchConditions(const CityCriteria& criteria) {
    const std::pair<Field, const std::optional<LikeParameter>*> patterns[] = {
        {Field::Phone, &criteria.kalvex},
        {Field::House, &criteria.dom},
        {Field::Apartment, &criteria.kv}};
    const std::pair<Field, const QString*> prefixes[] = {{Field::Surname, &criteria.filter.fam},
                                                         {Field::Street, &criteria.filter.ul}};
    std::vector<SearchCondition> conditions;
    for (const auto& [field, parameter] : patterns) {
        if (!*parameter)
            return std::nullopt;
        conditions.push_back(
            {field, false, LikeShape::of((*parameter)->pattern), (*parameter)->orWithoutValue});
    }
    for (const auto& [field, text] : prefixes)
        if (!text->isEmpty())
            conditions.push_back({field, true, LikeShape::ofPrefix(*text)});
    std::erase_if(conditions, [](const SearchCondition& c) {
        return c.like.anyValue && c.orWithoutValue;  // every entry, with a value or without
    });
    for (const SearchCondition& c : conditions)
        if (c.like.matchesNothing)
            return std::nullopt;
    return conditions;
}
