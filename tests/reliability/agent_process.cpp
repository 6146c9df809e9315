#include "agent_process.h"

#include <QTest>

AgentProcess::AgentProcess(const QString& connectionString) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(DIRECTORY_AGENT), {connectionString});
    if (readLine() != u"ok ready")
        QTest::qFail("directory_agent did not start", __FILE__, __LINE__);
}

AgentProcess::AgentProcess(const QString& connectionString, int kilobytes) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(
        QStringLiteral("bash"),
        {QStringLiteral("-c"),
         QStringLiteral("ulimit -f %1 && trap '' XFSZ && exec \"$0\" \"$1\"").arg(kilobytes),
         QStringLiteral(DIRECTORY_AGENT), connectionString});
    if (readLine() != u"ok ready")
        QTest::qFail("directory_agent did not start", __FILE__, __LINE__);
}

AgentProcess::~AgentProcess() {
    m_process.write("quit\n");
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(30000))
        m_process.kill();
    // A nonzero exit is a fault of the agent's own, e.g. a sanitizer's report at its end.
    if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0)
        QTest::qFail(
            qPrintable(QStringLiteral("directory_agent ended with %1").arg(m_process.exitCode())),
            __FILE__, __LINE__);
}

QString AgentProcess::readLine() {
    // The wait only keeps a broken agent from hanging the test; a busy file answers in 3 s.
    while (!m_process.canReadLine())
        if (!m_process.waitForReadyRead(60000))
            return QStringLiteral("error: no reply (agent ended or hangs)");
    return QString::fromUtf8(m_process.readLine()).chopped(1);
}

QString AgentProcess::ask(const QString& command) {
    m_process.write(command.toUtf8() + '\n');
    return readLine();
}

QString AgentProcess::ok(const QString& command) {
    const QString reply = ask(command);
    if (!reply.startsWith(u"ok"))
        QTest::qFail(qPrintable(command + QStringLiteral(" -> ") + reply), __FILE__, __LINE__);
    return reply.mid(3);
}

QString AgentProcess::error(const QString& command) {
    const QString reply = ask(command);
    if (!reply.startsWith(u"error "))
        QTest::qFail(qPrintable(command + QStringLiteral(" should fail -> ") + reply), __FILE__,
                     __LINE__);
    return reply.mid(6);
}
