// Crash trials: a child program posts entries through the program's own data sets and is
// killed with SIGKILL at a random moment; then the file must pass SQLite's integrity check,
// hold every post the child saw acknowledged, hold nothing else but the one post that was
// under way, and open in the program again. Prints the figures of every trial and the totals;
// exits with 1 when any post was lost or any file damaged.
//
//     crash_trials [--trials N] [--posts M] [--seed S]
//
// Each trial is killed after at least M acknowledged posts (M to 1.5 M, then a random
// delay of up to 5 ms while the child goes on posting).
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include "crash_check.h"
#include "crash_run.h"
#include "sqlite/schema.h"

namespace {

struct Totals {
    int trials = 0;
    qint64 posts = 0;
    qint64 lost = 0;
    qint64 unexpected = 0;
    int corrupt = 0;
    int hotJournals = 0;
    int unopenable = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"trials", "Number of trials.", "N", "20"});
    parser.addOption({"posts", "Acknowledged posts before the kill, at least.", "M", "1000"});
    parser.addOption({"seed", "Seed of the trials (default: random).", "S"});
    parser.process(app);
    const int trials = parser.value("trials").toInt();
    const qint64 posts = parser.value("posts").toLongLong();
    const quint32 seed = parser.isSet("seed") ? parser.value("seed").toUInt()
                                              : QRandomGenerator::global()->generate();
    QRandomGenerator rng(seed);
    std::printf("crash trials: %d trials, at least %lld posts each, seed %u\n", trials,
                static_cast<long long>(posts), seed);

    Totals totals;
    try {
        for (int t = 0; t < trials; ++t) {
            QTemporaryDir folder;
            const QString path = folder.filePath(QStringLiteral("tel.dll"));
            initDatabase(path);
            const qint64 target = posts + rng.bounded(posts / 2 + 1);
            const QByteArray output = runAndKill(path, rng.generate(), target, rng.bounded(5000));
            const bool hotJournal = QFile::exists(path + QStringLiteral("-journal"));
            const TrialCheck check = checkTrial(path, output);
            ++totals.trials;
            totals.posts += check.acknowledged;
            totals.lost += check.lost;
            totals.unexpected += check.unexpected;
            totals.corrupt += check.integrity == QStringLiteral("ok") ? 0 : 1;
            totals.hotJournals += hotJournal ? 1 : 0;
            totals.unopenable += check.programError.isEmpty() ? 0 : 1;
            std::printf(
                "trial %2d: %lld posts acknowledged, post under way: %s, journal left: %s, "
                "integrity: %s, lost: %lld, unexpected: %lld%s\n",
                t + 1, static_cast<long long>(check.acknowledged),
                check.underWay ? (check.underWayApplied ? "saved" : "not saved") : "none",
                hotJournal ? "yes" : "no", qPrintable(check.integrity),
                static_cast<long long>(check.lost), static_cast<long long>(check.unexpected),
                check.programError.isEmpty()
                    ? ""
                    : qPrintable(QStringLiteral(", program: ") + check.programError));
            std::fflush(stdout);
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "crash trials failed: %s\n", e.what());
        return 2;
    }
    std::printf(
        "total: %d trials, %lld posts acknowledged, lost %lld, unexpected %lld, corrupt %d, "
        "not reopened %d, killed inside a write (journal left) %d\n",
        totals.trials, static_cast<long long>(totals.posts), static_cast<long long>(totals.lost),
        static_cast<long long>(totals.unexpected), totals.corrupt, totals.unopenable,
        totals.hotJournals);
    const bool clean =
        totals.lost == 0 && totals.unexpected == 0 && totals.corrupt == 0 && totals.unopenable == 0;
    return clean ? 0 : 1;
}
