#pragma once

#include <QDialog>

class QCheckBox;

// A folder's properties: whether only one of its items may win.
class CFolderPropertiesDlg : public QDialog
{
    Q_OBJECT
public:
    CFolderPropertiesDlg(const QString& folderName, bool onlyOneItemWins,
                         QWidget* parent = nullptr);

    bool onlyOneItemWins() const;
    QCheckBox* onlyOneItemWinsBox() const { return m_onlyOne; }

private:
    QCheckBox* m_onlyOne = nullptr;
};
