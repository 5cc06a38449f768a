#pragma once

#include "engine/dialupoptions.h"
#include "ui/optionspage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// "Network": how the program reaches the Internet (local network or a dial-up entry of
// the system's phone-book) and the proxy server.
class CNetworkPage : public COptionsPage
{
    Q_OBJECT
public:
    CNetworkPage(AppContext& app, DialUpOptions dialUp, QWidget* parent = nullptr);

    void load(const AppSettings& settings) override;
    void store(AppSettings& settings) const override;
    bool validate() override;

    static QString badPortText();

    QComboBox* entryBox() const { return m_entry; }
    QRadioButton* dialUpButton() const { return m_dialUp; }
    QCheckBox* autoDisconnectBox() const { return m_autoDisconnect; }
    QCheckBox* useProxyBox() const { return m_useProxy; }
    QLineEdit* portEdit() const { return m_port; }
    QLabel* unavailableNote() const { return m_unavailable; }

private:
    void updateDependents();

    DialUpOptions m_dialUpOptions;
    QString m_storedEntry;
    QRadioButton* m_lan = nullptr;
    QRadioButton* m_dialUp = nullptr;
    QComboBox* m_entry = nullptr;
    QCheckBox* m_autoDisconnect = nullptr;
    QSpinBox* m_connectTime = nullptr;
    QCheckBox* m_autoDial = nullptr;
    QLabel* m_unavailable = nullptr;
    QCheckBox* m_useProxy = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_port = nullptr;
    QCheckBox* m_useProxyPass = nullptr;
    QLineEdit* m_proxyUser = nullptr;
    QLineEdit* m_proxyPass = nullptr;
};
