#pragma once

#include <QString>

// The connection string the directory has always carried. Three of its settings mean
// something here: "Provider" ("PostgreSQL" names a server; any other provider, the Jet one
// included, a SQLite file), "Data Source" (the file, relative to the working directory, or
// the server's libpq URI) and "Mode" (a file must allow writing unless it says "Read" only).
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
    enum class Provider { SQLite, PostgreSQL };
    Provider provider = Provider::SQLite;
    QString dataSource;     // file name as written, e.g. "tel.dll", or a postgresql:// URI
    bool readWrite = true;  // without a Mode, as ADO's default mode, the file is written too

    // Reads "Data Source" and "Mode" (names ignore letter case); throws Error when the
    // string names no data source.
    static ConnectionSettings parse(const QString& connectionString);
};
