#include "program_bench.h"

#include <malloc.h>

#include <QDir>
#include <QKeySequence>
#include <QTableView>
#include <cstdio>

#include "error.h"
#include "import_bench.h"
#include "mainform.h"
#include "program_driver.h"
#include "sample.h"
#include "startup_bench.h"
#include "tool_baselines.h"

namespace {

// A timed row against its baseline; a goal of 0 is no goal (both 0: the row only reports).
Report::Row timeRow(const char* key, const QString& work, double ours, double baseline,
                    double maxRatio, double maxMs = 0) {
    const double ratio = ours / baseline;
    QStringList goals;
    bool met = true;
    if (maxRatio > 0) {
        goals << QStringLiteral("<= %1x").arg(maxRatio, 0, 'f', 1);
        met = ratio <= maxRatio;
    }
    if (maxMs > 0) {
        goals << QStringLiteral("< %1").arg(formatMs(maxMs));
        met = met && ours < maxMs;
    }
    return {work,
            formatMs(ours),
            formatMs(baseline),
            formatRatio(ratio),
            goals.isEmpty() ? QStringLiteral("report") : goals.join(QStringLiteral(", ")),
            goals.isEmpty() ? std::nullopt : std::optional<bool>(met),
            QString::fromLatin1(key),
            ours};
}

// A timed row without a baseline; a limit of 0 only reports.
Report::Row limitRow(const char* key, const QString& work, double ours, double maxMs) {
    return {work,
            formatMs(ours),
            QStringLiteral("-"),
            QStringLiteral("-"),
            maxMs > 0 ? QStringLiteral("< %1").arg(formatMs(maxMs)) : QStringLiteral("report"),
            maxMs > 0 ? std::optional<bool>(ours < maxMs) : std::nullopt,
            QString::fromLatin1(key),
            ours};
}

size_t mallocInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

struct SearchCase {
    const char* key;
    bool prefix;  // a prefix search, whose time at ten million may be twice that at one
    const char* work;
    SearchFields fields;
    const char* sql;      // the sqlite3 program's equivalent, on the same search index
    const char* rowsSql;  // the rows the program must find
};

// The program matches a phone pattern of five places, so every search also demands a
// five-character number; the equivalent queries say so too.
const SearchCase kSearches[] = {
    {"search.surname",
     true,
     "surname-prefix search \"Иванов\"",
     {.surname = QStringLiteral("Иванов")},
     "SELECT t.* FROM tel_fold f JOIN tel t ON t.key = f.key WHERE f.fam >= 'иванов' AND "
     "f.fam < 'иванов' || char(1114111) AND t.tel GLOB '?\?\?\?\?'",
     nullptr},
    {"search.street",
     true,
     "street-prefix search \"Лен\"",
     {.street = QStringLiteral("Лен")},
     "SELECT t.* FROM tel_fold f JOIN tel t ON t.key = f.key WHERE f.ul >= 'лен' AND "
     "f.ul < 'лен' || char(1114111) AND t.tel GLOB '?\?\?\?\?'",
     nullptr},
    {"search.phone",
     true,
     "phone search \"12\" typed",
     {.phoneDigits = QStringLiteral("12")},
     "SELECT t.* FROM tel_fold f JOIN tel t ON t.key = f.key WHERE f.tel >= '12' AND "
     "f.tel < '12' || char(1114111) AND f.tel GLOB '12?\?\?'",
     nullptr},
    {"search.house",
     false,
     "house-only search \"12\"",
     {.house = QStringLiteral("12")},
     "SELECT t.* FROM tel_fold f JOIN tel t ON t.key = f.key WHERE f.dom = '12' AND "
     "t.tel GLOB '?\?\?\?\?'",
     nullptr},
    {"search.all",
     false,
     "search for every entry with a house (house \"%\")",
     {.house = QStringLiteral("%")},
     "SELECT * FROM tel",
     kAllEntriesSql},
};

const SearchFields kAllEntries{.house = QStringLiteral("%")};

struct SortCase {
    const char* action;
    const char* column;
};

const SortCase kSorts[] = {
    {"bytel", "tel"}, {"byName", "fam"}, {"byUl", "ul"}, {"ByDom", "dom"}, {"ByKv", "kv"},
};

}  // namespace

bool BenchOptions::wants(const char* group) const {
    return only.isEmpty() || only.contains(QString::fromLatin1(group));
}

ProgramBench::ProgramBench(const BenchFiles& files, const BenchOptions& options, Report& report)
    : m_files(files), m_options(options), m_report(report) {
    if (!options.referenceFile.isEmpty())
        m_reference = Report::readFigures(options.referenceFile);
}

