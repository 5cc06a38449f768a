#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// Reads the list file's archive encoding: little-endian 32- and 64-bit integers, float
// bits, and length-prefixed strings (8-bit or 16-bit characters). Every read is checked
// against the end of the data: the first failure is kept in error() and every later read
// fails too, so a caller may check once after a group of reads.
class ArchiveReader
{
public:
    explicit ArchiveReader(QByteArrayView data) : m_data(data) {}

    bool readUInt32(quint32& value);
    bool readInt32(qint32& value);
    bool readInt64(qint64& value);
    bool readFloat(float& value);
    // 8-bit strings are UTF-8, or Windows-1252 when they are not valid UTF-8.
    bool readString(QString& value);

    // The last string read for one field. Lists repeat values (currency, category, ratings)
    // from item to item; a repeat shares the text instead of decoding it again.
    struct Recent
    {
        QByteArrayView raw;
        bool wide = false;
        QString text;
    };
    bool readString(QString& value, Recent& recent);

    qsizetype position() const { return m_pos; }
    qsizetype remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    bool hasError() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    // Records a failure found by the caller (the first one is kept).
    void fail(const QString& reason);

    // UTF-8 text, or Windows-1252 text (lists written on Windows) when not valid UTF-8.
    static QString decodeText(QByteArrayView bytes);

private:
    bool take(qsizetype count, const char*& bytes);
    bool readLength(quint64& length, bool& wide);
    bool readRaw(QByteArrayView& raw, bool& wide);
    static QString decode(QByteArrayView raw, bool wide);

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    QString m_error;
};
