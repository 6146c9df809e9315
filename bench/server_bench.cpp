#include "server_bench.h"

#include <libpq-fe.h>

#include <cstdio>

#include "demo_server.h"
#include "directory.h"
#include "error.h"
#include "import_bench.h"
#include "load_bench.h"
#include "postgres/fold_sql.h"
#include "postgres/server_session.h"
#include "program_driver.h"
#include "sample.h"
#include "startup_bench.h"
#include "test_server.h"
#include "tool_baselines.h"

namespace {

struct ServerSearchCase {
    const char* work;
    SearchFields fields;
    QByteArray sql;   // the statement the program sends, its parameters written in
    QByteArray psql;  // what psql runs as the baseline; empty: `sql`
};

// Every search also demands a five-character phone, as the program's phone input does.
QList<ServerSearchCase> searchCases() {
    const QByteArray select = "SELECT key, tel, fam, ul, dom, kv FROM tel WHERE tel LIKE '_____'";
    const QByteArray fam = foldedSql("fam"), ul = foldedSql("ul");
    return {
        {"surname-prefix search \"Иванов\"",
         {.surname = QStringLiteral("Иванов")},
         select + " AND " + fam + " >= 'иванов' AND " + fam + " < 'иванож'",
         {}},
        {"street-prefix search \"Лен\"",
         {.street = QStringLiteral("Лен")},
         select + " AND " + ul + " >= 'лен' AND " + ul + " < 'лео'",
         {}},
        {"phone search \"12\" typed",
         {.phoneDigits = QStringLiteral("12")},
         "SELECT key, tel, fam, ul, dom, kv FROM tel WHERE " + foldedSql("tel") + " LIKE '12___'",
         {}},
        {"search for every entry with a house (house \"%\")",
         {.house = QStringLiteral("%")},
         select + " AND dom IS NOT NULL",
         "\\copy tel to /dev/null"},
    };
}

qint64 serverCount(const QString& uri, const QByteArray& sql) {
    ServerSession session(ServerAddress::parse(uri));
    const ServerResult result =
        session.run("SELECT count(*) FROM (" + sql + ") AS rows", QStringLiteral("counting rows"));
    return ServerSession::integer(result.get(), 0, 0);
}

double bytesPerRow(const CityQuery& tel) {
    return double(tel.bytesHeld()) / tel.recordCount();
}

}  // namespace

ServerBench::ServerBench(const BenchFiles& files, const BenchOptions& options, Report& report)
    : m_files(files), m_options(options), m_report(report) {}

void ServerBench::run() {
    TestServer& server = TestServer::instance();
    m_uri = server.uri(server.createDirectory());
    m_connectionString = QStringLiteral("Provider=PostgreSQL;Data Source=") + m_uri;
    std::fprintf(stderr, "  filling the server directory...\n");
    const double fill = timeMs([&] {
        writeDemoServerDirectory(m_uri, {.cityEntries = m_files.bigEntries, .personalEntries = 12});
    });
    m_report.add({QStringLiteral("fill the server directory (demo generator, COPY)"),
                  formatMs(fill), QStringLiteral("-"), QStringLiteral("-"),
                  QStringLiteral("report"), std::nullopt});
    m_report.note(QStringLiteral("server: PostgreSQL %1 started by tel_bench (initdb in a "
                                 "temporary folder, ICU Russian default collation), reached "
                                 "over 127.0.0.1 by the program and by psql alike: %2")
                      .arg(QString::number(PQlibVersion() / 10000), m_uri));
    if (!m_options.operators.isEmpty()) {
        LoadBench load(m_uri, m_options, m_report);
        load.run();
        return;
    }
    const auto group = [&](const char* name, void (ServerBench::*bench)()) {
        if (!m_options.wants(name))
            return;
        std::fprintf(stderr, "  %s...\n", name);
        (this->*bench)();
    };
    group("startup", &ServerBench::startup);
    group("import", &ServerBench::imports);
    group("search", &ServerBench::searches);
    group("memory", &ServerBench::memory);
}

void ServerBench::startup() {
    const Sample starts = timeServerStartups(m_connectionString, 3 * m_options.runs);
    m_report.add({QStringLiteral("start-up on the server directory to main window shown and idle"),
                  formatMs(starts.median()), QStringLiteral("-"), QStringLiteral("-"),
                  QStringLiteral("< 500 ms"), starts.median() < 500});
    m_report.note(QStringLiteral("server start-up: whole processes (tel_bench "
                                 "--startup-probe-server: Application + startProgram on the "
                                 "connection string, quit at the first idle moment after the "
                                 "first paint), spawn to exit; %1 runs after a warm-up.")
                      .arg(3 * m_options.runs));
}

void ServerBench::imports() {
    benchServerImport(m_options, m_report);
}

void ServerBench::searches() {
    ProgramDriver program(m_connectionString);
    CityQuery& tel = program.directory().tel;
    for (const ServerSearchCase& c : searchCases()) {
        const QString baseline = QString::fromUtf8(c.psql.isEmpty() ? c.sql : c.psql);
        Sample repaints;
        const auto [ours, psql] = collectPaired(
            m_options.runs,
            [&] {
                program.fillSearch(c.fields);
                const double ms = timeMs([&] { program.trigger("SearchAct"); });
                repaints.ms.push_back(timeMs([&] { program.idle(); }));
                return ms;
            },
            [&] { return timePsql(m_uri, baseline); });
        const qint64 expected = serverCount(m_uri, c.sql);
        if (tel.recordCount() != expected)
            throw Error(QStringLiteral("%1 found %2 rows on the server, %3 expected")
                            .arg(QString::fromUtf8(c.work))
                            .arg(tel.recordCount())
                            .arg(expected));
        const double ratio = ours.median() / psql.median();
        m_report.add(
            {QStringLiteral("server: %1 (%2 rows)").arg(QString::fromUtf8(c.work)).arg(expected),
             formatMs(ours.median()), formatMs(psql.median()), formatRatio(ratio),
             QStringLiteral("<= 1.0x"), ratio <= 1.0});
        m_report.note(QStringLiteral("server: %1: SearchAct to the rows in the grid model (the "
                                     "grid's repaint after it: %2 more); baseline: psql `%3`.")
                          .arg(QString::fromUtf8(c.work), formatMs(repaints.median()), baseline));
    }
}

void ServerBench::memory() {
    const CityCriteria all = [] {
        CityCriteria criteria = CityCriteria::everything();
        criteria.dom = LikeParameter{QStringLiteral("%")};
        return criteria;
    }();
    const auto held = [&](const QString& connectionString) {
        Directory directory(connectionString);
        directory.tel.setCriteria(all);
        directory.tel.open();
        return bytesPerRow(directory.tel);
    };
    const double server = held(m_connectionString);
    const double file = held(connectionStringFor(m_files.big));
    m_report.add({QStringLiteral("server: memory held per city entry, all entries with a house"),
                  QStringLiteral("%1 B/row").arg(server, 0, 'f', 1),
                  QStringLiteral("%1 B/row").arg(file, 0, 'f', 1), formatRatio(server / file),
                  QStringLiteral("<= the file's"), server <= file * 1.01});
    m_report.note(
        QStringLiteral("server memory: DataSet::bytesHeld() of `tel` per row after the "
                       "search for every entry with a house; baseline: the same on the "
                       "file with the same entries."));
}
