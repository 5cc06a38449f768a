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
    QPushButton* updateNowButton() const { return m_updateNow; }
    QLabel* resultLabel() const { return m_result; }

Q_SIGNALS:
    // "Update Now" has finished, the result shown.
    void updateFinished(bool success);

private:
    // "Update Now": the whole site data again, on a thread of its own so the sheet stays
    // usable while a slow server answers.
    void updateNow();
    void showResult(bool success, qint64 checkedAt);

    QComboBox* m_schedule = nullptr;
    QPushButton* m_updateNow = nullptr;
    QLabel* m_lastChecked = nullptr;
    QLabel* m_result = nullptr;
};
