#include "crash_run.h"

#include <QProcess>
#include <QThread>

#include "error.h"

QByteArray runAndKill(const QString& path, quint32 seed, qint64 posts,
                      unsigned long delayMicroseconds) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(POST_WRITER), {path, QString::number(seed)});
    if (!child.waitForStarted())
        throw Error(QStringLiteral("post_writer did not start: ") + child.errorString());
    QByteArray output;
    qsizetype scanned = 0;  // the output up to here is whole lines already counted
    qint64 acknowledged = 0;
    while (acknowledged < posts) {
        if (!child.waitForReadyRead(60000))
            throw Error(QStringLiteral("post_writer stopped after %1 posts").arg(acknowledged));
        output += child.readAllStandardOutput();
        for (qsizetype end = output.indexOf('\n', scanned); end >= 0;
             end = output.indexOf('\n', scanned)) {
            if (output.mid(scanned, 2) == "A ")
                ++acknowledged;
            scanned = end + 1;
        }
    }
    QThread::usleep(delayMicroseconds);
    child.kill();  // SIGKILL
    child.waitForFinished(-1);
    output += child.readAllStandardOutput();
    return output;
}
