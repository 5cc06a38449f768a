#include "model/archivereader.h"

#include <QStringDecoder>
#include <cstring>

namespace {

// Windows-1252 characters 0x80 to 0x9F; the five unassigned codes map to the C1
// controls of the same value, as Windows itself converts them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

template <typename T> T littleEndian(const char* bytes)
{
    T value = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<T>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return value;
}

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
    value = littleEndian<quint32>(bytes);
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
    value = static_cast<qint64>(littleEndian<quint64>(bytes));
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
    length = littleEndian<quint16>(bytes);
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
        length = littleEndian<quint16>(bytes);
    }
    if (length < 0xFFFF)
        return true;
    if (!take(4, bytes))
        return false;
    length = littleEndian<quint32>(bytes);
    if (length < 0xFFFFFFFFu)
        return true;
    if (!take(8, bytes))
        return false;
    length = littleEndian<quint64>(bytes);
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
    char16_t* out = reinterpret_cast<char16_t*>(value.data());
    for (qsizetype i = 0; i < value.size(); ++i)
        out[i] = littleEndian<quint16>(raw.data() + 2 * i);
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
    text.resize(bytes.size());
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        out[i] = (c >= 0x80 && c <= 0x9F) ? kCp1252High[c - 0x80] : char16_t(c);
    }
    return text;
}
