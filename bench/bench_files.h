#pragma once

#include <QString>

// The directory files the benchmark runs on, made with the demo generator on first use and
// kept in the data folder between runs: the big one and a ten-entry one for the start-up
// baseline, each also reachable as `tel.dll` in a folder of its own, where the program
// started without arguments looks for it.
struct BenchFiles {
    QString big;
    QString bigFolder;
    QString small;
    QString smallFolder;
    qint64 bigEntries = 0;
};

BenchFiles prepareBenchFiles(const QString& dataFolder, qint64 bigEntries);

// A directory file of `entries` city entries in the data folder, made on first use.
QString benchFile(const QString& dataFolder, qint64 entries);

// The program's own connection string with `Data Source` naming the given file.
QString connectionStringFor(const QString& path);
