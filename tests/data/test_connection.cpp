// Opening the directory file: the connection string, and the files that cannot be used; and
// an entry carried over from one directory's table into the other's.
#include <QDir>
#include <QFile>
#include <QTest>

#include "connection.h"
#include "connection_settings.h"
#include "directory.h"
#include "error.h"
#include "error_of.h"
#include "postgres/server_address.h"
#include "sqlite/schema.h"
#include "test_directory.h"

class ConnectionTest : public QObject {
    Q_OBJECT

    static QString openError(const QString& connectionString) {
        Connection connection(connectionString);
        return errorOf([&] { connection.open(); });
    }

    static QString connectionTo(const QString& path) {
        return QString::fromLatin1(kConnectionString)
            .replace("Data Source=tel.dll", "Data Source=" + path);
    }

private slots:
    void settingsComeFromTheConnectionString() {
        const auto settings = ConnectionSettings::parse(QString::fromLatin1(kConnectionString));
        QCOMPARE(settings.dataSource, QStringLiteral("tel.dll"));
        QVERIFY(settings.readWrite);
        QVERIFY_THROWS_EXCEPTION(Error, ConnectionSettings::parse(QStringLiteral("Mode=Read")));
        // A file named on the command line, as the help shows it, is edited too.
        QVERIFY(ConnectionSettings::parse(QStringLiteral("Data Source=/a/b.dll")).readWrite);
        QVERIFY(
            !ConnectionSettings::parse(QStringLiteral("Data Source=b.dll;Mode=Read")).readWrite);
        const auto server = ConnectionSettings::parse(
            QStringLiteral("Provider=PostgreSQL;Data Source=postgresql://u@h:5/d"));
        QCOMPARE(server.provider, ConnectionSettings::Provider::PostgreSQL);
        QCOMPARE(server.dataSource, QStringLiteral("postgresql://u@h:5/d"));
    }

    // How messages name a server directory before a connection says which server answered.
    void aServerAddressNamesEveryServerItLists_data() {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("named");
        QTest::newRow("one host") << "postgresql://u@dbhost:5433/tel"
                                  << "сервер «dbhost:5433», база данных «tel»";
        QTest::newRow("two hosts, one port each")
            << "postgresql://u@h1:5432,h2:5433/tel?target_session_attrs=read-write"
            << "серверы «h1:5432, h2:5433», база данных «tel»";
        QTest::newRow("two hosts, one port for both")
            << "host=h1,h2 port=6000 dbname=tel"
            << "серверы «h1:6000, h2:6000», база данных «tel»";
        QTest::newRow("IPv6 address") << "postgresql://u@[::1]/tel"
                                      << "сервер «[::1]:5432», база данных «tel»";
        // No host: libpq uses the Unix socket in Debian's folder, not "localhost".
        QTest::newRow("default socket")
            << "postgresql:///tel"
            << "сервер «/var/run/postgresql/.s.PGSQL.5432», база данных «tel»";
        QTest::newRow("socket folder") << "postgresql://u@%2Ftmp%2Fpg:6000/tel"
                                       << "сервер «/tmp/pg/.s.PGSQL.6000», база данных «tel»";
    }
    void aServerAddressNamesEveryServerItLists() {
        QFETCH(QString, uri);
        QFETCH(QString, named);
        QCOMPARE(ServerAddress::parse(uri).describe(), named);
    }

    void fileIsLookedUpInTheWorkingDirectory() {
        TestDirectory file;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(file.folder());
        Connection connection(QString::fromLatin1(kConnectionString));
        connection.open();
        QVERIFY(connection.isOpen());
        QDir::setCurrent(previous);
    }

