#include "startup.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "application.h"
#include "error_report.h"

namespace {

// Qt's own buttons and dialogs speak Russian, whatever the machine's locale.
void useRussian(QCoreApplication& app) {
    static const char kInstalled[] = "telRussianInstalled";
    if (app.property(kInstalled).toBool())
        return;
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    auto* translator = new QTranslator(&app);
    if (translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
    app.setProperty(kInstalled, true);
}

}  // namespace

Program startProgram(const QString& connectionString) {
    QCoreApplication::setApplicationName(kApplicationTitle);
    installErrorReport();
    useRussian(*QCoreApplication::instance());
    Program program;
    program.mainform = std::make_unique<Tmainform>(connectionString);
    program.addform = std::make_unique<Taddform>(*program.mainform, program.mainform->directory());
    program.aboutform = std::make_unique<Taboutform>(*program.mainform);
    program.mainform->setDialogs(program.addform.get(), program.aboutform.get());
    program.mainform->show();
    program.mainform->activateWindow();
    return program;
}

int runProgram(int argc, char** argv) {
    Application app(argc, argv);
    Program program = startProgram();
    return app.exec();
}
