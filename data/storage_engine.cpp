#include "storage_engine.h"

#include "connection_settings.h"
#include "sqlite/sqlite_engine.h"

std::unique_ptr<StorageEngine> makeStorageEngine(const QString& connectionString) {
    const ConnectionSettings settings = ConnectionSettings::parse(connectionString);
    return std::make_unique<SqliteEngine>(settings.dataSource, settings.readWrite);
}
