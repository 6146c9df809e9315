#pragma once

#include <QByteArray>
#include <QString>

// Starts the post writer (post_writer.cpp) on `path`, lets it run until it has acknowledged
// at least `posts` posts, waits `delayMicroseconds` while it goes on posting, then kills it
// with SIGKILL. Returns everything it printed. Throws Error when it stops on its own.
QByteArray runAndKill(const QString& path, quint32 seed, qint64 posts,
                      unsigned long delayMicroseconds);
