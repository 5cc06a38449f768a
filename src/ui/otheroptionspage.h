#pragma once

#include "ui/optionspage.h"

#include <functional>

class QCheckBox;
class QPushButton;
class QSpinBox;

// "Other": the access password over the list, the marking of auctions about to end and
// the warning about high maximum bids.
class COtherOptionsPage : public COptionsPage
{
    Q_OBJECT
public:
    // Asks for a new access password; false when the user cancelled.
    using PasswordDialog = std::function<bool(const QString& stored, QString* chosen)>;

    explicit COtherOptionsPage(AppContext& app, QWidget* parent = nullptr);

    void load(const AppSettings& settings) override;
    void store(AppSettings& settings) const override;
    bool validate() override;

    // "Change access password..."; tests answer in place of the dialog.
    void changePassword();
    void setPasswordDialog(PasswordDialog dialog) { m_dialog = std::move(dialog); }

    QCheckBox* lockBox() const { return m_lock; }
    QString pendingPassword() const { return m_password; }

private:
    void updateDependents();

    QCheckBox* m_lock = nullptr;
    QPushButton* m_change = nullptr;
    QSpinBox* m_idle = nullptr;
    QCheckBox* m_highlightEnding = nullptr;
    QSpinBox* m_highlightHours = nullptr;
    QCheckBox* m_warn = nullptr;
    QSpinBox* m_warnPrice = nullptr;
    QString m_password;
    QString m_login;
    QString m_sitePassword;
    PasswordDialog m_dialog;
};
