#pragma once

#include <QString>
#include <QtGlobal>

// A folder of the bids tree. Open-type folders hold unfinished bids, closed-type folders
// finished ones; the kind comes from the first built-in folder met walking up.
class CBidFolder
{
public:
    enum BuiltInId
    {
        OpenAuctionsId = -1,
        ClosedAuctionsId = -2,
        FoundItemsId = -3,
        ClosedSpareId = -4,
    };
    static constexpr int kMaxNameLength = 32;

    CBidFolder(qint32 id, qint32 parentId, const QString& name, bool onlyOneItemWins = false);

    CBidFolder* parent() const { return m_parent; }
    void setParent(CBidFolder* parent) { m_parent = parent; }
    qint32 id() const { return m_id; }
    void setId(qint32 id) { m_id = id; }
    qint32 parentId() const { return m_parentId; }
    void setParentId(qint32 id) { m_parentId = id; }
    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    bool onlyOneItemWins() const { return m_onlyOneItemWins; }
    void setOnlyOneItemWins(bool on) { m_onlyOneItemWins = on; }

    static bool isBuiltInId(qint32 id) { return id >= ClosedSpareId && id <= OpenAuctionsId; }
    static bool isClosedId(qint32 id) { return id == ClosedAuctionsId || id == ClosedSpareId; }
    // A missing folder counts as closed-type.
    static bool isClosedType(const CBidFolder* folder);
    static bool isOpenType(const CBidFolder* folder) { return !isClosedType(folder); }
    // True when `folder` is `ancestor` or lies below it.
    static bool isWithin(const CBidFolder* folder, const CBidFolder* ancestor);

private:
    CBidFolder* m_parent = nullptr;
    qint32 m_id;
    qint32 m_parentId;
    QString m_name;
    bool m_onlyOneItemWins;
    quint32 m_spare = 0;
};