ProgramBench::~ProgramBench() = default;

QString ProgramBench::workFile(const QString& name) const {
    return QDir(m_options.dataFolder).absoluteFilePath(QStringLiteral("out/") + name);
}

void ProgramBench::run() {
    if (!QDir().mkpath(workFile(QString())))
        throw Error(QStringLiteral("cannot create %1").arg(workFile(QString())));
    const struct {
        const char* name;
        void (ProgramBench::*bench)();
        bool onProgram;  // drives the program on the big file, started once (seconds)
    } groups[] = {
        {"startup", &ProgramBench::startup, false}, {"import", &ProgramBench::imports, false},
        {"search", &ProgramBench::searches, true},  {"memory", &ProgramBench::memory, true},
        {"sort", &ProgramBench::sorts, true},       {"views", &ProgramBench::views, true},
        {"grid", &ProgramBench::grid, true},        {"html", &ProgramBench::html, true},
        {"xlsx", &ProgramBench::xlsx, true},        {"print", &ProgramBench::printing, true},
        {"sheets", &ProgramBench::sheets, false},  // starts the program on a file of its own
    };
    for (const auto& group : groups) {
        if (!m_options.wants(group.name))
            continue;
        if (group.onProgram && !m_program)
            m_program = std::make_unique<ProgramDriver>(connectionStringFor(m_files.big));
        std::fprintf(stderr, "  %s...\n", group.name);
        (this->*group.bench)();
    }
}

void ProgramBench::imports() {
    benchImport(m_options, m_report);
}

void ProgramBench::startup() {
    // Start-ups take a tenth of a second: three times the runs steady the median.
    const auto [big, small] =
        timeStartups(m_files.bigFolder, m_files.smallFolder, 3 * m_options.runs);
    m_report.add(timeRow("startup", QStringLiteral("start-up to main window shown and idle"),
                         big.median(), small.median(), large() ? 0 : 1.2, 300));
    m_report.note(
        QStringLiteral(
            "start-up: whole processes (tel_bench --startup-probe: Application + startProgram, "
            "quit at the first idle moment after the main window's first paint), spawn to exit, "
            "on the big file; baseline: the same on a 10-entry file, the two taken by turns, %1 "
            "pairs after a warm-up pair.")
            .arg(3 * m_options.runs));
}

// Runs a command, timed to its return: then its data is in the grid model. The repaint the
// grid makes of it afterwards is timed on its own into `repaints`.
double ProgramBench::commandMs(const char* action, Sample& repaints) {
    const double ms = timeMs([&] { m_program->trigger(action); });
    repaints.ms.push_back(timeMs([&] { m_program->idle(); }));
    return ms;
}

void ProgramBench::searchAll() {
    m_program->fillSearch(kAllEntries);
    m_program->trigger("SearchAct");
    m_program->idle();
}

// All entries sorted by surname: the listing a user is likeliest to hand on, its records
// no longer in the order they lie in memory.
void ProgramBench::sortedListing() {
    searchAll();
    m_program->trigger("byName");
    m_program->idle();
}

