#pragma once

#include <QByteArray>
#include <QString>

#include "error.h"

// What a killed crash-trial child left in its file, checked against the lines it printed
// (see post_writer.cpp).
struct TrialCheck {
    qint64 acknowledged = 0;       // posts the child saw saved
    qint64 lost = 0;               // acknowledged posts whose values are not all in the file
    qint64 unexpected = 0;         // rows no post explains
    bool underWay = false;         // a post had started and was not acknowledged
    bool underWayApplied = false;  // ... and its values are in the file
    QString integrity;             // PRAGMA integrity_check, and the search index's coverage
    QString programError;          // why the program could not open the file; empty if it did
};

// Opens the file (rolling back what the kill left half done), checks it and compares it
// with the child's output. Throws Error when the output cannot be read.
TrialCheck checkTrial(const QString& path, const QByteArray& output);
