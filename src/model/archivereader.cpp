#include "model/archivereader.h"

#include "app/windows1252.h"

#include <QStringDecoder>
#include <QtEndian>
#include <cstring>

namespace {

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

void ArchiveReader::fail(const QString& reason)
{
    if (m_error.isEmpty())
        m_error = reason;
}

bool ArchiveReader::take(qsizetype count, const char*& bytes)
{
    if (hasError())
        return false;
    if (count < 0 || count > remaining()) {
        fail(QStringLiteral("the file ends early at byte %1").arg(m_pos));
        return false;
    }
    bytes = m_data.data() + m_pos;
    m_pos += count;
    return true;
}

bool ArchiveReader::readUInt32(quint32& value)
{
    const char* bytes = nullptr;
    if (!take(4, bytes))
        return false;
    value = qFromLittleEndian<quint32>(bytes);
    return true;
}

bool ArchiveReader::readInt32(qint32& value)
{
    quint32 raw = 0;
    if (!readUInt32(raw))
        return false;
    value = static_cast<qint32>(raw);
    return true;
}

bool ArchiveReader::readInt64(qint64& value)
{
    const char* bytes = nullptr;
    if (!take(8, bytes))
        return false;
    value = static_cast<qint64>(qFromLittleEndian<quint64>(bytes));
    return true;
}

bool ArchiveReader::readFloat(float& value)
{
    quint32 bits = 0;
    if (!readUInt32(bits))
        return false;
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool ArchiveReader::readLength(quint64& length, bool& wide)
{
    const char* bytes = nullptr;
    wide = false;
    if (!take(1, bytes))
        return false;
    length = static_cast<unsigned char>(bytes[0]);
    if (length < 0xFF)
        return true;
    if (!take(2, bytes))
        return false;
    length = qFromLittleEndian<quint16>(bytes);
    if (length == 0xFFFE) {
        // 16-bit characters follow; the length comes again, counting them.
        wide = true;
        if (!take(1, bytes))
            return false;
        length = static_cast<unsigned char>(bytes[0]);
        if (length < 0xFF)
            return true;
        if (!take(2, bytes))
            return false;
        length = qFromLittleEndian<quint16>(bytes);
    }
    if (length < 0xFFFF)
        return true;
    if (!take(4, bytes))
        return false;
    length = qFromLittleEndian<quint32>(bytes);
    if (length < 0xFFFFFFFFu)
        return true;
    if (!take(8, bytes))
        return false;
    length = qFromLittleEndian<quint64>(bytes);
    return true;
}

bool ArchiveReader::readRaw(QByteArrayView& raw, bool& wide)
{
    const qsizetype start = m_pos;
    quint64 length = 0;
    if (!readLength(length, wide))
        return false;
    if (length > static_cast<quint64>(remaining()) ||
        (wide && length * 2 > static_cast<quint64>(remaining()))) {
        fail(QStringLiteral("a string at byte %1 runs past the end of the file").arg(start));
        return false;
    }
    const qsizetype size = static_cast<qsizetype>(wide ? length * 2 : length);
    const char* bytes = nullptr;
    take(size, bytes);
    raw = QByteArrayView(bytes, size);
    return true;
}

QString ArchiveReader::decode(QByteArrayView raw, bool wide)
{
    if (!wide)
        return decodeText(raw);
    QString value(raw.size() / 2, Qt::Uninitialized);
    qFromLittleEndian<quint16>(raw.data(), value.size(), value.data());
    return value;
}

bool ArchiveReader::readString(QString& value)
{
    QByteArrayView raw;
    bool wide = false;
    if (!readRaw(raw, wide))
        return false;
    value = decode(raw, wide);
    return true;
}

bool ArchiveReader::readString(QString& value, Recent& recent)
{
    QByteArrayView raw;
    bool wide = false;
    if (!readRaw(raw, wide))
        return false;
    if (wide != recent.wide || raw != recent.raw) {
        recent.raw = raw;
        recent.wide = wide;
        recent.text = decode(raw, wide);
    }
    value = recent.text;
    return true;
}

QString ArchiveReader::decodeText(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return Windows1252::decode(bytes);
}
