// The reader of the server's COPY rows in text format: every escape the server writes is
// undone, and a row that is not what was asked for fails instead of being stored half-read.
#include <QTest>

#include "error.h"
#include "postgres/copy_rows.h"

using Fields = QList<std::optional<QByteArray>>;
Q_DECLARE_METATYPE(Fields)

class CopyRowsTest : public QObject {
    Q_OBJECT

private slots:
    void rows_data() {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<qint64>("key");
        QTest::addColumn<Fields>("fields");
        QTest::newRow("plain") << QByteArray("7\tab\tв\n") << qint64(7) << Fields{"ab", "в"};
        QTest::newRow("no value and the empty text")
            << QByteArray("-3\t\\N\t\n") << qint64(-3) << Fields{std::nullopt, ""};
        QTest::newRow("a text that reads \\N")
            << QByteArray("1\t\\\\N\tx\n") << qint64(1) << Fields{"\\N", "x"};
        QTest::newRow("control characters") << QByteArray("1\t\\t\\n\\r\\b\\f\\v\t\\\\\\x\n")
                                            << qint64(1) << Fields{"\t\n\r\b\f\v", "\\x"};
    }
    void rows() {
        QFETCH(QByteArray, row);
        QFETCH(qint64, key);
        QFETCH(Fields, fields);
        RowStore store(2);
        CopyTextReader(2, store).take(row);
        QCOMPARE(store.size(), 1);
        QCOMPARE(store.key(0), key);
        for (int c = 0; c < 2; ++c) {
            const RowStore::Field f = store.field(0, c);
            QCOMPARE(f ? std::optional(f->toByteArray()) : std::nullopt, fields[c]);
        }
    }

    void malformedRowsFail_data() {
        QTest::addColumn<QByteArray>("row");
        QTest::newRow("no line break") << QByteArray("1\ta\tb");
        QTest::newRow("a field short") << QByteArray("1\ta\n");
        QTest::newRow("a field over") << QByteArray("1\ta\tb\tc\n");
        QTest::newRow("a key that is no number") << QByteArray("x1\ta\tb\n");
        QTest::newRow("no key") << QByteArray("\ta\tb\n");
        QTest::newRow("a backslash at the end") << QByteArray("1\ta\tb\\\n");
        QTest::newRow("empty") << QByteArray();
    }
    void malformedRowsFail() {
        QFETCH(QByteArray, row);
        RowStore store(2);
        QVERIFY_THROWS_EXCEPTION(Error, CopyTextReader(2, store).take(row));
        QCOMPARE(store.size(), 0);
    }

    // Patterns of wildcards alone test the length in characters, not bytes.
    void lengthTests_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("orWithoutValue");
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<bool>("kept");
        QTest::newRow("five places, five letters")
            << "_____" << false << QByteArray("1\tЁлкин\n") << true;
        QTest::newRow("five places, six") << "_____" << false << QByteArray("1\tЁлкина\n") << false;
        QTest::newRow("two or more, one") << "_%_" << false << QByteArray("1\tж\n") << false;
        QTest::newRow("two or more, three") << "_%_" << false << QByteArray("1\tжжж\n") << true;
        QTest::newRow("no value") << "%" << false << QByteArray("1\t\\N\n") << false;
        QTest::newRow("no value, or without one") << "_" << true << QByteArray("1\t\\N\n") << true;
        QTest::newRow("the empty pattern") << "" << false << QByteArray("1\t\n") << true;
    }
    void lengthTests() {
        QFETCH(QString, pattern);
        QFETCH(bool, orWithoutValue);
        QFETCH(QByteArray, row);
        QFETCH(bool, kept);
        const std::optional<LengthTest> test =
            LengthTest::of(0, LikeShape::of(pattern), orWithoutValue);
        QVERIFY(test);
        RowStore store(1);
        CopyTextReader(1, store, {&*test, 1}).take(row);
        QCOMPARE(store.size(), kept ? 1 : 0);
    }

    void aPatternWithTextIsNoLengthTest() {
        QVERIFY(!LengthTest::of(0, LikeShape::of(u"1_%"), false));
    }
};

QTEST_GUILESS_MAIN(CopyRowsTest)
#include "test_copy_rows.moc"
