#pragma once

#include "mail/mailattachment.h"

#include <QString>
#include <vector>

// One mail of the program (a notification, the bids list, the log): subject, plain-text
// body and files to attach. Its send thread owns it.
struct OutgoingMail
{
    QString subject;
    QString body;
    std::vector<MailAttachment> attachments;
};
