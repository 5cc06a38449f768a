#pragma once

#include <QByteArrayView>
#include <QString>

// Windows-1252, the 8-bit text of pages from the sites and of lists written on Windows.
// It is Latin-1 but for 0x80..0x9F; the five codes it leaves unassigned stand for the C1
// controls of the same value, as Windows itself converts them.
class Windows1252
{
public:
    static QString decode(QByteArrayView bytes);
    // The byte for one UTF-16 unit, or -1 when the charset has none.
    static int byteOf(char16_t unit);
};
