#pragma once

#include "ui/optionspage.h"

class QLineEdit;
class QPlainTextEdit;

// "E-Mail patterns": the letter to a seller.
class CEmailPatternsPage : public COptionsPage
{
    Q_OBJECT
public:
    explicit CEmailPatternsPage(AppContext& app, QWidget* parent = nullptr);

    void load(const AppSettings& settings) override;
    void store(AppSettings& settings) const override;

private:
    QLineEdit* m_subject = nullptr;
    QPlainTextEdit* m_body = nullptr;
};
