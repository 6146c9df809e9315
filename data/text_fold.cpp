#include "text_fold.h"

#include <sqlite3.h>

#include "statement.h"

namespace {

constexpr char16_t kCapitalA = u'А', kCapitalYa = u'Я', kSmallA = u'а', kSmallYa = u'я';
constexpr char16_t kCapitalYo = u'Ё', kSmallYo = u'ё', kSmallYe = u'е';

void sqlFold(sqlite3_context* context, int, sqlite3_value** args) {
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
    const QByteArray folded = foldUtf8(QByteArrayView(text, sqlite3_value_bytes(args[0])));
    sqlite3_result_text(context, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
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

void registerFoldFunction(sqlite3* db) {
    const int rc = sqlite3_create_function_v2(db, "fold", 1,
                                              SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                              nullptr, sqlFold, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throwSqliteError(db, rc, QStringLiteral("Не удалось подготовить поиск"));
}
