// Takes a picture of the real main window: starts the program in-process on the directory
// in the working directory, searches for a surname so the grid has rows, and grabs the
// window from the display (run it under Xvfb, see tools/screenshot.sh).
#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QTimer>

#include "application.h"
#include "startup.h"

int main(int argc, char** argv) {
    Application app(argc, argv);
    const QString output =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshot.png");
    const QString surname = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("Иванов");
    Program program = startProgram();
    program.mainform->findChild<QComboBox*>(QStringLiteral("Edit1"))->setEditText(surname);
    program.mainform->findChild<QAction*>(QStringLiteral("SearchAct"))->trigger();
    program.mainform->findChild<QAction*>(QStringLiteral("byName"))->trigger();
    int status = 1;
    QTimer::singleShot(1500, [&] {
        const QPixmap shot = program.mainform->screen()->grabWindow(program.mainform->winId());
        status = shot.save(output) ? 0 : 1;
        app.quit();
    });
    app.exec();
    return status;
}
