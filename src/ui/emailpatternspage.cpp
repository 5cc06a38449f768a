#include "ui/emailpatternspage.h"

#include "app/appsettings.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CEmailPatternsPage::CEmailPatternsPage(AppContext& app, QWidget* parent)
    : COptionsPage(app, tr("E-Mail patterns"), parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* group = new QGroupBox(tr("Letter to seller template"), this);
    auto* form = new QFormLayout(group);
    m_subject = new QLineEdit(group);
    m_body = new QPlainTextEdit(group);
    m_body->setTabChangesFocus(true);
    form->addRow(tr("&Subject:"), m_subject);
    form->addRow(tr("&Body:"), m_body);
    form->addRow(QString(), newNote(tr("Words in square brackets, such as [seller_name] or "
                                       "[bid_id], are filled in for each letter.")));
    column->addWidget(group, 1);
}

void CEmailPatternsPage::load(const AppSettings& settings)
{
    m_subject->setText(settings.sellerSubject);
    // Stored with CR LF line ends; the editor works with LF.
    QString body = settings.sellerBody;
    m_body->setPlainText(body.replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void CEmailPatternsPage::store(AppSettings& settings) const
{
    settings.sellerSubject = m_subject->text();
    QString body = m_body->toPlainText();
    settings.sellerBody = body.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}