void ProgramBench::searches() {
    CityQuery& tel = m_program->directory().tel;
    for (const SearchCase& c : kSearches) {
        const QString baselineSql = QString::fromUtf8(c.sql);
        Sample repaints, oursCpu, baselineCpu;
        const auto withCpu = [](Sample& cpu, bool children, const std::function<double()>& run) {
            const double before = cpuMs(children);
            const double ms = run();
            cpu.ms.push_back(cpuMs(children) - before);
            return ms;
        };
        const auto [ours, baseline] = collectPaired(
            m_options.runs,
            [&] {
                m_program->fillSearch(c.fields);
                return withCpu(oursCpu, false, [&] { return commandMs("SearchAct", repaints); });
            },
            [&] {
                return withCpu(baselineCpu, true,
                               [&] { return timeSqlite3(m_files.big, {}, baselineSql); });
            });
        for (Sample* cpu : {&oursCpu, &baselineCpu})
            cpu->ms.erase(cpu->ms.begin());  // the warm-up run's
        const QString sql = QString::fromUtf8(c.rowsSql ? c.rowsSql : c.sql);
        const qint64 expected = countRows(m_files.big, sql);
        if (tel.recordCount() != expected)
            throw Error(QStringLiteral("%1 found %2 rows, %3 expected")
                            .arg(QString::fromUtf8(c.work))
                            .arg(tel.recordCount())
                            .arg(expected));
        const QString work =
            QStringLiteral("%1 (%2 rows)").arg(QString::fromUtf8(c.work)).arg(expected);
        const QString key = QString::fromLatin1(c.key);
        // A search finds ten times the entries in ten times the directory: the cost that must
        // not grow faster than the work is the time per entry found.
        const QString perEntry = key + QStringLiteral(".per-entry");
        const double usPerEntry = 1000 * ours.median() / double(std::max<qint64>(expected, 1));
        m_report.figure(perEntry, usPerEntry, work + QStringLiteral(", µs per entry found"));
        if (!large() || key == u"search.all") {
            m_report.add(timeRow(c.key, work, ours.median(), baseline.median(), 1.0));
        } else if (c.prefix && m_reference.contains(perEntry)) {
            // At ten million a prefix search may take twice its time per entry at one million.
            Report::Row row = timeRow(c.key, work, ours.median(), baseline.median(), 0);
            const double limit = 2 * m_reference.value(perEntry);
            row.goal = QStringLiteral("<= 2x the smaller run per entry (%1 µs; limit %2 µs)")
                           .arg(usPerEntry, 0, 'f', 2)
                           .arg(limit, 0, 'f', 2);
            row.met = usPerEntry <= limit;
            m_report.add(row);
        } else {
            m_report.add(timeRow(c.key, work, ours.median(), baseline.median(), 0));
        }
        m_report.note(QStringLiteral("%1: SearchAct with the inputs filled in, to the rows ready "
                                     "in the grid model (the grid's repaint after it: %2 more); "
                                     "baseline: sqlite3 `%3`. CPU time: ours %4, sqlite3's %5 "
                                     "(%6).")
                          .arg(QString::fromUtf8(c.work), formatMs(repaints.median()),
                               QString::fromUtf8(c.sql), formatMs(oursCpu.median()),
                               formatMs(baselineCpu.median()),
                               formatRatio(oursCpu.median() / baselineCpu.median())));
    }
}

void ProgramBench::memory() {
    CityQuery& tel = m_program->directory().tel;
    // Malloc's own count around a search for everything, as a check on what the set reports.
    m_program->fillSearch({.house = QStringLiteral("нет такого")});
    m_program->trigger("SearchAct");
    m_program->idle();
    malloc_trim(0);
    const size_t before = mallocInUse();
    searchAll();
    const size_t after = mallocInUse();
    const int count = tel.recordCount();
    const double rows = count;
    const double held = double(tel.bytesHeld()) / rows;
    const double naive = runChild({QStringLiteral("--naive-memory"), m_files.big});
    const double most = large() ? 70 : 120;
    m_report.add({QStringLiteral("memory held for %1 entries in the city view").arg(count),
                  QStringLiteral("%1 B/row").arg(held, 0, 'f', 1),
                  QStringLiteral("%1 B/row").arg(naive, 0, 'f', 1), formatRatio(held / naive),
                  QStringLiteral("<= %1 B/row").arg(most), held <= most, QStringLiteral("memory"),
                  held});
    m_report.note(
        QStringLiteral("memory: DataSet::bytesHeld() of `tel` per row (row store with its search "
                       "and sort state); malloc's own count grew by %1 B/row over the search for "
                       "all entries (the grid and the model included); baseline: a QList of five "
                       "QStrings per row in a child process, malloc's growth per row (mallinfo2).")
            .arg(double(after - before) / rows, 0, 'f', 1));
}

void ProgramBench::sorts() {
    searchAll();
    const int count = m_program->directory().tel.recordCount();
    Sample sortRepaints;
    for (size_t i = 0; i < std::size(kSorts); ++i) {
        const SortCase& s = kSorts[i];
        // Every measured sort starts from another column's order, as a user's would.
        const char* other = kSorts[(i + 1) % std::size(kSorts)].action;
        const QString sql =
            QStringLiteral("SELECT * FROM tel ORDER BY %1").arg(QString::fromLatin1(s.column));
        Sample repaints;
        const auto [ours, baseline] = collectPaired(
            m_options.runs,
            [&] {
                m_program->trigger(other);
                m_program->idle();
                return commandMs(s.action, repaints);
            },
            [&] { return timeSqlite3(m_files.big, {}, sql); });
        sortRepaints.ms.insert(sortRepaints.ms.end(), repaints.ms.begin(), repaints.ms.end());
        const QByteArray key = QByteArray("sort.") + s.action;
        m_report.add(timeRow(key.constData(),
                             QStringLiteral("sort %1 rows by %2 (%3)")
                                 .arg(count)
                                 .arg(QString::fromLatin1(s.column), QString::fromLatin1(s.action)),
                             ours.median(), baseline.median(), large() ? 0 : 0.5,
                             large() ? 3000 : 500));
    }
    m_report.note(QStringLiteral("sorts: the sort command on all entries held, from another "
                                 "column's order, to the rows reordered in the grid model (the "
                                 "grid's repaint after it: %1 more); baseline: sqlite3 `SELECT * "
                                 "FROM tel ORDER BY <column>` (byte order).")
                      .arg(formatMs(sortRepaints.median())));

    // Which part of the sort by phone grows with the directory: the keys or the records.
    const QList<double> parts = runChildNumbers(
        {QStringLiteral("--sort-parts"), m_files.big, QString::number(m_options.runs)}, 2);
    m_report.figure(QStringLiteral("sort.bytel.order"), parts[0],
                    QStringLiteral("sort by phone: the order of the keys"));
    m_report.figure(QStringLiteral("sort.bytel.reorder"), parts[1],
                    QStringLiteral("sort by phone: the records laid out in that order"));
    m_report.note(QStringLiteral("sort by phone in parts (tel_bench --sort-parts, a process of "
                                 "its own, from the order by surname): the order of the keys "
                                 "%1, the records laid out in it %2.")
                      .arg(formatMs(parts[0]), formatMs(parts[1])));
}

