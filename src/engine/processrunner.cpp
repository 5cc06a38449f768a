#include "engine/processrunner.h"

#include <QProcess>

QString IProcessRunner::Result::errorText(const QString& program) const
{
    if (!started)
        return QStringLiteral("%1 could not be started.").arg(program);
    const QString said = output.trimmed();
    if (!said.isEmpty())
        return QStringLiteral("%1 exited with code %2: %3").arg(program).arg(exitCode).arg(said);
    return QStringLiteral("%1 exited with code %2.").arg(program).arg(exitCode);
}

IProcessRunner::Result ProcessRunner::run(const QString& program, const QStringList& arguments)
{
    Result result;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(m_timeoutMs)) {
        result.output = process.errorString();
        return result;
    }
    result.started = true;
    if (!process.waitForFinished(m_timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        result.output = QStringLiteral("no answer within %1 s").arg(m_timeoutMs / 1000);
        return result;
    }
    result.output = QString::fromLocal8Bit(process.readAll());
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}
