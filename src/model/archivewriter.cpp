#include "model/archivewriter.h"

#include <QtEndian>
#include <cstring>

namespace {

template <typename T> void appendLittleEndian(QByteArray& data, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    data.append(bytes, sizeof(T));
}

} // namespace

void ArchiveWriter::writeUInt32(quint32 value)
{
    appendLittleEndian(m_data, value);
}

void ArchiveWriter::writeInt64(qint64 value)
{
    appendLittleEndian(m_data, static_cast<quint64>(value));
}

void ArchiveWriter::writeFloat(float value)
{
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    writeUInt32(bits);
}

void ArchiveWriter::writeLength(quint64 length)
{
    if (length < 0xFF) {
        m_data.append(static_cast<char>(length));
    } else if (length < 0xFFFE) {
        m_data.append('\xFF');
        appendLittleEndian(m_data, static_cast<quint16>(length));
    } else {
        m_data.append('\xFF');
        appendLittleEndian(m_data, quint16(0xFFFF));
        appendLittleEndian(m_data, static_cast<quint32>(length));
    }
}

void ArchiveWriter::writeString(const QString& value)
{
    // Most texts are plain ASCII: copied straight in, without a UTF-8 buffer of their own.
    const char16_t* chars = reinterpret_cast<const char16_t*>(value.constData());
    const qsizetype size = value.size();
    bool ascii = true;
    for (qsizetype i = 0; i < size && ascii; ++i)
        ascii = chars[i] < 0x80;
    if (!ascii) {
        const QByteArray bytes = value.toUtf8();
        writeLength(static_cast<quint64>(bytes.size()));
        m_data.append(bytes);
        return;
    }
    writeLength(static_cast<quint64>(size));
    const qsizetype at = m_data.size();
    m_data.resize(at + size);
    char* out = m_data.data() + at;
    for (qsizetype i = 0; i < size; ++i)
        out[i] = static_cast<char>(chars[i]);
}
