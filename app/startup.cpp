#include "startup.h"

#include <cstdio>

#include "application.h"
#include "command_line.h"
#include "error_report.h"
#include "russian_texts.h"

Program startProgram(const QString& connectionString) {
    QCoreApplication::setApplicationName(kApplicationTitle);
    installErrorReport();
    useRussianTexts(*QCoreApplication::instance());
    Program program;
    program.mainform = std::make_unique<Tmainform>(connectionString);
    program.addform = std::make_unique<Taddform>(*program.mainform, program.mainform->directory());
    program.aboutform = std::make_unique<Taboutform>(*program.mainform);
    program.mainform->setDialogs(program.addform.get(), program.aboutform.get());
    program.mainform->show();
    program.mainform->activateWindow();
    return program;
}

namespace {

int answer(const CommandLine& line) {
    std::fputs(line.answer.toUtf8().constData(), line.exitCode == 0 ? stdout : stderr);
    return line.exitCode;
}

}  // namespace

int runProgram(int argc, char** argv) {
    // Help and the version are answered before the application exists: they need no display.
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw.append(QString::fromLocal8Bit(argv[i]));
    if (const CommandLine early = readCommandLine(raw); !early.starts() && early.exitCode == 0)
        return answer(early);
    Application app(argc, argv);
    // Qt has taken its own options (-platform and the like) out of the arguments by now.
    const CommandLine line = readCommandLine(QCoreApplication::arguments());
    if (!line.starts())
        return answer(line);
    Program program = startProgram(line.connectionString);
    return app.exec();
}
