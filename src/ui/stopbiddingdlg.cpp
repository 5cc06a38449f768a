#include "ui/stopbiddingdlg.h"

#include "app/imainwindow.h"
#include "app/stringtable.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

CStopBiddingDlg::CStopBiddingDlg(const QString& itemId, const QString& retractHelpUrl,
                                 QWidget* parent)
    : QDialog(parent), m_choice(IMainWindow::StopCancelled)
{
    setWindowTitle(tr("Stop bidding..."));

    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);

    auto* text = new QLabel(StringTable::text(352), this);
    text->setObjectName(QStringLiteral("question"));
    text->setWordWrap(true);
    auto* item = new QLabel(tr("Item #%1").arg(itemId.toHtmlEscaped()), this);
    item->setObjectName(QStringLiteral("item"));

    m_link = new QLabel(this);
    m_link->setObjectName(QStringLiteral("retractHelp"));
    m_link->setTextFormat(Qt::RichText);
    m_link->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                        .arg(retractHelpUrl.toHtmlEscaped(), tr("About bid retraction")));
    m_link->setToolTip(retractHelpUrl);
    m_link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // Opened by us, not by the label: only the site's own address, never a local file.
    m_link->setOpenExternalLinks(false);
    m_link->setVisible(!retractHelpUrl.isEmpty());
    connect(m_link, &QLabel::linkActivated, this, [](const QString& link) {
        const QUrl url(link);
        if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
            QDesktopServices::openUrl(url);
    });

    auto* buttons = new QDialogButtonBox(this);
    m_stopOnly = buttons->addButton(StringTable::text(357), QDialogButtonBox::AcceptRole);
    m_retract = buttons->addButton(StringTable::text(359), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_stopOnly->setDefault(true);
    connect(m_stopOnly, &QPushButton::clicked, this, [this] { choose(IMainWindow::StopOnly); });
    connect(m_retract, &QPushButton::clicked, this,
            [this] { choose(IMainWindow::StopAndRetract); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* texts = new QVBoxLayout;
    texts->addWidget(text);
    texts->addWidget(item);
    texts->addSpacing(6);
    texts->addWidget(m_link);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

void CStopBiddingDlg::choose(int choice)
{
    m_choice = choice;
    accept();
}

int CStopBiddingDlg::ask(QWidget* parent, const QString& itemId, const QString& retractHelpUrl)
{
    CStopBiddingDlg dialog(itemId, retractHelpUrl, parent);
    dialog.exec();
    return dialog.choice();
}
