// telspr-demo: writes a directory file, or a directory on a PostgreSQL server, full of
// made-up entries of the town, for trying the program out and for measuring it.

#include "connection_settings.h"
#include "demo_directory.h"
#include "demo_server.h"
#include "tool_command.h"

namespace {

qint64 parseCount(const QString& text, const QString& option, qint64 limit) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < 0 || value > limit)
        throw Error(QStringLiteral("Значение --%1 должно быть целым числом от 0 до %2, а не «%3».")
                        .arg(option)
                        .arg(limit)
                        .arg(text));
    return value;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const DemoOptions defaults;
    ToolCommand command(
        app, QStringLiteral("telspr-demo"),
        QStringLiteral(
            "Создаёт новый файл телефонного справочника с правдоподобными вымышленными записями\n"
            "города (таблица tel) и личного справочника (таблица lich) и строит поисковый индекс.\n"
            "Один и тот же --seed даёт побайтно одинаковый файл. Существующий файл не трогается\n"
            "(код выхода 2), если не указан --force; с --force он заменяется только готовым "
            "новым.\n"
            "С --connection справочник создаётся в базе данных сервера PostgreSQL: таблицы, "
            "записи\n"
            "и поисковые индексы; если таблица tel или lich там уже есть, ничего не меняется.\n"
            "--city 0 --personal 0 создаёт пустой справочник.\n"
            "Коды выхода: 0 - файл создан, 1 - ошибка, 2 - файл уже существует."));
    QCommandLineParser& parser = command.parser();
    const QCommandLineOption city(
        QStringLiteral("city"),
        QStringLiteral("Число записей городского справочника (по умолчанию %1).")
            .arg(defaults.cityEntries),
        QStringLiteral("N"), QString::number(defaults.cityEntries));
    const QCommandLineOption personal(
        QStringLiteral("personal"),
        QStringLiteral("Число записей личного справочника (по умолчанию %1).")
            .arg(defaults.personalEntries),
        QStringLiteral("M"), QString::number(defaults.personalEntries));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Начальное число генератора, десятичное или 0x… "
                                                 "(по умолчанию %1).")
                                      .arg(defaults.seed),
                                  QStringLiteral("S"), QString::number(defaults.seed));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("Заменить существующий файл."));
    const QCommandLineOption connection(
        QStringLiteral("connection"),
        QStringLiteral(
            "Строка подключения вместо FILE: \"Data Source=путь\" (файл) или "
            "\"Provider=PostgreSQL;Data Source=postgresql://пользователь@сервер/база\"."),
        QStringLiteral("строка"));
    parser.addOptions({city, personal, seed, force, connection});
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("Файл справочника (по умолчанию tel.dll в текущей папке)."),
        QStringLiteral("[FILE]"));

    if (const std::optional<int> done = command.parse())
        return *done;
    try {
        const QStringList files = parser.positionalArguments();
        if (files.size() > 1)
            throw Error(QStringLiteral("Укажите не больше одного файла."));
        QString path = files.isEmpty() ? QStringLiteral("tel.dll") : files.first();
        std::optional<ConnectionSettings> server;
        if (parser.isSet(connection)) {
            if (!files.isEmpty())
                throw Error(QStringLiteral("Укажите либо FILE, либо --connection."));
            const ConnectionSettings settings = ConnectionSettings::parse(parser.value(connection));
            path = settings.dataSource;
            if (settings.provider == ConnectionSettings::Provider::PostgreSQL)
                server = settings;
        }

        DemoOptions options;
        options.cityEntries = parseCount(parser.value(city), QStringLiteral("city"), 100'000'000);
        options.personalEntries =
            parseCount(parser.value(personal), QStringLiteral("personal"), 1'000'000);
        bool ok = false;
        options.seed = parser.value(seed).toULongLong(&ok, 0);
        if (!ok)
            throw Error(QStringLiteral(
                            "Значение --seed должно быть неотрицательным целым числом, а не «%1».")
                            .arg(parser.value(seed)));
        options.replace = parser.isSet(force);

        if (server) {
            if (options.replace)
                throw Error(
                    QStringLiteral("--force не применяется к серверу: таблицы в базе "
                                   "данных не удаляются и не заменяются."));
            writeDemoServerDirectory(server->dataSource, options);
            ToolCommand::print(stdout,
                               QStringLiteral("Справочник создан на сервере: %1 записей городского "
                                              "справочника, %2 личного.\n")
                                   .arg(options.cityEntries)
                                   .arg(options.personalEntries));
            return 0;
        }
        writeDemoDirectory(path, options);
        ToolCommand::print(
            stdout,
            QStringLiteral("Файл «%1» создан: %2 записей городского справочника, %3 личного.\n")
                .arg(path)
                .arg(options.cityEntries)
                .arg(options.personalEntries));
        return 0;
    } catch (const DemoFileExists& e) {
        ToolCommand::print(stderr, e.text() + u'\n');
        return 2;
    } catch (const Error& e) {
        ToolCommand::print(stderr, e.text() + u'\n');
        return 1;
    }
}
