#include "model/bidfolder.h"

namespace {

// The document never links a folder into a cycle; the bound only guards the walk.
constexpr int kMaxDepth = 1 << 16;

} // namespace

CBidFolder::CBidFolder(qint32 id, qint32 parentId, const QString& name, bool onlyOneItemWins)
    : m_id(id), m_parentId(parentId), m_name(name), m_onlyOneItemWins(onlyOneItemWins)
{
    Q_UNUSED(m_spare);
}

bool CBidFolder::isClosedType(const CBidFolder* folder)
{
    if (!folder)
        return true;
    if (isClosedId(folder->id()))
        return true;
    int depth = 0;
    for (const CBidFolder* up = folder->parent(); up && depth < kMaxDepth;
         up = up->parent(), ++depth) {
        if (isBuiltInId(up->id()))
            return isClosedId(up->id());
    }
    return false;
}

bool CBidFolder::isWithin(const CBidFolder* folder, const CBidFolder* ancestor)
{
    int depth = 0;
    for (const CBidFolder* up = folder; up && depth < kMaxDepth; up = up->parent(), ++depth) {
        if (up == ancestor)
            return true;
    }
    return false;
}
