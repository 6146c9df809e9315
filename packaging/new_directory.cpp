// new_directory FILE: makes the empty directory file the package ships (initDatabase), at
// build time.
#include <QCoreApplication>
#include <cstdio>

#include "error.h"
#include "sqlite/schema.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: new_directory FILE\n", stderr);
        return 2;
    }
    try {
        initDatabase(args.at(1));
        return 0;
    } catch (const Error& e) {
        std::fprintf(stderr, "new_directory: %s\n", e.what());
        return 1;
    }
}
