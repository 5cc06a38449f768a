#pragma once

#include "ui/optionspage.h"

class QComboBox;
class QLabel;
class QPushButton;

// "Update": when to look for new site settings and program versions.
class CUpdatePage : public COptionsPage
{
    Q_OBJECT
public:
    explicit CUpdatePage(AppContext& app, QWidget* parent = nullptr);

    void load(const AppSettings& settings) override;
    void store(AppSettings& settings) const override;

    // "Never" for 0, else the local date and time of `secondsSince1970`.
    static QString lastCheckedText(qint64 secondsSince1970);
    QComboBox* scheduleBox() const { return m_schedule; }
    QLabel* lastCheckedLabel() const { return m_lastChecked; }

private:
    QComboBox* m_schedule = nullptr;
    QPushButton* m_updateNow = nullptr;
    QLabel* m_lastChecked = nullptr;
};
