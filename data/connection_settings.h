#pragma once

#include <QString>

// The connection string the directory has always carried. Only two of its settings mean
// anything to SQLite: "Data Source" (the database file, relative to the working directory)
// and "Mode" (it must allow writing).
inline constexpr char kConnectionString[] =
    "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=tel.dll;Mode=ReadWrite;"
    "Extended Properties=\"\";Persist Security Info=False;Jet OLEDB:System database=\"\";"
    "Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=\"\";Jet OLEDB:Engine Type=5;"
    "Jet OLEDB:Database Locking Mode=1;Jet OLEDB:Global Partial Bulk Ops=2;"
    "Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:New Database Password=\"\";"
    "Jet OLEDB:Create System Database=False;Jet OLEDB:Encrypt Database=False;"
    "Jet OLEDB:Don't Copy Locale on Compact=False;"
    "Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False";

struct ConnectionSettings {
    QString dataSource;  // file name as written, e.g. "tel.dll"
    bool readWrite = false;

    // Reads "Data Source" and "Mode" (names ignore letter case); throws Error when the
    // string names no data source.
    static ConnectionSettings parse(const QString& connectionString);
};
