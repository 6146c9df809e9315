#include "storage_engine.h"

#include "connection_settings.h"
#include "postgres/postgres_engine.h"
#include "sqlite/sqlite_engine.h"

std::unique_ptr<StorageEngine> makeStorageEngine(const QString& connectionString) {
    return makeStorageEngine(ConnectionSettings::parse(connectionString));
}

std::unique_ptr<StorageEngine> makeStorageEngine(const ConnectionSettings& settings) {
    if (settings.provider == ConnectionSettings::Provider::PostgreSQL)
        return std::make_unique<PostgresEngine>(ServerAddress::parse(settings.dataSource));
    return std::make_unique<SqliteEngine>(settings.dataSource, settings.readWrite);
}
