#pragma once

#include <QObject>
#include <QString>

struct sqlite3;

// The connection `connection` to the directory file. Opening checks that the file exists,
// can be written, is an SQLite database and holds the directory's two tables; it never
// creates a file. Every failure is an Error that names the file.
class Connection : public QObject {
    Q_OBJECT
public:
    explicit Connection(QString connectionString, QObject* parent = nullptr);
    ~Connection() override;

    const QString& connectionString() const { return m_connectionString; }
    QString fileName() const;  // the data source as the connection string names it

    void open();  // does nothing when open
    void close();
    bool isOpen() const { return m_db != nullptr; }

    // The open database, opening it first if needed (each data set opening retries).
    sqlite3* handle();

    // Whether the file carries the helper tables that make prefix searches fast.
    bool hasSearchIndex() const { return m_hasSearchIndex; }

private:
    QString m_connectionString;
    sqlite3* m_db = nullptr;
    bool m_hasSearchIndex = false;
};
