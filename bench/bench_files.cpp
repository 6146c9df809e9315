#include "bench_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "connection_settings.h"
#include "demo_directory.h"

namespace {

void makeOnce(const QString& path, qint64 entries) {
    if (QFileInfo::exists(path))
        return;
    std::fprintf(stderr, "Generating %lld entries into %s (once; kept for later runs)...\n",
                 entries, qPrintable(path));
    QElapsedTimer timer;
    timer.start();
    DemoOptions options;
    options.cityEntries = entries;
    writeDemoDirectory(path, options);
    std::fprintf(stderr, "  done in %.1f s\n", double(timer.elapsed()) / 1000);
}

// A folder in which the program finds `file` under its own name tel.dll.
QString folderWithTelDll(const QString& folder, const QString& file) {
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("cannot create folder %1").arg(folder));
    const QString link = folder + QStringLiteral("/tel.dll");
    if (QFileInfo(link).symLinkTarget() != QFileInfo(file).absoluteFilePath()) {
        QFile::remove(link);
        if (!QFile::link(QFileInfo(file).absoluteFilePath(), link))
            throw Error(QStringLiteral("cannot link %1 to %2").arg(link, file));
    }
    return folder;
}

QString tagOf(qint64 entries) {
    return entries % 1000000 == 0 ? QStringLiteral("%1m").arg(entries / 1000000)
                                  : QString::number(entries);
}

}  // namespace

QString benchFile(const QString& dataFolder, qint64 entries) {
    if (!QDir().mkpath(dataFolder))
        throw Error(QStringLiteral("cannot create folder %1").arg(dataFolder));
    const QString path =
        QDir(dataFolder).absoluteFilePath(QStringLiteral("tel-%1.dll").arg(tagOf(entries)));
    makeOnce(path, entries);
    return path;
}

BenchFiles prepareBenchFiles(const QString& dataFolder, qint64 bigEntries) {
    const QDir data(dataFolder);
    BenchFiles files;
    files.bigEntries = bigEntries;
    const QString tag = tagOf(bigEntries);
    files.big = benchFile(dataFolder, bigEntries);
    files.small = benchFile(dataFolder, 10);
    files.bigFolder =
        folderWithTelDll(data.absoluteFilePath(QStringLiteral("startup-") + tag), files.big);
    files.smallFolder =
        folderWithTelDll(data.absoluteFilePath(QStringLiteral("startup-10")), files.small);
    return files;
}

QString connectionStringFor(const QString& path) {
    QString s = QString::fromLatin1(kConnectionString);
    return s.replace(QStringLiteral("Data Source=tel.dll"), QStringLiteral("Data Source=") + path);
}
