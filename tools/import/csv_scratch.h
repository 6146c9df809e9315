#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A CSV file as the sqlite3 program reads it: table `csv` of a scratch database in a
// temporary folder, one text column per header field, named as the header spells it, and one
// row per record in file order (the rowid is the record's number, the header not counted).
// The folder goes when the object does.
class CsvScratch {
public:
    // Throws an Error when the file cannot be read or the sqlite3 program reports anything
    // about it (a malformed quote, a record with more or fewer fields than the header).
    explicit CsvScratch(const QString& csvPath);

    QString databasePath() const { return m_dir.filePath(QStringLiteral("scratch.db")); }
    const QStringList& header() const { return m_header; }

private:
    QTemporaryDir m_dir;
    QStringList m_header;
};
