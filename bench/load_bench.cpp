#include "load_bench.h"

#include <libpq-fe.h>

#include <cstdio>
#include <numeric>
#include <thread>

#include "error.h"
#include "postgres/server_session.h"
#include "sample.h"

namespace {

constexpr int kHotEntries = 4;
// The goal: a surname search of about twenty entries this fast at the 99th percentile, with
// this many operators at work.
constexpr double kSurnameP99GoalMs = 50;
constexpr int kGoalOperators = 32;

const char* const kOperationNames[kOperations] = {
    "surname-prefix search (a surname with initials)",
    "street and house search",
    "phone search (a number, or its first four digits)",
    "search for a hot entry",
    "edit of an entry found: save",
    "edit of a hot entry: save",
    "add: save",
    "delete",
};

QList<QStringList> rows(ServerSession& session, const QByteArray& sql) {
    const ServerResult result = session.run(sql, QStringLiteral("reading the directory"));
    QList<QStringList> list;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        QStringList fields;
        for (int column = 0; column < PQnfields(result.get()); ++column)
            fields << QString::fromUtf8(ServerSession::text(result.get(), row, column));
        list.append(fields);
    }
    if (list.isEmpty())
        throw Error(
            QStringLiteral("the directory has nothing for: %1").arg(QString::fromUtf8(sql)));
    return list;
}

// The entries of the given keys as the server holds them now.
QHash<qint64, EntryFields> serverEntries(const QString& uri, const std::vector<qint64>& keys) {
    QByteArray array = "{";
    for (qint64 key : keys)
        array += (array.size() > 1 ? "," : "") + QByteArray::number(key);
    array += '}';
    ServerSession session(ServerAddress::parse(uri));
    ServerParameters parameters;
    const QByteArray sql = "SELECT key::int8, tel, fam, ul, dom, kv FROM tel WHERE key = ANY(" +
                           parameters.text(QByteArrayView(array)) + "::int8[])";
    const ServerResult result =
        session.run(sql, parameters, QStringLiteral("reading the entries written"));
    QHash<qint64, EntryFields> entries;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        EntryFields fields;
        for (int c = 0; c < int(fields.size()); ++c)
            if (!PQgetisnull(result.get(), row, c + 1))
                fields[size_t(c)] =
                    QString::fromUtf8(ServerSession::text(result.get(), row, c + 1));
        entries.insert(ServerSession::integer(result.get(), row, 0), fields);
    }
    return entries;
}

// Per operation: how many were done and how fast, and how many were refused or failed.
QString loadTable(const OperatorTally& total, int operators, double seconds) {
    const auto count = [](int n) { return n ? QString::number(n) : QStringLiteral("-"); };
    QList<QStringList> lines{{QStringLiteral("%1 operators, %2 s").arg(operators).arg(seconds),
                              QStringLiteral("Done"), QStringLiteral("Per second"),
                              QStringLiteral("Median"), QStringLiteral("p99"),
                              QStringLiteral("Refused"), QStringLiteral("Failed")}};
    for (size_t op = 0; op < size_t(kOperations); ++op) {
        const Sample s{total.ms[op]};
        const bool any = !s.ms.empty();
        lines.append({QString::fromUtf8(kOperationNames[op]), QString::number(s.ms.size()),
                      QString::number(double(s.ms.size()) / seconds, 'f', 1),
                      any ? formatMs(s.median()) : QStringLiteral("-"),
                      any ? formatMs(s.percentile(99)) : QStringLiteral("-"),
                      count(total.refused[op]), count(total.failed[op])});
    }
    return formatTable(lines);
}

}  // namespace

LoadBench::LoadBench(const QString& uri, const BenchOptions& options, Report& report)
    : m_uri(uri), m_options(options), m_report(report) {
    m_script.connectionString = QStringLiteral("Provider=PostgreSQL;Data Source=") + uri;
    m_script.meanThink = std::chrono::milliseconds(options.thinkMs);
    m_script.duration = std::chrono::seconds(options.loadSeconds);
}

void LoadBench::run() {
    findInputs();
    for (int operators : m_options.operators) {
        std::fprintf(stderr, "  %d operators at work for %d s...\n", operators,
                     m_options.loadSeconds);
        measure(operators);
    }
    QStringList mix;
    for (const ActionShare& share : kMix)
        mix << QStringLiteral("%1 % %2").arg(share.percent).arg(QString::fromUtf8(share.what));
    m_report.note(QStringLiteral("load: every operator a thread with the program's own Directory "
                                 "and connection; the mix: %1; %2 hot entries a run; think time "
                                 "between actions and between reading an entry and saving it "
                                 "exponential, mean %3 ms (cut at 5x); %4 s a run.")
                      .arg(mix.join(QStringLiteral(", ")))
                      .arg(kHotEntries)
                      .arg(m_options.thinkMs)
                      .arg(m_options.loadSeconds));
}

