#include "ui/splashscreen.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>

namespace {

QPixmap splashPicture()
{
    QPixmap pixmap(420, 200);
    pixmap.fill(QColor(0xf5, 0xf1, 0xe8));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x8d, 0x6e, 0x63));
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    QIcon(QStringLiteral(":/icons/gavelin.svg")).paint(&painter, QRect(24, 36, 96, 96));
    QFont title = painter.font();
    title.setPointSize(26);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(0x4e, 0x34, 0x2e));
    painter.drawText(QRect(140, 50, 260, 50), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Gavelin"));
    QFont subtitle = painter.font();
    subtitle.setPointSize(11);
    subtitle.setBold(false);
    painter.setFont(subtitle);
    painter.drawText(QRect(142, 96, 260, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Auction sniper"));
    return pixmap;
}

} // namespace

SplashScreen::SplashScreen() : QSplashScreen(splashPicture()) {}

void SplashScreen::showText(const QString& text)
{
    if (!isVisible())
        show();
    showMessage(text, Qt::AlignBottom | Qt::AlignLeft, QColor(0x4e, 0x34, 0x2e));
    QApplication::processEvents();
}
