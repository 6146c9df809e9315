#pragma once

#include <QString>
#include <QStringList>

// What a helper program did, run in a folder to its end.
struct ToolRun {
    int exitCode = -1;  // -1: it did not end in time, or crashed
    QString out;
    QString err;
};

ToolRun runTool(const QString& program, const QString& folder, const QStringList& arguments,
                int timeoutMs = 120000);
