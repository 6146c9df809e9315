#include "tool_command.h"

#include "program_version.h"
#include "russian_texts.h"

ToolCommand::ToolCommand(QCoreApplication& app, const QString& name, const QString& description)
    : m_app(app),
      m_help({QStringLiteral("h"), QStringLiteral("help")},
             QStringLiteral("Показать эту справку.")),
      m_version({QStringLiteral("v"), QStringLiteral("version")},
                QStringLiteral("Показать версию программы.")) {
    QCoreApplication::setApplicationName(name);
    useRussianTexts(app);
    m_parser.setApplicationDescription(description);
    m_parser.addOptions({m_help, m_version});
}

std::optional<int> ToolCommand::parse() {
    if (!m_parser.parse(m_app.arguments())) {
        print(
            stderr,
            m_parser.errorText() +
                QStringLiteral("\nСправка: %1 --help\n").arg(QCoreApplication::applicationName()));
        return 1;
    }
    if (m_parser.isSet(m_help)) {
        print(stdout, m_parser.helpText());
        return 0;
    }
    if (m_parser.isSet(m_version)) {
        print(stdout, versionAnswer(QCoreApplication::applicationName()) + u'\n');
        return 0;
    }
    return std::nullopt;
}

void ToolCommand::print(FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}
