#include "system_reason.h"

#include <cerrno>
#include <cstring>

namespace {

struct Cause {
    int errnoValue;
    const char16_t* russian;
};

// The failures a user meets when saving or opening a file.
constexpr Cause kCauses[] = {
    {ENOSPC, u"на диске нет места"},
    {EDQUOT, u"исчерпана дисковая квота"},
    {EFBIG, u"файл больше, чем разрешено"},
    {EACCES, u"нет прав доступа"},
    {EPERM, u"операция не разрешена"},
    {EROFS, u"файловая система доступна только для чтения"},
    {ENOENT, u"нет такого файла или папки"},
    {ENOTDIR, u"часть пути — не папка"},
    {EISDIR, u"это папка, а не файл"},
    {ENAMETOOLONG, u"слишком длинное имя файла"},
    {EEXIST, u"файл уже существует"},
    {EBUSY, u"файл занят"},
    {ETXTBSY, u"файл занят"},
    {EMFILE, u"открыто слишком много файлов"},
    {ENFILE, u"открыто слишком много файлов"},
    {ENOMEM, u"не хватает памяти"},
    {EIO, u"ошибка ввода-вывода"},
    {EINVAL, u"недопустимое имя или значение"},
};

QString inBrackets(const QString& cause, const QString& own) {
    return own.isEmpty() ? cause : QStringLiteral("%1 (%2)").arg(cause, own);
}

bool holdsCyrillic(const QString& text) {
    for (QChar c : text)
        if (c.script() == QChar::Script_Cyrillic)
            return true;
    return false;
}

}  // namespace

QString systemReason(const QString& systemText) {
    // Words already Russian (Qt's translated texts) are the cause themselves.
    if (holdsCyrillic(systemText))
        return systemText;
    for (const Cause& cause : kCauses) {
        const QString text = QString::fromLocal8Bit(std::strerror(cause.errnoValue));
        if (systemText.contains(text, Qt::CaseInsensitive))
            return inBrackets(QString::fromUtf16(cause.russian), systemText);
    }
    return inBrackets(QStringLiteral("системная ошибка"), systemText);
}

QString systemReason(int errnoValue) {
    return systemReason(QString::fromLocal8Bit(std::strerror(errnoValue)));
}
