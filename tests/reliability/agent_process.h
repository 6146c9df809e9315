#pragma once

#include <QProcess>
#include <QString>

// A directory_agent process on a directory (its connection string): the other program of a
// test, steered a line at a time.
class AgentProcess {
public:
    explicit AgentProcess(const QString& connectionString);
    // The agent may write no file beyond `kilobytes` (ulimit -f, with SIGXFSZ ignored so
    // that writes fail as on a full disk instead of killing it).
    AgentProcess(const QString& connectionString, int kilobytes);
    ~AgentProcess();

    // Sends a command and returns the whole reply line.
    QString ask(const QString& command);
    // The reply of a command that must succeed, without "ok"; a failure fails the test.
    QString ok(const QString& command);
    // The message of a command that must fail; a success fails the test.
    QString error(const QString& command);

private:
    QString readLine();

    QProcess m_process;
};
