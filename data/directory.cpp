#include "directory.h"

Directory::Directory(QString connectionString, QObject* parent)
    : QObject(parent),
      connection(std::move(connectionString), this),
      tel(connection, this),
      licht(connection, this),
      DataSource1(tel, this) {}
