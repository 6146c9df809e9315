#pragma once

#include <QByteArray>
#include <QString>
#include <span>
#include <vector>

#include "columns.h"

// A column as a store describes a table it holds.
struct FoundColumn {
    QString name;              // as the table declares it, in any letter case
    QString type;              // as the store names its type
    bool servesAsKey = false;  // an integer the store gives each new entry
    bool keepsText = false;    // keeps every text exactly as written
};

// How messages about the tables name the store, and what it asks of their columns, in Russian.
struct StoreWords {
    QString in;  // "В файле «tel.dll»"
    QString of;  // "файла «tel.dll»"
    QString keyKind;  // what the key column must be: "целочисленным первичным ключом (...)"
    QString textKind;  // what a text column must be: "текстовым"
};

// A directory table by the names its store gave it, each quoted for SQL. Another tool may
// have declared the columns in any letter case ("Ul", "TEL"); every statement names them as
// they were found.
struct StoredTable {
    const DirectoryTable* shape = nullptr;
    QByteArray table;                 // quoted
    QByteArray key;                   // quoted
    QByteArray keyName;               // as found, unquoted
    std::vector<QByteArray> columns;  // quoted, in field order

    // The names as columns.h declares them: the tables this program makes.
    static StoredTable declared(const DirectoryTable& shape);
    // The names of the columns found, each column matched ignoring letter case (the name as
    // declared wins over another spelling); throws an Error that says what is missing or
    // unusable.
    static StoredTable check(const DirectoryTable& shape, std::span<const FoundColumn> found,
                             const StoreWords& words);

    const QByteArray& column(Field field) const;  // the table must have it
    // "tel", "fam", ... each after `qualifier` ("t."), separated by commas.
    QByteArray columnList(QByteArrayView qualifier = {}) const;
};
