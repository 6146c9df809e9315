#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <optional>

// The command line the helper programs share: Russian texts (the option parser's own ones
// too), -h/--help, -v/--version, and an error in the arguments told on stderr with a pointer
// to the help.
class ToolCommand {
public:
    ToolCommand(QCoreApplication& app, const QString& name, const QString& description);

    QCommandLineParser& parser() { return m_parser; }

    // Parses the program's arguments. Returns the exit code when there is nothing more to
    // do: 0 after the help or the version was shown, 1 after an error in the arguments.
    std::optional<int> parse();

    // The text as UTF-8, flushed at once so that messages keep their order across streams.
    static void print(FILE* stream, const QString& text);

private:
    QCoreApplication& m_app;
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
};
