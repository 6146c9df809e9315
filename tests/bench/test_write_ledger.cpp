// The load benchmark's check of what the operators wrote against what the server kept: every
// way a write can go missing or overwrite another must be counted, and nothing else.
#include <QTest>

#include "write_ledger.h"

namespace {

// A state written as one letter (the surname), "-" for an entry that is not there.
EntryState state(QStringView text) {
    if (text == u"-")
        return std::nullopt;
    return EntryFields{QString(), text.toString(), QString(), QString(), QString()};
}

// "a>b ?b>c": the writes of one entry, in the order they were recorded; "?" marks a write
// that failed with an error.
void record(WriteLedger& ledger, const QString& writes) {
    for (QString w : writes.split(u' ', Qt::SkipEmptyParts)) {
        const bool failed = w.startsWith(u'?');
        if (failed)
            w.remove(0, 1);
        const QStringList states = w.split(u'>');
        ledger.record({1, state(states[0]), state(states[1]), !failed});
    }
}

}  // namespace

class WriteLedgerTest : public QObject {
    Q_OBJECT

private slots:
    void verdict_data() {
        QTest::addColumn<QString>("writes");
        QTest::addColumn<QString>("onServer");
        QTest::addColumn<int>("lost");
        QTest::addColumn<int>("silent");
        QTest::newRow("an edit kept") << "a>b"
                                      << "b" << 0 << 0;
        QTest::newRow("an edit the server lacks") << "a>b"
                                                  << "a" << 1 << 0;
        QTest::newRow("a chain kept") << "a>b b>c"
                                      << "c" << 0 << 0;
        QTest::newRow("a chain recorded out of order") << "b>c a>b"
                                                       << "c" << 0 << 0;
        QTest::newRow("the last of a chain missing") << "a>b b>c"
                                                     << "b" << 1 << 0;
        QTest::newRow("a state nobody wrote") << "a>b b>c"
                                              << "x" << 1 << 0;
        QTest::newRow("two edits from one state") << "a>b a>c"
                                                  << "c" << 1 << 1;
        QTest::newRow("an add kept") << "->a"
                                     << "a" << 0 << 0;
        QTest::newRow("an add missing") << "->a"
                                        << "-" << 1 << 0;
        QTest::newRow("a delete done") << "a>-"
                                       << "-" << 0 << 0;
        QTest::newRow("a delete not done") << "a>-"
                                           << "a" << 1 << 0;
        QTest::newRow("added, edited, deleted") << "->a a>b b>-"
                                                << "-" << 0 << 0;
        QTest::newRow("added and deleted, but still there") << "->a a>-"
                                                            << "a" << 1 << 0;
        QTest::newRow("a failed edit that landed") << "a>b ?b>c"
                                                   << "c" << 0 << 0;
        QTest::newRow("a failed edit that did not") << "a>b ?b>c"
                                                    << "b" << 0 << 0;
        QTest::newRow("a failed edit does not excuse a lost one") << "a>b ?b>c"
                                                                  << "a" << 1 << 0;
        QTest::newRow("a failed edit an acknowledged one went on from") << "?a>b b>c"
                                                                        << "c" << 0 << 0;
    }
    void verdict() {
        QFETCH(QString, writes);
        QFETCH(QString, onServer);
        QFETCH(int, lost);
        QFETCH(int, silent);
        WriteLedger ledger;
        record(ledger, writes);
        QHash<qint64, EntryFields> server;
        if (const EntryState s = state(onServer))
            server.insert(1, *s);
        const LedgerVerdict verdict = ledger.verify(server);
        QCOMPARE(verdict.entries, 1);
        QCOMPARE(verdict.lost, lost);
        QCOMPARE(verdict.silentOverwrites, silent);
    }
};

QTEST_GUILESS_MAIN(WriteLedgerTest)
#include "test_write_ledger.moc"
