#include "mail/mailmessage.h"

#include <QFile>
#include <QLocale>
#include <chrono>

namespace {

// Milliseconds of a monotonic clock, as the boundaries carry them.
quint32 tickCount()
{
    return static_cast<quint32>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
}

QByteArray boundary(const char* serial)
{
    return QString::asprintf("CSmtpMsgPart123X456_%s_%8.8X", serial, tickCount()).toLatin1();
}

// A line break in a header value ends the header, unless a blank follows (a folded
// line). Every other CR or LF becomes a blank, so no value can add a header, end the
// header block or end the mail.
QByteArray headerSafe(const QByteArray& value)
{
    QByteArray out = value;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] != '\r' && out[i] != '\n')
            continue;
        const bool folded = out[i] == '\r' && i + 2 < out.size() && out[i + 1] == '\n' &&
                            (out[i + 2] == ' ' || out[i + 2] == '\t');
        if (folded)
            i += 2;
        else
            out[i] = ' ';
    }
    return out;
}

QString addressOnly(const QString& address)
{
    QString clean = address.trimmed();
    clean.remove(QLatin1Char('<'));
    clean.remove(QLatin1Char('>'));
    return clean;
}

// "\"Name\" <address>", or just "<address>" without a name.
QString mailbox(const QString& name, const QString& address)
{
    QString text;
    if (!name.isEmpty()) {
        const QByteArray encoded = MimeEncoding::headerText(name);
        if (encoded.startsWith("=?")) {
            text = QString::fromLatin1(encoded) + QLatin1Char(' ');
        } else {
            QString quoted = name;
            quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
            quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
            text = QLatin1Char('"') + quoted + QLatin1String("\" ");
        }
    }
    return text + QLatin1Char('<') + addressOnly(address) + QLatin1Char('>');
}

QByteArray kindName(MailMessage::MultipartKind kind)
{
    switch (kind) {
    case MailMessage::Alternative:
        return "alternative";
    case MailMessage::Related:
        return "related";
    default:
        return "mixed";
    }
}

bool isTextType(const QString& type)
{
    return type.startsWith(QLatin1String("text/"), Qt::CaseInsensitive);
}

} // namespace

MailMessage::MailMessage(const QDateTime& created) : m_created(created)
{
    const int minutes = created.offsetFromUtc() / 60;
    m_utcOffset = minutes / 60 * 100 + minutes % 60;
}

QString MailMessage::mailerName()
{
    return QStringLiteral("Gavelin Mailer");
}

void MailMessage::addHeader(const QString& name, const QString& value)
{
    m_headers.append({name, value});
}

void MailMessage::removeHeader(const QString& name)
{
    m_headers.removeIf([&name](const QPair<QString, QString>& header) {
        return header.first.compare(name, Qt::CaseInsensitive) == 0;
    });
}

