#include "mail/logmailer.h"

#include "app/programlog.h"
#include "app/registry.h"
#include "app/stringtable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <zlib.h>

LogMailer::LogMailer(SmtpAccount account, QString logPath, QString programName, QString version,
                     ProgramLog* log)
    : m_account(std::move(account)), m_logPath(std::move(logPath)),
      m_programName(std::move(programName)), m_version(std::move(version)), m_log(log)
{
    qRegisterMetaType<LogMailResult>();
}

void LogMailer::run()
{
    Q_EMIT finished(send(m_account, m_logPath, m_programName, m_version, m_log));
}

QString LogMailer::consentText()
{
    return StringTable::text(387);
}

QString LogMailer::supportAddress(const Registry& machine)
{
    const QString address =
        machine.readStr(QStringLiteral("URL"), QStringLiteral("MailSupport")).trimmed();
    return address.isEmpty() ? QString::fromLatin1(kDefaultSupportAddress) : address;
}

SmtpAccount LogMailer::supportAccount(const SmtpAccount& settings, const QString& userEmail,
                                      const Registry& machine)
{
    SmtpAccount account = settings;
    account.recipient = supportAddress(machine);
    if (account.sender.trimmed().isEmpty())
        account.sender = userEmail.trimmed();
    return account;
}

QString LogMailer::compressedPath(const QString& logPath)
{
    const QFileInfo info(logPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".gz"));
}

bool LogMailer::compress(const QString& from, const QString& to, QString* error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(from, in.errorString());
        return false;
    }
    QFile::remove(to);
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("%1: %2").arg(to, out.errorString());
        return false;
    }
    // The log is the user's alone; so is its copy.
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    z_stream stream{};
    // 15 window bits plus 16: a gzip header and trailer instead of zlib's.
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        *error = QStringLiteral("the compression could not start");
        return false;
    }
    bool ok = true;
    QByteArray input(64 * 1024, Qt::Uninitialized);
    QByteArray output(64 * 1024, Qt::Uninitialized);
    int flush = Z_NO_FLUSH;
    while (ok && flush != Z_FINISH) {
        const qint64 n = in.read(input.data(), input.size());
        if (n < 0) {
            *error = QStringLiteral("%1: %2").arg(from, in.errorString());
            ok = false;
            break;
        }
        flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
        stream.next_in = reinterpret_cast<Bytef*>(input.data());
        stream.avail_in = static_cast<uInt>(n);
        do {
            stream.next_out = reinterpret_cast<Bytef*>(output.data());
            stream.avail_out = static_cast<uInt>(output.size());
            if (deflate(&stream, flush) == Z_STREAM_ERROR) {
                *error = QStringLiteral("the compression failed");
                ok = false;
                break;
            }
            const qint64 produced = output.size() - qint64(stream.avail_out);
            if (out.write(output.constData(), produced) != produced) {
                *error = QStringLiteral("%1: %2").arg(to, out.errorString());
                ok = false;
                break;
            }
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    if (!ok) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        *error = QStringLiteral("%1: %2").arg(to, out.errorString());
        return false;
    }
    return true;
}

OutgoingMail LogMailer::supportMail(const QString& compressedLog, const QString& programName,
                                    const QString& version)
{
    OutgoingMail mail;
    mail.subject = QStringLiteral("GVN support request...");
    mail.body =
        QStringLiteral("---\r\nthe log file was attached by %1 %2").arg(programName, version);
    MailAttachment attachment;
    attachment.filePath = compressedLog;
    attachment.name = QFileInfo(compressedLog).fileName();
    attachment.contentType = QStringLiteral("application/gzip");
    mail.attachments.push_back(attachment);
    return mail;
}

LogMailResult LogMailer::send(const SmtpAccount& account, const QString& logPath,
                              const QString& programName, const QString& version, ProgramLog* log)
{
    LogMailResult result;
    if (account.host.trimmed().isEmpty()) {
        result.message = QStringLiteral("No SMTP server is set: enter one on the Zaru Vuzarovuz "
                                        "page of the options first.");
        return result;
    }
    if (account.sender.trimmed().isEmpty()) {
        result.message = QStringLiteral("No sender address is set: enter one on the Zaru "
                                        "Vuzarovuz page of the options first.");
        return result;
    }
    const QString compressed = compressedPath(logPath);
    QString error;
    if (!compress(logPath, compressed, &error)) {
        result.message = QStringLiteral("The log file could not be compressed (%1).").arg(error);
        if (log)
            log->write(result.message, ProgramLog::Error);
        return result;
    }
    const MailSendResult sent =
        MailSendJob::send(account, supportMail(compressed, programName, version), log);
    result.ok = sent.ok();
    if (result.ok) {
        result.message = QStringLiteral("The log file was sent to %1.").arg(account.recipient);
        if (log)
            log->write(result.message, ProgramLog::Success);
    } else {
        result.message = QStringLiteral("Send Mail failed to send message.");
        if (!sent.detail.isEmpty())
            result.message += QStringLiteral("\n") + sent.detail;
    }
    return result;
}