void ProgramBench::views() {
    searchAll();
    Sample toPersonal, toCity;
    const auto both = [&](bool keep) {
        const double personal = timeMs([&] {
            m_program->trigger("lich");
            m_program->idle();
        });
        const double city = timeMs([&] {
            m_program->trigger("gor");
            m_program->idle();
        });
        if (keep) {
            toPersonal.ms.push_back(personal);
            toCity.ms.push_back(city);
        }
    };
    both(false);
    for (int i = 0; i < m_options.runs; ++i)
        both(true);
    if (!m_program->directory().showsCity() || m_program->directory().tel.recordCount() == 0)
        throw Error(QStringLiteral("the city view did not come back with its rows"));
    const int count = m_program->directory().tel.recordCount();
    m_report.add(limitRow("view.personal",
                          QStringLiteral("switch to the personal view (%1 rows held)").arg(count),
                          toPersonal.median(), large() ? 0 : 50));
    m_report.add(limitRow("view.city",
                          QStringLiteral("switch back to the city view (%1 rows)").arg(count),
                          toCity.median(), large() ? 0 : 50));
}

void ProgramBench::grid() {
    searchAll();
    const int count = m_program->directory().tel.recordCount();
    QTableView& grid = m_program->grid();
    grid.setFocus();
    const auto home = [&] {
        m_program->gridKey(Qt::Key_Home);
        m_program->idle();
    };
    const Sample end = measure(
        m_options.runs,
        [&] {
            m_program->gridKey(Qt::Key_End);
            m_program->idle();
        },
        home);
    if (m_program->directory().tel.currentIndex() != count - 1)
        throw Error(QStringLiteral("End left the current row at %1 of %2")
                        .arg(m_program->directory().tel.currentIndex())
                        .arg(count));
    // A burst of presses as QTest::keyClick delivers them, the grid repainted once they are
    // handled; then the same with a repaint after every press, as a slow typist sees it.
    const auto pageDowns = [&](bool repaintEach) {
        for (int i = 0; i < 1000; ++i) {
            m_program->gridKey(Qt::Key_PageDown);
            if (repaintEach)
                m_program->idle();
        }
        m_program->idle();
    };
    const Sample burst = measure(
        m_options.runs, [&] { pageDowns(false); }, home);
    const int reached = m_program->directory().tel.currentIndex();
    const int paintsBefore = m_program->gridRepaints();
    const Sample eachPainted = measure(
        m_options.runs, [&] { pageDowns(true); }, home);
    const int paints = (m_program->gridRepaints() - paintsBefore) / (m_options.runs + 1);
    m_report.add(limitRow(
        "grid.end", QStringLiteral("grid: End from the first to the last of %1 rows").arg(count),
        end.median(), 100));
    m_report.add(limitRow("grid.pagedown", QStringLiteral("grid: 1,000 Page Down presses"),
                          burst.median(), large() ? 100 : 1000));
    m_report.add(limitRow("grid.pagedown.painted",
                          QStringLiteral("grid: 1,000 Page Down presses, each repainted"),
                          eachPainted.median(), 0));
    m_report.note(
        QStringLiteral("grid: QTest::keyClick on DBGrid1 from the first row, then the repaint; "
                       "1,000 Page Down presses reach row %1. The row \"each repainted\" lets the "
                       "grid repaint after every press (%2 repaints a run): Qt's item delegate "
                       "lays out the text of every visible cell each time, whatever the row count.")
            .arg(reached + 1)
            .arg(paints));
}
