#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of the program:
//     telspr [--connection "<connection string>"] | --help | --version
// Without options the directory is the built-in one (tel.dll in the working folder).
struct CommandLine {
    QString connectionString;
    // Help, the version or what is wrong with the command line: printed instead of starting,
    // and the program exits with `exitCode` (0 for help and the version, 2 for a mistake).
    QString answer;
    int exitCode = 0;

    bool starts() const { return answer.isEmpty(); }
};

// Reads the program's arguments (the first is the program itself). A connection string that
// cannot be used as written, a server URI with a password among others, is a mistake too.
CommandLine readCommandLine(const QStringList& arguments);
