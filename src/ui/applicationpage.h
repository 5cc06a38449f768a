#pragma once

#include "ui/optionspage.h"

class QComboBox;
class QLineEdit;

// "Application": the current site and the account on it.
class CApplicationPage : public COptionsPage
{
    Q_OBJECT
public:
    explicit CApplicationPage(AppContext& app, QWidget* parent = nullptr);

    void load(const AppSettings& settings) override;
    void store(AppSettings& settings) const override;

    QComboBox* siteBox() const { return m_site; }
    QLineEdit* loginEdit() const { return m_login; }
    QLineEdit* passwordEdit() const { return m_password; }

private:
    QComboBox* m_site = nullptr;
    QLineEdit* m_login = nullptr;
    QLineEdit* m_password = nullptr;
};
