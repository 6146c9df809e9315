#pragma once

#include <QString>
#include <utility>

#include "sample.h"

// The start-up probe (`tel_bench --startup-probe <folder>`): the program started as a user
// starts it, in that folder, quitting as soon as the main window has been painted and the
// event loop is idle. With a connection string (`--startup-probe-server <string>`), it is
// started on that directory instead. Returns the process's exit code.
int runStartupProbe(int& argc, char** argv, const QString& folder,
                    const QString& connectionString = QString());

// Times whole probe processes, spawn to exit, in the two folders by turns, so that a change
// of the machine's load falls on both alike: one warm-up pair, then `runs` measured pairs.
std::pair<Sample, Sample> timeStartups(const QString& first, const QString& second, int runs);

// Times whole probe processes started on a server directory: a warm-up, then `runs` of them.
Sample timeServerStartups(const QString& connectionString, int runs);