bool MailMessage::hasHeader(const QString& name) const
{
    for (const auto& header : m_headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString MailMessage::header(const QString& name) const
{
    for (const auto& header : m_headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return {};
}

QString MailMessage::dateText() const
{
    const QLocale english = QLocale::c();
    return QStringLiteral("%1 %2 %3%4")
        .arg(english.toString(m_created.date(), QStringLiteral("ddd, d MMM yyyy")),
             english.toString(m_created.time(), QStringLiteral("H:mm:ss")),
             QLatin1String(m_utcOffset > 0 ? "+" : "-"))
        .arg(qAbs(m_utcOffset), 4, 10, QLatin1Char('0'));
}

QByteArray MailMessage::build()
{
    const bool multipart = parts.size() + attachments.size() > 1;
    QByteArray outer;
    removeHeader(QStringLiteral("Content-Type"));
    if (multipart) {
        if (multipartKind == AutomaticKind)
            multipartKind = attachments.empty() ? Alternative : Mixed;
        outer = boundary("000");
        addHeader(QStringLiteral("Content-Type"),
                  QString::fromLatin1("multipart/" + kindName(multipartKind) +
                                      ";\r\n\tboundary=\"" + outer + '"'));
    }
    removeHeader(QStringLiteral("MIME-Version"));
    addHeader(QStringLiteral("MIME-Version"), QStringLiteral("1.0"));
    removeHeader(QStringLiteral("Message-ID"));
    if (!messageId.isEmpty())
        addHeader(QStringLiteral("Message-ID"), QLatin1Char('<') + messageId + QLatin1Char('>'));
    const std::pair<const char*, QString> fixed[] = {
        {"X-Priority", QStringLiteral("3 (Normal)")},
        {"X-MSMail-Priority", QStringLiteral("Normal")},
        {"X-Mailer", mailerName()},
        {"Importance", QStringLiteral("Normal")}};
    for (const auto& [name, value] : fixed) {
        if (!hasHeader(QLatin1String(name)))
            addHeader(QLatin1String(name), value);
    }
    removeHeader(QStringLiteral("Date"));
    addHeader(QStringLiteral("Date"), dateText());
    removeHeader(QStringLiteral("Subject"));
    addHeader(QStringLiteral("Subject"), QString::fromLatin1(MimeEncoding::headerText(subject)));
    QString toValue;
    if (!recipientAddress.isEmpty())
        toValue = mailbox(recipientName, recipientAddress);
    for (const Address& further : to) {
        if (!toValue.isEmpty())
            toValue += QLatin1String(",\r\n\t");
        toValue += mailbox(further.name, further.address);
    }
    removeHeader(QStringLiteral("To"));
    addHeader(QStringLiteral("To"), toValue);
    removeHeader(QStringLiteral("From"));
    addHeader(QStringLiteral("From"), mailbox(senderName, senderAddress));

    QByteArray out;
    for (auto header = m_headers.crbegin(); header != m_headers.crend(); ++header)
        out += headerSafe(header->first.toUtf8()) + ": " + headerSafe(header->second.toUtf8()) +
               "\r\n";

    QByteArray inner;
    if (multipart) {
        out += "\r\nThis is a multipart message in MIME format\r\n";
        if (!attachments.empty() && parts.size() > 1) {
            inner = boundary("001");
            out += "\r\n--" + outer + "\r\nContent-Type: multipart/alternative;\r\n\tboundary=\"" +
                   inner + "\"\r\n";
        }
    }
    for (const MailTextPart& part : parts) {
        if (multipart || !inner.isEmpty())
            out += "\r\n--" + (inner.isEmpty() ? outer : inner) + "\r\n";
        const QByteArray bytes = part.bytes();
        const MimeEncoding::Encoding encoding =
            part.encoding == MimeEncoding::Automatic ? MimeEncoding::choose(bytes) : part.encoding;
        out += partHeaders(part, encoding) + "\r\n\r\n" + MimeEncoding::encode(bytes, encoding);
    }
    if (!inner.isEmpty())
        out += "\r\n--" + inner + "--\r\n";
    for (const MailAttachment& attachment : attachments)
        appendAttachment(out, attachment, multipart ? outer : QByteArray());
    if (multipart)
        out += "\r\n--" + outer + "--\r\n";
    return out;
}

QByteArray MailMessage::partHeaders(const MailTextPart& part, MimeEncoding::Encoding encoding) const
{
    QByteArray out = "Content-Type: " + headerSafe(part.contentType.toUtf8());
    if (isTextType(part.contentType))
        out += ";\r\n\tcharset=\"" + headerSafe(part.charset.toUtf8()) + '"';
    out += "\r\nContent-Transfer-Encoding: " + MimeEncoding::name(encoding);
    if (!part.contentId.isEmpty())
        out += "\r\nContent-ID: <" + headerSafe(part.contentId.toUtf8()) + '>';
    return out;
}

bool MailMessage::appendAttachment(QByteArray& out, const MailAttachment& attachment,
                                   const QByteArray& boundary) const
{
    QFile file(attachment.filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    const MimeEncoding::Encoding encoding = attachment.encoding == MimeEncoding::Automatic
                                                ? MimeEncoding::choose(data)
                                                : attachment.encoding;
    const QByteArray name = attachment.shownName().toLatin1();
    const QString type = attachment.shownContentType();
    if (!boundary.isEmpty())
        out += "\r\n--" + boundary + "\r\n";
    out += "Content-Type: " + headerSafe(type.toUtf8());
    if (isTextType(type) && !attachment.charset.isEmpty())
        out += ";\r\n\tcharset=\"" + headerSafe(attachment.charset.toUtf8()) + '"';
    out += ";\r\n\tname=\"" + name + "\"\r\n";
    out += "Content-Transfer-Encoding: " + MimeEncoding::name(encoding) + "\r\n";
    out += QByteArray("Content-Disposition: ") + (attachment.isInline ? "inline" : "attachment") +
           ";\r\n\tfilename=\"" + name + '"';
    if (!attachment.contentId.isEmpty())
        out += "\r\nContent-ID: <" + headerSafe(attachment.contentId.toUtf8()) + '>';
    out += "\r\n\r\n" + MimeEncoding::encode(data, encoding);
    return true;
}
