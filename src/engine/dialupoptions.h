#pragma once

#include <QString>
#include <QStringList>

class DialUpConnection;

// What the options sheet's network page shows for dial-up: the phone-book entries with
// the stored one chosen, and whether the dial-up controls can be used at all.
class DialUpOptions
{
public:
    static DialUpOptions load(const DialUpConnection& dialUp, const QString& phoneEntry);

    bool controlsEnabled() const { return m_enabled; }
    const QStringList& entries() const { return m_entries; }
    // Index of the stored entry in entries(), -1 when absent.
    int selectedIndex() const { return m_selected; }
    // The text to show when dial-up is not possible (string 239); empty otherwise.
    QString unavailableText() const;
    // The notice shown when automatic disconnection is ticked (string 339).
    static QString autoDisconnectNotice();

private:
    bool m_enabled = false;
    QStringList m_entries;
    int m_selected = -1;
};
