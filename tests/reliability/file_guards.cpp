#include "file_guards.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>

namespace {

// Runs a program; returns its error output, empty when it succeeded.
QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return program + QStringLiteral(" did not run: ") + process.errorString();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
        return output.isEmpty() ? program + QStringLiteral(" failed") : output;
    }
    return {};
}

bool writable(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

}  // namespace

ReadOnlyGuard::ReadOnlyGuard(QString path) : m_path(std::move(path)), m_asRoot(geteuid() == 0) {
    if (m_asRoot) {
        const QString failure = run(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path});
        if (!failure.isEmpty()) {
            m_why = QStringLiteral(
                        "running as root, which ignores permission bits, and the immutable "
                        "attribute cannot be set here: ") +
                    failure;
            return;
        }
    } else {
        QFile::setPermissions(
            m_path, QFile::permissions(m_path) & ~(QFile::WriteOwner | QFile::WriteUser |
                                                   QFile::WriteGroup | QFile::WriteOther));
    }
    m_active = !writable(m_path);
    if (!m_active)
        m_why = QStringLiteral("%1 stays writable after it was made read-only").arg(m_path);
}

ReadOnlyGuard::~ReadOnlyGuard() {
    if (m_asRoot)
        run(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    else
        QFile::setPermissions(m_path, QFile::permissions(m_path) | QFile::WriteOwner);
}

SmallDisk::SmallDisk(int kilobytes) {
    const QString failure =
        run(QStringLiteral("mount"),
            {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
             QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"), m_dir.path()});
    m_mounted = failure.isEmpty();
    if (!m_mounted)
        m_why = QStringLiteral("a small tmpfs cannot be mounted here (needs root): ") + failure;
}

SmallDisk::~SmallDisk() {
    if (m_mounted)
        run(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
}

void SmallDisk::fill() {
    const QByteArray path = QFile::encodeName(m_dir.filePath(QStringLiteral("filler")));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return;
    const QByteArray block(4096, 'x');
    // Whole pages first, then single bytes into the last page tmpfs may still hand out.
    while (::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    while (::write(fd, block.constData(), 1) > 0) {
    }
    ::close(fd);
}

void SmallDisk::release() {
    QFile::remove(m_dir.filePath(QStringLiteral("filler")));
}
