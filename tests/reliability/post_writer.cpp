// The child of the crash trials: posts directory entries one by one through the program's own
// data sets (city and personal, new entries and edits) until it is killed. Before each post
// it prints what it is about to write, and right after post() returns it prints the
// acknowledgement, each line flushed at once, so the parent knows exactly which posts the
// program reported as saved.
//
//     post_writer FILE SEED
//
// Lines: "T n c|p I v..." (new entry), "T n c|p E key column=v..." (edit of an entry),
// "A n key" (saved). A value is "~" for none, else "=" and its UTF-8 in base64.
#include <sqlite3.h>

#include <QRandomGenerator>
#include <cstdio>

#include "crash_protocol.h"
#include "directory.h"
#include "error.h"
#include "file_connection.h"

namespace {

// Characters a user might keep in an entry: letters of both alphabets, digits, punctuation
// that means something to SQL or HTML, a tab, and a character outside the BMP.
const QStringList kPieces = {"А",  "Б", "В", "Ё", "Ж", "Я",  "а", "ё",  "ж", "щ",
                             "я",  "A", "z", "0", "7", " ",  "'", "\"", "%", "_",
                             "\\", "<", "&", "-", ".", "\t", "😀", "№"};

QString randomText(QRandomGenerator& rng, int size) {
    QString text;
    const int length = int(rng.bounded(size + 1));
    for (int i = 0; i < length; ++i)
        text += kPieces[int(rng.bounded(kPieces.size()))];
    return text;
}

std::optional<QString> randomValue(QRandomGenerator& rng, const Column& field) {
    if (rng.bounded(10) == 0)
        return std::nullopt;
    return randomText(rng, field.size);
}

void writeLine(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

struct Table {
    DataSet& set;
    char tag;
    std::vector<qint64> keys;  // the key of each row of the set, in row order
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: post_writer FILE SEED\n");
        return 2;
    }
    try {
        Directory directory(connectionStringFor(QString::fromLocal8Bit(argv[1])));
        directory.tel.setCriteria(CityCriteria::everything());
        directory.tel.open();
        directory.licht.open();
        QRandomGenerator rng(quint32(std::strtoul(argv[2], nullptr, 10)));
        Table tables[] = {{directory.tel, 'c', {}}, {directory.licht, 'p', {}}};
        for (Table& table : tables)
            if (table.set.recordCount() != 0)
                throw Error(QStringLiteral("The trial file must start empty."));

        for (qint64 n = 0;; ++n) {
            Table& table = tables[rng.bounded(2)];
            DataSet& set = table.set;
            const auto fields = set.fields();
            QByteArray intent = "T " + QByteArray::number(n) + ' ' + table.tag;
            const bool insert = table.keys.size() < 5 || rng.bounded(100) < 55;
            if (insert) {
                set.append();
                intent += " I";
                for (int c = 0; c < set.fieldCount(); ++c) {
                    const auto value = randomValue(rng, fields[size_t(c)]);
                    set.setValue(c, value);
                    intent += ' ' + encodeValue(value);
                }
            } else {
                const int row = int(rng.bounded(quint32(table.keys.size())));
                set.moveTo(row);
                set.edit();
                intent += " E " + QByteArray::number(table.keys[size_t(row)]);
                const int changes = 1 + int(rng.bounded(3));
                for (int i = 0; i < changes; ++i) {
                    const int c = int(rng.bounded(set.fieldCount()));
                    const auto value = randomValue(rng, fields[size_t(c)]);
                    set.setValue(c, value);
                    intent += ' ' + QByteArray::number(c) + '=' + encodeValue(value);
                }
            }
            writeLine(intent);
            set.post();
            qint64 key = 0;
            if (insert) {
                key = set.currentKey();
                table.keys.push_back(key);
            } else {
                key = table.keys[size_t(set.currentIndex())];
            }
            writeLine("A " + QByteArray::number(n) + ' ' + QByteArray::number(key));
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "post_writer: %s\n", e.what());
        return 1;
    }
}
