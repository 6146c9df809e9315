#pragma once

#include <QString>
#include <QTemporaryDir>

// Makes a file or folder unwritable while it lives. Root ignores permission bits, so for
// root the immutable attribute is set (chattr +i); other users lose the write bits.
// Where neither works (a file system without the attribute, no chattr program), active()
// is false and why() says so, for the test's skip message.
class ReadOnlyGuard {
public:
    explicit ReadOnlyGuard(QString path);
    ~ReadOnlyGuard();
    ReadOnlyGuard(const ReadOnlyGuard&) = delete;
    ReadOnlyGuard& operator=(const ReadOnlyGuard&) = delete;

    bool active() const { return m_active; }
    const QString& why() const { return m_why; }

private:
    QString m_path;
    bool m_asRoot = false;
    bool m_active = false;
    QString m_why;
};

// A small tmpfs mounted on a fresh folder, standing for a full disk once fill() has taken
// the rest of its space. Mounting needs root (CAP_SYS_ADMIN); where it fails, mounted() is
// false and why() says why.
class SmallDisk {
public:
    explicit SmallDisk(int kilobytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    const QString& why() const { return m_why; }
    QString folder() const { return m_dir.path(); }

    void fill();     // writes a filler file until the disk refuses more
    void release();  // removes the filler

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_why;
};
