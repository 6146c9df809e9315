#include "command_line.h"

#include <QCommandLineParser>

#include "connection_settings.h"
#include "error.h"
#include "program_version.h"
#include "storage_engine.h"

namespace {

const QString kHelp = QStringLiteral(
    "Телефонный справочник г.Ольмарск.\n"
    "\n"
    "Использование: telspr [--connection \"<строка подключения>\"]\n"
    "\n"
    "Параметры:\n"
    "  --connection <строка>  Справочник, с которым работать. Без этого параметра -\n"
    "                         файл tel.dll в рабочей папке. Файл в другом месте:\n"
    "                           \"Data Source=/путь/к/справочнику.dll\"\n"
    "                         Справочник на сервере PostgreSQL:\n"
    "                           \"Provider=PostgreSQL;Data Source=postgresql://"
    "пользователь@сервер:порт/база\"\n"
    "                         Пароль в строке не указывается: его берут из файла\n"
    "                         ~/.pgpass или переменной PGPASSWORD.\n"
    "  -h, --help             Показать эту справку.\n"
    "  -v, --version          Показать версию программы.\n");

CommandLine mistake(const QString& text) {
    return {QString(), text + QStringLiteral("\nСправка: telspr --help"), 2};
}

}  // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption connection(QStringLiteral("connection"), QString(),
                                        QStringLiteral("строка"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({connection, help, version});
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return mistake(QStringLiteral("Неизвестный параметр: «%1».").arg(unknown.first()));
        return mistake(QStringLiteral("После --connection нужна строка подключения."));
    }
    if (parser.isSet(help))
        return {QString(), kHelp, 0};
    if (parser.isSet(version))
        return {QString(), versionAnswer() + u'\n', 0};
    if (!parser.positionalArguments().isEmpty())
        return mistake(
            QStringLiteral("Лишний аргумент: «%1».").arg(parser.positionalArguments().first()));
    if (!parser.isSet(connection))
        return {QString::fromLatin1(kConnectionString), QString(), 0};
    const QString connectionString = parser.value(connection);
    try {
        makeStorageEngine(connectionString);  // reads the string; connects to nothing
    } catch (const Error& e) {
        return mistake(e.text());
    }
    return {connectionString, QString(), 0};
}
