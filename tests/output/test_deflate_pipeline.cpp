#include <zlib.h>

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

#include "deflate_pipeline.h"
#include "error.h"

namespace {

QByteArray inflateRaw(const QByteArray& deflated, qsizetype length) {
    QByteArray out(length, Qt::Uninitialized);
    z_stream z{};
    inflateInit2(&z, -MAX_WBITS);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.data()));
    z.avail_in = uInt(deflated.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int rc = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return rc == Z_STREAM_END && z.avail_out == 0 && z.avail_in == 0 ? out : QByteArray();
}

// Text that compresses like a sheet: repeated markup with varying values.
QByteArray sheetLikeText(QRandomGenerator& random, qsizetype size) {
    QByteArray text;
    while (text.size() < size)
        text += "<c r=\"B" + QByteArray::number(random.bounded(100000)) +
                "\" t=\"inlineStr\"><is><t>" + QByteArray::number(random.generate64(), 36) +
                "</t></is></c>";
    return text;
}

// A device that takes a few writes and then refuses, as a full disk does.
class FailingDevice : public QBuffer {
public:
    int writesLeft = 2;

protected:
    qint64 writeData(const char* data, qint64 size) override {
        if (writesLeft-- <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        return QBuffer::writeData(data, size);
    }
};

}  // namespace

class TestDeflatePipeline : public QObject {
    Q_OBJECT

private slots:
    // Pieces of all sizes, compressed on two threads, continue one stream between a start
    // and an end deflated apart; length and CRC cover all of it.
    void piecesFormOneStream() {
        QRandomGenerator random(7);
        const QByteArray start = "<sheetData>";
        const QByteArray end = "</sheetData>";
        QByteArray pieces;
        QBuffer rows;
        rows.open(QIODevice::WriteOnly);
        DeflatePipeline pipeline(rows);
        for (const qsizetype size : {0, 1, 70000, 1 << 20, 3 << 20, 5, 200000}) {
            const QByteArray piece = sheetLikeText(random, size).left(size);
            pieces += piece;
            pipeline.add(piece);
        }
        const DeflatePipeline::Totals totals = pipeline.finish();
        QCOMPARE(totals.length, pieces.size());
        QCOMPARE(totals.written, rows.data().size());
        QCOMPARE(totals.crc, std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(pieces.data()),
                                                 uInt(pieces.size()))));
        QVERIFY(rows.data().size() < pieces.size() / 3);  // the dictionary keeps the ratio

        const QByteArray whole = start + pieces + end;
        const QByteArray stream =
            deflatePart(start, {}, false) + rows.data() + deflatePart(end, {}, true);
        QCOMPARE(inflateRaw(stream, whole.size()), whole);
    }

    void failedWriteIsReported() {
        FailingDevice device;
        device.open(QIODevice::WriteOnly);
        DeflatePipeline pipeline(device);
        QRandomGenerator random(1);
        QString error;
        try {
            for (int i = 0; i < 50; ++i)
                pipeline.add(sheetLikeText(random, 100000));
            pipeline.finish();
        } catch (const Error& e) {
            error = e.text();
        }
        QCOMPARE(error, QStringLiteral("No space left on device"));
    }
};

QTEST_GUILESS_MAIN(TestDeflatePipeline)
#include "test_deflate_pipeline.moc"
