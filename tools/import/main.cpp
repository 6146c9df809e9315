// telspr-import: loads a town's directory from a CSV file into a directory file, creating
// the file when it is missing.

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
    QCoreApplication app(argc, argv);
    ToolCommand command(
        app, QStringLiteral("telspr-import"),
        QStringLiteral(
            "Загружает записи из файла CSV в файл телефонного справочника: в городской "
            "справочник\n(таблица %1) или, с --personal, в личный (таблица %2). Первая строка "
            "файла -\nзаголовок с именами столбцов городского справочника: %3\n(личного: %4) "
            "в любом порядке и любом регистре букв; другие столбцы\nпропускаются. Пустое поле "
            "становится полем без значения. Нет файла справочника -\nон создаётся. При любой "
            "ошибке файл справочника остаётся прежним.\n"
            "Коды выхода: 0 - записи загружены, 1 - ошибка, ничего не загружено.")
            .arg(QLatin1StringView(kCityTable.name), QLatin1StringView(kPersonalTable.name),
                 columnNames(kCityTable), columnNames(kPersonalTable)));
    QCommandLineParser& parser = command.parser();
    const QCommandLineOption personal(QStringLiteral("personal"),
                                      QStringLiteral("Загрузить в личный справочник."));
    const QCommandLineOption into(
        QStringLiteral("into"),
        QStringLiteral("Файл справочника (по умолчанию tel.dll в текущей папке)."),
        QStringLiteral("FILE"), QStringLiteral("tel.dll"));
    parser.addOptions({personal, into});
    parser.addPositionalArgument(QStringLiteral("CSV"), QStringLiteral("Файл CSV с записями."),
                                 QStringLiteral("FILE.csv"));

    if (const std::optional<int> done = command.parse())
        return *done;
    try {
        const QStringList files = parser.positionalArguments();
        if (files.size() != 1)
            throw Error(QStringLiteral("Укажите один файл CSV. Справка: telspr-import --help"));
        const bool toPersonal = parser.isSet(personal);
        const DirectoryTable& table = toPersonal ? kPersonalTable : kCityTable;
        const QString path = parser.value(into);

        const ImportOutcome outcome = importCsv(files.first(), table, path);
        if (outcome.created)
            ToolCommand::print(stdout,
                               QStringLiteral("Создан новый файл справочника «%1».\n").arg(path));
        ToolCommand::print(
            stdout, QStringLiteral("Загружено записей в %1 справочник (таблица %2) файла "
                                   "«%3»: %4.\n")
                        .arg(toPersonal ? QStringLiteral("личный") : QStringLiteral("городской"),
                             QLatin1StringView(table.name), path)
                        .arg(outcome.entries));
        return 0;
    } catch (const Error& e) {
        ToolCommand::print(stderr, e.text() + u'\n');
        return 1;
    }
}
