#include "ui/bookmarkletdlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDrag>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kBookmarkName = QStringLiteral("Add to Gavelin");

} // namespace

CBookmarkletDlg::CBookmarkletDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Add items from your browser"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        tr("Drag the link below to the bookmarks bar of your browser. On the page of an "
           "auction, click the bookmark: the item opens here in \"Edit bid properties\".\n"
           "Where dragging does not work, make a new bookmark and paste the text below as "
           "its address."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    m_drag = new QLabel(QStringLiteral("<a href=\"#\">%1</a>").arg(kBookmarkName), this);
    m_drag->setObjectName(QStringLiteral("bookmarkletLink"));
    m_drag->setAlignment(Qt::AlignCenter);
    m_drag->setCursor(Qt::OpenHandCursor);
    m_drag->setToolTip(tr("Drag me to the bookmarks bar"));
    m_drag->setTextInteractionFlags(Qt::NoTextInteraction);
    m_drag->installEventFilter(this);
    layout->addWidget(m_drag);

    auto* row = new QHBoxLayout;
    m_script = new QLineEdit(script(), this);
    m_script->setReadOnly(true);
    m_script->setMinimumWidth(420);
    row->addWidget(m_script, 1);
    auto* copy = new QPushButton(tr("&Copy"), this);
    connect(copy, &QPushButton::clicked, this,
            [] { QApplication::clipboard()->setText(script()); });
    row->addWidget(copy);
    layout->addLayout(row);

    auto* note = new QLabel(tr("The bookmark opens \"gavelin:\" links; the program must be "
                               "registered as their handler (see the README)."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString CBookmarkletDlg::script()
{
    return QStringLiteral("javascript:void(location.href='gavelin:'+"
                          "encodeURIComponent(location.href))");
}

bool CBookmarkletDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_drag) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_pressedAt = static_cast<QMouseEvent*>(event)->position().toPoint();
            return true;
        }
        if (event->type() == QEvent::MouseMove) {
            const auto* move = static_cast<QMouseEvent*>(event);
            if (!(move->buttons() & Qt::LeftButton) ||
                (move->position().toPoint() - m_pressedAt).manhattanLength() <
                    QApplication::startDragDistance())
                return true;
            // Browsers take a dropped link as a bookmark; Firefox reads its name from the
            // second line of its own type.
            auto* data = new QMimeData;
            data->setUrls({QUrl(script())});
            data->setText(script());
            const QString mozUrl = script() + QLatin1Char('\n') + kBookmarkName;
            data->setData(
                QStringLiteral("text/x-moz-url"),
                QByteArray(reinterpret_cast<const char*>(mozUrl.utf16()), mozUrl.size() * 2));
            auto* drag = new QDrag(this);
            drag->setMimeData(data);
            drag->exec(Qt::CopyAction | Qt::LinkAction);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
