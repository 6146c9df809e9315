// telspr-import: loads a town's directory from a CSV file into a directory file, creating
// the file when it is missing, or into a directory on a PostgreSQL server.

#include <sqlite3.h>

#include "columns.h"
#include "csv_import.h"
#include "error.h"
#include "tool_command.h"

namespace {

// "tel, fam, ul, dom, kv" as the table names its columns, lower-case.
QString columnNames(const DirectoryTable& table) {
    QStringList names;
    for (const Column& c : table.columns)
        names << QString::fromLatin1(c.name).toLower();
    return names.join(QStringLiteral(", "));
}

}  // namespace

int main(int argc, char* argv[]) {
    // SQLite's memory statistics take a lock at every allocation, millions of them in a load.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    QCoreApplication app(argc, argv);
    ToolCommand command(
        app, QStringLiteral("telspr-import"),
        QStringLiteral(
            "Загружает записи из файла CSV в телефонный справочник: в городской справочник\n"
            "(таблица %1) или, с --personal, в личный (таблица %2); другой справочник не\n"
            "меняется. Первая строка файла - заголовок с именами столбцов городского\n"
            "справочника: %3\n(личного: %4) в любом порядке и любом регистре\n"
            "букв; другие столбцы пропускаются. Поля разделены запятыми или, если в заголовке\n"
            "больше точек с запятой, точками с запятой. Пустое поле становится полем без\n"
            "значения.\n"
            "Справочник - файл (--into, по умолчанию tel.dll в текущей папке; нет файла - он\n"
            "создаётся) или база данных сервера PostgreSQL (--connection). Если в таблице уже\n"
            "есть записи, нужен --append или --replace. Все записи загружаются одной\n"
            "транзакцией: при любой ошибке справочник остаётся прежним.\n"
            "Коды выхода: 0 - записи загружены, 1 - ошибка, ничего не загружено.")
            .arg(QLatin1StringView(kCityTable.name), QLatin1StringView(kPersonalTable.name),
                 columnNames(kCityTable), columnNames(kPersonalTable)));
    QCommandLineParser& parser = command.parser();
    const QCommandLineOption personal(QStringLiteral("personal"),
                                      QStringLiteral("Загрузить в личный справочник."));
    const QCommandLineOption append(QStringLiteral("append"),
                                    QStringLiteral("Добавить записи к записям таблицы."));
    const QCommandLineOption replace(
        QStringLiteral("replace"),
        QStringLiteral("Заменить записи таблицы записями файла (ежегодное обновление)."));
    const QCommandLineOption into(
        QStringLiteral("into"),
        QStringLiteral("Файл справочника (по умолчанию tel.dll в текущей папке)."),
        QStringLiteral("FILE"));
    const QCommandLineOption connection(
        QStringLiteral("connection"),
        QStringLiteral(
            "Строка подключения вместо --into: \"Data Source=путь\" (файл) или "
            "\"Provider=PostgreSQL;Data Source=postgresql://пользователь@сервер/база\"."),
        QStringLiteral("строка"));
    parser.addOptions({personal, append, replace, into, connection});
    parser.addPositionalArgument(QStringLiteral("CSV"), QStringLiteral("Файл CSV с записями."),
                                 QStringLiteral("FILE.csv"));

    if (const std::optional<int> done = command.parse())
        return *done;
    try {
        const QStringList files = parser.positionalArguments();
        if (files.size() != 1)
            throw Error(QStringLiteral("Укажите один файл CSV. Справка: telspr-import --help"));
        if (parser.isSet(into) && parser.isSet(connection))
            throw Error(QStringLiteral("Укажите либо --into, либо --connection."));
        if (parser.isSet(append) && parser.isSet(replace))
            throw Error(QStringLiteral("Укажите либо --append, либо --replace."));
        ConnectionSettings target;
        if (parser.isSet(connection))
            target = ConnectionSettings::parse(parser.value(connection));
        else
            target.dataSource = parser.isSet(into) ? parser.value(into) : QStringLiteral("tel.dll");
        const ImportMode mode = parser.isSet(append)    ? ImportMode::Append
                                : parser.isSet(replace) ? ImportMode::Replace
                                                        : ImportMode::IntoEmpty;
        const bool toPersonal = parser.isSet(personal);
        const DirectoryTable& table = toPersonal ? kPersonalTable : kCityTable;

        const ImportOutcome outcome = importCsv(files.first(), table, target, mode);
        const QString which = toPersonal ? QStringLiteral("личный") : QStringLiteral("городской");
        if (outcome.created)
            ToolCommand::print(
                stdout,
                QStringLiteral("Создан новый файл справочника «%1».\n").arg(target.dataSource));
        if (mode == ImportMode::Replace)
            ToolCommand::print(
                stdout, QStringLiteral("Удалено прежних записей (таблица %1): %2.\n")
                            .arg(QLatin1StringView(table.name), QString::number(outcome.removed)));
        // One arg() for all: a server's URI may hold "%3D".
        ToolCommand::print(stdout,
                           QStringLiteral("Загружено записей в %1 справочник (таблица %2) «%3»: "
                                          "%4.\n")
                               .arg(which, QLatin1StringView(table.name), target.dataSource,
                                    QString::number(outcome.entries)));
        return 0;
    } catch (const Error& e) {
        ToolCommand::print(stderr, e.text() + u'\n');
        return 1;
    }
}
