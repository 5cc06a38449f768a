#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

typedef struct GumboInternalNode GumboNode;

// Renders an element's text the way a browser's innerText reads: block elements, table
// rows, list items and line breaks start new lines; the cells of one row share a line,
// separated by a tab, so that a label and its value stay together; inline text runs on;
// white space collapses (kept inside <pre>); script, style, form fields and hidden
// elements give nothing. Lines are joined by "\r\n"; no line is empty.
class BodyTextRenderer
{
public:
    static QString render(const GumboNode* root);

private:
    enum class Kind
    {
        Inline,
        Block,
        Row,
        Cell,
        Break,
        Preformatted,
        Skip
    };

    struct Row
    {
        int cells = 0;
        quint64 serialAtStart = 0;
    };

    static Kind kindOf(const GumboNode* node);
    static bool isHidden(const GumboNode* node);

    void enter(const GumboNode* node, Kind kind);
    void leave(Kind kind);
    void text(const char* data, size_t length);
    void preformatted(const char* data, size_t length);
    void put(const char* data, size_t length);
    void requestBreak() { m_pendingBreak = true; }
    void finishLine();

    QByteArray m_out;
    QByteArray m_line;
    bool m_pendingBreak = false;
    bool m_pendingSpace = false;
    bool m_pendingTab = false;
    int m_preDepth = 0;
    quint64 m_serial = 0; // counts characters put, to tell whether a row has content
    std::vector<Row> m_rows;
};
