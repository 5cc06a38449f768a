#include "ui/updatescreen1.h"

#include "app/appcontext.h"

#include <QFont>
#include <QLabel>
#include <QVBoxLayout>

CUpdateScreen1::CUpdateScreen1(AppContext& app, QWidget* parent) : QWizardPage(parent)
{
    auto* column = new QVBoxLayout(this);
    auto* headline =
        new QLabel(tr("Welcome to the %1 Update Wizard").arg(AppContext::applicationTitle()), this);
    QFont font(QStringLiteral("Verdana"), 12, QFont::Bold);
    headline->setFont(font);
    headline->setWordWrap(true);
    column->addWidget(headline);
    auto* text = new QLabel(tr("This wizard brings the auction sites' settings up to date and "
                               "tells you whether a new version of %1 has been released. It can "
                               "download the new version for you.\n\nClick Next to continue.")
                                .arg(AppContext::applicationTitle()),
                            this);
    text->setWordWrap(true);
    column->addWidget(text);
    column->addStretch();
    column->addWidget(new QLabel(
        tr("Installed version: %1 %2").arg(AppContext::applicationTitle(), app.versionText()),
        this));
}
