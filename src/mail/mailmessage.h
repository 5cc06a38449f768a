#pragma once

#include "mail/mailattachment.h"
#include "mail/mailtextpart.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <vector>

// A mail to send: addresses, subject, text parts and attachments, and the header list
// that build() completes and writes. The content fields are plain data, filled by the
// sender of the mail before build().
class MailMessage
{
public:
    enum MultipartKind
    {
        AutomaticKind = 0, // "mixed" with attachments, else "alternative"
        Mixed = 1,
        Alternative = 2,
        Related = 3
    };

    struct Address
    {
        QString name;
        QString address;
    };

    // `created` gives the Date header, in the zone it carries.
    explicit MailMessage(const QDateTime& created = QDateTime::currentDateTime());

    QString senderName;
    QString senderAddress;
    QString recipientName;
    QString recipientAddress;
    QString subject;
    std::vector<MailTextPart> parts;
    // Further "To" recipients and hidden ones (sent to, never listed).
    std::vector<Address> to;
    std::vector<Address> hidden;
    std::vector<MailAttachment> attachments;
    MultipartKind multipartKind = AutomaticKind;
    // Without "<>"; empty for none.
    QString messageId;

    // The header list, in the order added; names compare without regard to case.
    void addHeader(const QString& name, const QString& value);
    void removeHeader(const QString& name);
    bool hasHeader(const QString& name) const;
    QString header(const QString& name) const;
    const QList<QPair<QString, QString>>& headers() const { return m_headers; }

    QDateTime created() const { return m_created; }
    // Hours × 100 + minutes east of UTC (-0500 is -500).
    int utcOffset() const { return m_utcOffset; }
    // "Mon, 8 Dec 2025 9:05:00 +0100"; a zone at UTC is written -0000.
    QString dateText() const;

    // The message as it follows DATA, before dot-stuffing: the header list completed
    // (Content-Type, MIME-Version, Message-ID, X-Priority, X-MSMail-Priority, X-Mailer,
    // Importance, Date, Subject, To, From) and written newest first, then the parts. A
    // second build replaces those headers but keeps the first priority and mailer values.
    QByteArray build();

    // The mailer named in X-Mailer.
    static QString mailerName();

private:
    QByteArray partHeaders(const MailTextPart& part, MimeEncoding::Encoding encoding) const;
    bool appendAttachment(QByteArray& out, const MailAttachment& attachment,
                          const QByteArray& boundary) const;

    QList<QPair<QString, QString>> m_headers;
    QDateTime m_created;
    int m_utcOffset = 0;
};
