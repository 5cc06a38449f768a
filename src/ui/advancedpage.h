#pragma once

#include "ui/optionspage.h"

class QCheckBox;

// "Advanced": start-up, list and browser behaviour.
class CAdvancedPage : public COptionsPage
{
    Q_OBJECT
public:
    explicit CAdvancedPage(AppContext& app, QWidget* parent = nullptr);

    void load(const AppSettings& settings) override;
    void store(AppSettings& settings) const override;

    QCheckBox* splashBox() const { return m_noSplash; }
    QCheckBox* autoStartupBox() const { return m_autoStartup; }

private:
    QCheckBox* m_autoStartup = nullptr;
    QCheckBox* m_background = nullptr;
    QCheckBox* m_noSplash = nullptr;
    QCheckBox* m_confirmDelete = nullptr;
    QCheckBox* m_silentBrowser = nullptr;
    QCheckBox* m_showBidPages = nullptr;
    QCheckBox* m_autoSaveList = nullptr;
    QCheckBox* m_sortFolders = nullptr;
};
