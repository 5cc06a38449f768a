#include "ui/outlookbar.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kBarWidth = 104;

} // namespace

COutlookBar::COutlookBar(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("outlookBar"));
    setFrameShape(QFrame::StyledPanel);
    setFixedWidth(kBarWidth);
    // A shade darker than the window, so that disabled entries stay readable.
    QPalette shade = palette();
    shade.setColor(QPalette::Window, shade.color(QPalette::Window).darker(112));
    setPalette(shade);
    setAutoFillBackground(true);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 6);
    m_layout->setSpacing(2);
    m_layout->addStretch(1);
}

void COutlookBar::addGroup(const QString& title)
{
    auto* header = new QLabel(title, this);
    header->setAlignment(Qt::AlignCenter);
    header->setFrameShape(QFrame::StyledPanel);
    header->setBackgroundRole(QPalette::Button);
    header->setAutoFillBackground(true);
    header->setMargin(3);
    QFont font = header->font();
    font.setBold(true);
    header->setFont(font);
    m_layout->insertWidget(m_layout->count() - 1, header);
}

void COutlookBar::addAction(QAction* action)
{
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(32, 32));
    button->setAutoRaise(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_layout->insertWidget(m_layout->count() - 1, button);
}
