#include "model/archivewriter.h"

#include <cstring>

void ArchiveWriter::writeLittleEndian(quint64 value, int bytes)
{
    char buffer[8] = {};
    for (int i = 0; i < bytes; ++i)
        buffer[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    m_data.append(buffer, bytes);
}

void ArchiveWriter::writeUInt32(quint32 value)
{
    writeLittleEndian(value, 4);
}

void ArchiveWriter::writeInt64(qint64 value)
{
    writeLittleEndian(static_cast<quint64>(value), 8);
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
        writeLittleEndian(length, 1);
    } else if (length < 0xFFFE) {
        writeLittleEndian(0xFF, 1);
        writeLittleEndian(length, 2);
    } else {
        writeLittleEndian(0xFF, 1);
        writeLittleEndian(0xFFFF, 2);
        writeLittleEndian(length, 4);
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
