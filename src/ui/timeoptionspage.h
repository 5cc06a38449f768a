#pragma once

#include "ui/optionspage.h"

class QCheckBox;
class QLabel;
class QSpinBox;

// "Time options": when to bid, how often to refresh, synchronise the clock and autosave.
// A bidding interval below 30 seconds is questioned once per sheet, when the page is
// opened or left with it.
class CTimeOptionsPage : public COptionsPage
{
    Q_OBJECT
public:
    static constexpr int kShortestSafeStart = 30;

    explicit CTimeOptionsPage(AppContext& app, QWidget* parent = nullptr);

    void load(const AppSettings& settings) override;
    void store(AppSettings& settings) const override;
    void entered() override;
    bool leave() override;

    static QString shortIntervalText();
    QSpinBox* startBeforeBox() const { return m_startBefore; }
    bool isWarningShown() const;

private:
    bool checkStartBefore();
    void updateDependents();

    QSpinBox* m_bidsEvery = nullptr;
    QSpinBox* m_startBefore = nullptr;
    QWidget* m_warning = nullptr;
    QCheckBox* m_enableRefresh = nullptr;
    QSpinBox* m_refreshEvery = nullptr;
    QCheckBox* m_refreshCheck = nullptr;
    QSpinBox* m_refreshInactive = nullptr;
    QSpinBox* m_autoTimeSync = nullptr;
    QCheckBox* m_preciseStart = nullptr;
    QCheckBox* m_autoSave = nullptr;
    QSpinBox* m_autoSaveTime = nullptr;
    int m_lastGood = 60;     // what Cancel of the question puts back
    bool m_accepted = false; // the user kept a short interval in this sheet
};