    void unusableFilesGiveAClearErrorAndStayAsTheyWere_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("setupSql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("random bytes")
            << QByteArray(8192, '\x5a') << QString() << "не является базой";
        QTest::newRow("empty file") << QByteArray() << QString() << "нет таблицы «tel»";
        QTest::newRow("no tables")
            << QByteArray("sqlite") << QString("CREATE TABLE other (x)") << "нет таблицы «tel»";
        QTest::newRow("missing column")
            << QByteArray("sqlite")
            << QString(
                   "CREATE TABLE tel (key INTEGER PRIMARY KEY, tel TEXT, fam TEXT, ul TEXT, dom "
                   "TEXT);"
                   "CREATE TABLE lich (key INTEGER PRIMARY KEY, tel, fam, ul, dom, kv, mob)")
            << "нет столбца «kv»";
        QTest::newRow("numeric text column")
            << QByteArray("sqlite")
            << QString(
                   "CREATE TABLE tel (key INTEGER PRIMARY KEY, tel INTEGER, fam, ul, dom, kv);"
                   "CREATE TABLE lich (key INTEGER PRIMARY KEY, tel, fam, ul, dom, kv, mob)")
            << "должен быть текстовым";
        QTest::newRow("no integer key")
            << QByteArray("sqlite")
            << QString(
                   "CREATE TABLE tel (key TEXT, tel, fam, ul, dom, kv);"
                   "CREATE TABLE lich (key INTEGER PRIMARY KEY, tel, fam, ul, dom, kv, mob)")
            << "целочисленным";
    }
    void unusableFilesGiveAClearErrorAndStayAsTheyWere() {
        QFETCH(QByteArray, content);
        QFETCH(QString, setupSql);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("tel.dll");
        if (content == "sqlite") {
            runSqlite3(path, setupSql);
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        QFile before(path);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        before.close();

        const QString error = openError(connectionTo(path));
        QVERIFY2(error.contains(expected), qPrintable(error));
        QVERIFY2(error.contains(u"tel.dll"), qPrintable(error));
        QVERIFY(before.open(QIODevice::ReadOnly));
        QCOMPARE(before.readAll(), bytes);
    }

    void missingFileIsNotCreated() {
        QTemporaryDir dir;
        const QString path = dir.filePath("tel.dll");
        const QString error = openError(connectionTo(path));
        QVERIFY2(error.contains(u"не найден") && error.contains(u"tel.dll"), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }

    void folderInPlaceOfTheFileIsRefused() {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("tel.dll");
        QVERIFY(openError(connectionTo(dir.filePath("tel.dll"))).contains(u"не файл"));
    }

    void dataSetRetriesTheConnectionWhenOpened() {
        QTemporaryDir dir;
        const QString path = dir.filePath("tel.dll");
        Directory directory(connectionTo(path));
        QVERIFY_THROWS_EXCEPTION(Error, directory.licht.open());
        QVERIFY(!directory.licht.isOpen());
        initDatabase(path);
        directory.licht.open();  // the file exists now: the connection opens on this try
        QVERIFY(directory.connection.isOpen());
        QVERIFY(directory.licht.isOpen());
    }

    void fileWithoutTheSearchIndexStillOpens() {
        TestDirectory file(false);
        Connection connection(file.connectionString());
        connection.open();
        QVERIFY(!connection.hasSearchIndex());
        TestDirectory indexed;
        Connection other(indexed.connectionString());
        other.open();
        QVERIFY(other.hasSearchIndex());
    }

    void initRefusesAnExistingFile() {
        TestDirectory file;
        QVERIFY_THROWS_EXCEPTION(Error, initDatabase(file.path()));
        QCOMPARE(runSqlite3(file.path(), "SELECT count(*) FROM sqlite_master WHERE name = 'tel'"),
                 "1");
    }

    // Copying a city entry into the personal directory matches fields by what they hold,
    // also when the personal table lacks one of the city's (here the street).
    void anEntryIsCarriedOverFieldByField() {
        const Column noStreet[] = {kPersonalColumns[0], kPersonalColumns[1], kPersonalColumns[3],
                                   kPersonalColumns[4], kPersonalColumns[5]};
        const Value city[] = {"1", "Ким", "Мира", {}, "5"};
        QCOMPARE(carriedOver(kCityTable, city, DirectoryTable{"lich", noStreet}, QString()),
                 (std::vector<Value>{"1", "Ким", {}, "5", ""}));
        QCOMPARE(carriedOver(kCityTable, city, kPersonalTable, QString()),
                 (std::vector<Value>{"1", "Ким", "Мира", {}, "5", ""}));
    }
};

QTEST_GUILESS_MAIN(ConnectionTest)
#include "test_connection.moc"
