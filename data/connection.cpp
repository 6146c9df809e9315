#include "connection.h"

#include "storage_engine.h"

Connection::Connection(QString connectionString, QObject* parent)
    : QObject(parent), m_connectionString(std::move(connectionString)) {
    setObjectName(QStringLiteral("connection"));
}

Connection::~Connection() = default;

void Connection::open() {
    // A connection string that cannot be read fails here, at the first opening, like any
    // other failure to connect.
    if (!m_engine)
        m_engine = makeStorageEngine(m_connectionString);
    m_engine->open();
}

void Connection::close() {
    if (m_engine)
        m_engine->close();
}

bool Connection::isOpen() const {
    return m_engine && m_engine->isOpen();
}

StorageEngine& Connection::engine() {
    open();
    return *m_engine;
}

bool Connection::hasSearchIndex() const {
    return m_engine && m_engine->hasSearchIndex();
}

bool Connection::canWrite(const DirectoryTable& table) const {
    return !m_engine || m_engine->canWrite(table);
}
