#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Writes the list file's archive encoding (see ArchiveReader). Strings are written as
// UTF-8 with the shortest length prefix.
class ArchiveWriter
{
public:
    void reserve(qsizetype bytes) { m_data.reserve(bytes); }

    void writeUInt32(quint32 value);
    void writeInt32(qint32 value) { writeUInt32(static_cast<quint32>(value)); }
    void writeInt64(qint64 value);
    void writeFloat(float value);
    void writeString(const QString& value);

    const QByteArray& data() const { return m_data; }
    QByteArray take() { return std::move(m_data); }

private:
    void writeLength(quint64 length);

    QByteArray m_data;
};
