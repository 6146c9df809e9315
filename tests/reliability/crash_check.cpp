#include "crash_check.h"

#include <sqlite3.h>

#include <QFile>
#include <map>
#include <optional>
#include <vector>

#include "crash_protocol.h"
#include "directory.h"
#include "file_connection.h"
#include "sqlite/statement.h"

namespace {

using Bytes = std::optional<QByteArray>;
using Rows = std::map<qint64, std::vector<Bytes>>;

struct Post {
    int table = 0;  // 0 city, 1 personal
    bool insert = false;
    qint64 key = -1;  // known for edits, and for new entries once acknowledged
    std::vector<std::pair<int, Bytes>> values;
    bool acknowledged = false;
};

std::vector<Post> parse(const QByteArray& output) {
    QList<QByteArray> lines = output.split('\n');
    lines.removeLast();  // empty after the last newline, or a line the kill cut short
    std::vector<Post> posts;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> words = line.split(' ');
        const auto bad = [&] { return Error("unreadable line: " + QString::fromUtf8(line)); };
        if (words.size() == 3 && words[0] == "A") {
            if (posts.empty() || posts.back().acknowledged)
                throw bad();
            posts.back().acknowledged = true;
            posts.back().key = words[2].toLongLong();
            continue;
        }
        if (words.size() < 4 || words[0] != "T")
            throw bad();
        if (!posts.empty() && !posts.back().acknowledged)
            throw bad();  // a post began before the one before it was saved
        Post post;
        post.table = words[2] == "p" ? 1 : 0;
        post.insert = words[3] == "I";
        if (post.insert) {
            for (int i = 4; i < words.size(); ++i)
                post.values.emplace_back(i - 4, decodeValue(words[i]));
        } else {
            post.key = words[4].toLongLong();
            for (int i = 5; i < words.size(); ++i) {
                const qsizetype eq = words[i].indexOf('=');
                const int column = words[i].left(eq).toInt();
                // A field set twice in one edit keeps its last value.
                std::erase_if(post.values, [&](const auto& v) { return v.first == column; });
                post.values.emplace_back(column, decodeValue(words[i].mid(eq + 1)));
            }
        }
        posts.push_back(std::move(post));
    }
    return posts;
}

Rows readRows(sqlite3* db, int table) {
    Statement select(db, table == 0 ? "SELECT key, tel, fam, ul, dom, kv FROM tel"
                                    : "SELECT key, tel, fam, ul, dom, kv, mob FROM lich");
    Rows rows;
    while (select.step()) {
        std::vector<Bytes> values;
        for (int c = 1; c < select.columnCount(); ++c)
            values.push_back(select.isNull(c) ? Bytes() : Bytes(select.bytes(c).toByteArray()));
        rows.emplace(select.int64(0), std::move(values));
    }
    return rows;
}

QString integrityOf(sqlite3* db) {
    Statement check(db, "PRAGMA integrity_check");
    QStringList lines;
    while (check.step())
        lines << check.text(0).value_or(QString());
    Statement uncovered(db,
                        "SELECT count(*) FROM tel WHERE key NOT IN (SELECT key FROM tel_fold)"
                        " AND key NOT IN (SELECT key FROM tel_fold_pending)");
    uncovered.step();
    if (uncovered.int64(0) != 0)
        lines << QStringLiteral("%1 entries missing from the search index").arg(uncovered.int64(0));
    return lines.join(QStringLiteral("; "));
}

// Opens the file as the program does after a restart and shows both whole directories.
QString reopenInProgram(const QString& path, const Rows rows[2]) {
    try {
        Directory directory(connectionStringFor(path));
        directory.tel.setCriteria(CityCriteria::everything());
        directory.tel.open();
        directory.licht.open();
        if (size_t(directory.tel.recordCount()) != rows[0].size() ||
            size_t(directory.licht.recordCount()) != rows[1].size())
            return QStringLiteral("shows %1 and %2 entries of %3 and %4")
                .arg(directory.tel.recordCount())
                .arg(directory.licht.recordCount())
                .arg(rows[0].size())
                .arg(rows[1].size());
    } catch (const Error& e) {
        return e.text();
    }
    return {};
}

}  // namespace

TrialCheck checkTrial(const QString& path, const QByteArray& output) {
    const std::vector<Post> posts = parse(output);
    TrialCheck check;

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        throw Error(QStringLiteral("cannot open ") + path);
    }
    Rows rows[2];
    try {
        check.integrity = integrityOf(db);  // the first read rolls back a half-done write
        rows[0] = readRows(db, 0);
        rows[1] = readRows(db, 1);
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    sqlite3_close_v2(db);

    const Post* underWay = !posts.empty() && !posts.back().acknowledged ? &posts.back() : nullptr;
    check.underWay = underWay != nullptr;
    // The last acknowledged post that wrote each field; only its value must be there.
    std::map<std::tuple<int, qint64, int>, size_t> lastWriter;
    for (size_t i = 0; i < posts.size(); ++i)
        if (posts[i].acknowledged)
            for (const auto& [column, value] : posts[i].values)
                lastWriter[{posts[i].table, posts[i].key, column}] = i;
    const auto underWayWrote = [&](int table, qint64 key, int column, const Bytes& actual) {
        if (!underWay || underWay->insert || underWay->table != table || underWay->key != key)
            return false;
        for (const auto& [c, value] : underWay->values)
            if (c == column && value == actual)
                return true;
        return false;
    };

    std::map<qint64, bool> known[2];
    for (size_t i = 0; i < posts.size(); ++i) {
        const Post& post = posts[i];
        if (!post.acknowledged)
            continue;
        ++check.acknowledged;
        const Rows& table = rows[post.table];
        const auto row = table.find(post.key);
        if (post.insert)
            known[post.table][post.key] = true;
        if (row == table.end()) {
            ++check.lost;
            continue;
        }
        bool present = true;
        for (const auto& [column, value] : post.values) {
            if (lastWriter[{post.table, post.key, column}] != i)
                continue;
            const Bytes& actual = row->second[size_t(column)];
            if (actual != value && !underWayWrote(post.table, post.key, column, actual))
                present = false;
        }
        if (!present)
            ++check.lost;
    }

    for (int t = 0; t < 2; ++t) {
        for (const auto& [key, values] : rows[t]) {
            if (known[t].count(key))
                continue;
            bool isUnderWay =
                underWay && underWay->insert && underWay->table == t && !check.underWayApplied;
            for (size_t c = 0; isUnderWay && c < values.size(); ++c)
                isUnderWay = values[c] == underWay->values[c].second;
            if (isUnderWay)
                check.underWayApplied = true;
            else
                ++check.unexpected;
        }
    }
    if (underWay && !underWay->insert) {
        const auto row = rows[underWay->table].find(underWay->key);
        check.underWayApplied = row != rows[underWay->table].end();
        for (const auto& [column, value] : underWay->values)
            if (check.underWayApplied && row->second[size_t(column)] != value)
                check.underWayApplied = false;
    }
    check.programError = reopenInProgram(path, rows);
    return check;
}
