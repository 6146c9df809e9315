#pragma once

#include <QObject>
#include <QString>
#include <memory>

class StorageEngine;
struct DirectoryTable;

// The connection `connection` to the directory: its connection string names the engine and
// the place (storage_engine.h). Opening never creates anything; every failure is an Error
// that names the file or the server.
class Connection : public QObject {
    Q_OBJECT
public:
    explicit Connection(QString connectionString, QObject* parent = nullptr);
    ~Connection() override;

    const QString& connectionString() const { return m_connectionString; }

    void open();  // does nothing when open
    void close();
    bool isOpen() const;

    // The open engine, opening it first if needed (each data set opening retries).
    StorageEngine& engine();

    // Whether the directory carries the helpers that make prefix searches fast.
    bool hasSearchIndex() const;
    // Whether the user may change the table's entries, as the store said when it was opened;
    // before that nothing is known against it.
    bool canWrite(const DirectoryTable& table) const;

private:
    QString m_connectionString;
    std::unique_ptr<StorageEngine> m_engine;
};
