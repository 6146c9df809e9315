#include "write_obstacle.h"

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QByteArray>

namespace {

// Less free room than this makes a full disk the likely cause of a failed write: the journal
// alone needs a page or more per page changed.
constexpr unsigned long long kLittleRoom = 1 << 20;

}  // namespace

std::optional<QString> writeObstacle(sqlite3* db) {
    const char* name = db ? sqlite3_db_filename(db, "main") : nullptr;
    if (!name || !*name)
        return std::nullopt;
    const QByteArray file(name);
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? file.left(slash) : QByteArray(slash == 0 ? "/" : ".");

    if (::access(file.constData(), W_OK) != 0 || ::access(folder.constData(), W_OK | X_OK) != 0)
        return QStringLiteral("нет права на запись в файл базы данных или в его папку");
    struct statvfs disk {};
    if (::statvfs(folder.constData(), &disk) == 0 &&
        static_cast<unsigned long long>(disk.f_bavail) * disk.f_frsize < kLittleRoom)
        return QStringLiteral("на диске нет места");
    struct rlimit limit {};
    struct stat info {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        ::stat(file.constData(), &info) == 0 &&
        static_cast<unsigned long long>(info.st_size) + kLittleRoom > limit.rlim_cur)
        return QStringLiteral(
            "файл достиг предельного размера, который система разрешает программе");
    return std::nullopt;
}
