#include "ui/optionspage.h"

#include "app/appcontext.h"

#include <QEvent>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

COptionsPage::COptionsPage(AppContext& app, const QString& title, QWidget* parent)
    : QWidget(parent), m_app(app), m_title(title)
{
}

void COptionsPage::loadSpin(QSpinBox* spin, int value, const char* key) const
{
    spin->setValue(value);
    if (spin->value() == value)
        return;
    m_app.log().message(tr("Options: the stored %1 = %2 is outside %3 to %4; %5 is shown.")
                            .arg(QLatin1String(key))
                            .arg(value)
                            .arg(spin->minimum())
                            .arg(spin->maximum())
                            .arg(spin->value()),
                        ProgramLog::Warning);
}

QSpinBox* COptionsPage::newSpin(int minimum, int maximum, const QString& suffix)
{
    auto* spin = new QSpinBox(this);
    spin->setRange(minimum, maximum);
    spin->setSuffix(suffix);
    spin->setAlignment(Qt::AlignRight);
    spin->setAccelerated(true);
    return spin;
}

QLabel* COptionsPage::newNote(const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void COptionsPage::finishLayout()
{
    if (auto* column = qobject_cast<QVBoxLayout*>(layout()))
        column->addStretch(1);
    // A label reads as part of its field, so it must not look usable when the field is not.
    for (QLabel* label : findChildren<QLabel*>()) {
        if (QWidget* field = label->buddy()) {
            field->installEventFilter(this);
            label->setEnabled(field->isEnabled());
        }
    }
}

bool COptionsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && watched->isWidgetType()) {
        const bool enabled = static_cast<QWidget*>(watched)->isEnabled();
        for (QLabel* label : findChildren<QLabel*>()) {
            if (label->buddy() == watched)
                label->setEnabled(enabled);
        }
    }
    return QWidget::eventFilter(watched, event);
}