// What the operators type: texts taken from the directory, so that a search finds what a
// caller's question would.
void LoadBench::findInputs() {
    ServerSession session(ServerAddress::parse(m_uri));
    for (const QStringList& row : rows(session,
                                       "SELECT fam FROM tel WHERE fam IS NOT NULL GROUP BY fam "
                                       "HAVING count(*) BETWEEN 15 AND 30"))
        m_script.surnames << row[0];
    for (const QStringList& row :
         rows(session,
              "SELECT ul, dom FROM tel WHERE ul IS NOT NULL AND dom IS NOT NULL "
              "GROUP BY ul, dom HAVING count(*) BETWEEN 5 AND 40"))
        m_script.addresses.append({row[0], row[1]});
    for (const QStringList& row : rows(session,
                                       "SELECT DISTINCT tel FROM tel TABLESAMPLE SYSTEM (1) "
                                       "WHERE tel ~ '^[0-9]{5}$'"))
        m_script.phones << row[0];
}

// A few entries of this run's own that every operator edits now and then.
QStringList LoadBench::addHotEntries(int operators) {
    ServerSession session(ServerAddress::parse(m_uri));
    QStringList surnames;
    for (int i = 1; i <= kHotEntries; ++i) {
        const QString surname = QStringLiteral("Горячая линия %1/%2").arg(operators).arg(i);
        ServerParameters parameters;
        const QByteArray sql = "INSERT INTO tel (tel, fam, ul, dom, kv) VALUES ('00000', " +
                               parameters.text(std::optional(surname)) + ", 'Версия 0', '1', '1')";
        session.run(sql, parameters, QStringLiteral("adding a hot entry"));
        surnames << surname;
    }
    return surnames;
}

void LoadBench::measure(int operators) {
    LoadScript script = m_script;
    script.hotSurnames = addHotEntries(operators);
    WriteLedger ledger;
    std::latch connected(operators);
    script.ledger = &ledger;
    script.connected = &connected;
    std::vector<OperatorTally> tallies(static_cast<size_t>(operators));
    {
        std::vector<std::jthread> threads;
        for (int i = 0; i < operators; ++i)
            threads.emplace_back([&, i] {
                tallies[size_t(i)] = runOperator(script, i + 1, 1000003 * operators + i);
            });
    }

    OperatorTally total;
    int unconnected = 0;
    QString why;
    for (const OperatorTally& t : tallies) {
        total += t;
        if (!t.connectFailure.isEmpty()) {
            ++unconnected;
            why = t.connectFailure;
        }
    }
    if (unconnected)
        throw Error(QStringLiteral("%1 of %2 operators could not connect: %3")
                        .arg(unconnected)
                        .arg(operators)
                        .arg(why));
    const double seconds = m_options.loadSeconds;
    std::printf("%s\n", loadTable(total, operators, seconds).toUtf8().constData());
    std::fflush(stdout);

    const std::vector<qint64> keys = ledger.keys();
    const LedgerVerdict verdict = ledger.verify(serverEntries(m_uri, keys));
    const QString run = QStringLiteral("load, %1 operators: ").arg(operators);
    const int refused = std::accumulate(total.refused.begin(), total.refused.end(), 0);
    const int failed = std::accumulate(total.failed.begin(), total.failed.end(), 0);
    const auto add = [&](const QString& work, const QString& ours, const QString& goal,
                         std::optional<bool> met) {
        m_report.add({run + work, ours, QStringLiteral("-"), QStringLiteral("-"), goal, met});
    };
    const double p99 = Sample{total.ms[size_t(Operation::SurnameSearch)]}.percentile(99);
    const double surnameRows =
        Sample{{total.surnameRows.begin(), total.surnameRows.end()}}.median();
    add(QStringLiteral("surname-prefix search (median %1 entries found), p99").arg(surnameRows),
        formatMs(p99),
        operators > kGoalOperators ? QStringLiteral("report")
                                   : QStringLiteral("< %1 ms").arg(kSurnameP99GoalMs),
        operators > kGoalOperators ? std::nullopt : std::optional(p99 < kSurnameP99GoalMs));
    add(QStringLiteral("acknowledged writes lost (writes to %1 entries checked)")
            .arg(verdict.entries),
        QString::number(verdict.lost), QStringLiteral("0"), verdict.lost == 0);
    add(QStringLiteral("silent overwrites"), QString::number(verdict.silentOverwrites),
        QStringLiteral("0"), verdict.silentOverwrites == 0);
    add(QStringLiteral("conflicting saves refused (of them, of an entry still as read)"),
        QStringLiteral("%1 (%2)").arg(refused).arg(total.refusedWithoutChange),
        QStringLiteral("> 0 (0)"), refused > 0 && total.refusedWithoutChange == 0);
    add(QStringLiteral("operations failed with an error"), QString::number(failed),
        QStringLiteral("0"), failed == 0);
    m_report.note(
        QStringLiteral("load, %1 operators: one operator made %2 actions a minute; %3 entries "
                       "found by the median surname search (15-30 by the directory's counts, a "
                       "little more where Ё and Е meet); the machine's load average at the end "
                       "%4.")
            .arg(operators)
            .arg(double(total.actions) / operators / (seconds / 60), 0, 'f', 1)
            .arg(surnameRows)
            .arg(loadAverage()));
}
