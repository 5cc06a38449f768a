#pragma once

#include <QDialog>

class QLineEdit;

// The one-field editor of a site settings value.
class CSiteValueDlg : public QDialog
{
    Q_OBJECT
public:
    CSiteValueDlg(const QString& name, const QString& value, QWidget* parent = nullptr);

    QString value() const;
    QLineEdit* valueEdit() const { return m_value; }

private:
    QLineEdit* m_value = nullptr;
};
