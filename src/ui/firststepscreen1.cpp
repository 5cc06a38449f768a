#include "ui/firststepscreen1.h"

#include "app/appcontext.h"

#include <QFont>
#include <QLabel>
#include <QVBoxLayout>

CFirstStepScreen1::CFirstStepScreen1(QWidget* parent) : QWizardPage(parent)
{
    auto* column = new QVBoxLayout(this);
    auto* headline = new QLabel(tr("Welcome to Gavelin!"), this);
    headline->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    headline->setWordWrap(true);
    column->addWidget(headline);
    auto* text = new QLabel(
        tr("%1 places your bids in the last seconds of an auction, so that no one has the time "
           "to outbid you.\n\nThis wizard sets up what it needs for that: the eBay® site you "
           "bid on, your eBay® account and the e-mail address for sellers' questions.\n\n"
           "Click Next to continue.")
            .arg(AppContext::applicationTitle()),
        this);
    text->setWordWrap(true);
    column->addWidget(text);
    column->addStretch();
}
