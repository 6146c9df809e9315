#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A CSV file as the sqlite3 program reads it: table `csv` of a scratch database in a
// temporary folder, one text column per header field and one row per record in file order
// (the rowid is the record's number, the header not counted). Fields are separated by
// commas, or by semicolons when the header has more of those (a Russian spreadsheet's
// choice). The folder goes when the object does.
class CsvScratch {
public:
    // Throws an Error, in Russian, when the file cannot be read or is no CSV table: a folder,
    // an empty file, text not in UTF-8, or a malformed record (told by its line).
    explicit CsvScratch(const QString& csvPath);

    QString databasePath() const { return m_dir.filePath(QStringLiteral("scratch.db")); }
    // The header's fields as the file spells them, and the scratch table's column of each
    // (the sqlite3 program renames a field the header repeats).
    const QStringList& header() const { return m_header; }
    const QStringList& columns() const { return m_columns; }
    bool hasRecords() const { return m_hasRecords; }

private:
    QTemporaryDir m_dir;
    QStringList m_header;
    QStringList m_columns;
    bool m_hasRecords = false;
};
