#include "web/nestinglimiter.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

bool isNameChar(char c)
{
    return c != '>' && c != '/' && c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool oneOf(const std::string& name, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == n; });
}

bool isVoid(const std::string& name)
{
    return oneOf(name, {"area",     "base",    "br",    "col",    "embed",  "hr",     "img",
                        "input",    "link",    "meta",  "param",  "source", "track",  "wbr",
                        "basefont", "bgsound", "frame", "keygen", "image",  "isindex"});
}

bool isRawText(const std::string& name)
{
    return oneOf(name, {"script", "style", "textarea", "title", "xmp", "iframe", "noembed",
                        "noframes", "noscript", "plaintext"});
}

// Case-insensitive search for "</name" from `from`; the text's end when absent.
qsizetype findEndTag(const QByteArray& html, qsizetype from, const std::string& name)
{
    const qsizetype size = html.size();
    const char* data = html.constData();
    for (qsizetype i = from; i + 1 < size; ++i) {
        const void* lt = std::memchr(data + i, '<', static_cast<size_t>(size - i));
        if (!lt)
            break;
        i = static_cast<const char*>(lt) - data;
        if (i + 1 < size && data[i + 1] == '/' &&
            static_cast<size_t>(size - i - 2) >= name.size() &&
            qstrnicmp(data + i + 2, name.c_str(), name.size()) == 0)
            return i;
    }
    return size;
}

class Scanner
{
public:
    Scanner(const QByteArray& html, int maxDepth) : m_html(html), m_maxDepth(maxDepth) {}

    QByteArray run();

private:
    qsizetype tagEnd(qsizetype from, bool* selfClosing) const;
    std::string readName(qsizetype& i) const;
    bool popTo(std::initializer_list<const char*> names, std::initializer_list<const char*> stops);
    bool startTag(const std::string& name);
    bool endTag(const std::string& name);

    const QByteArray& m_html;
    int m_maxDepth;
    std::vector<std::string> m_stack;
    std::unordered_map<std::string, int> m_dropped;
    std::vector<std::pair<qsizetype, qsizetype>> m_cuts;
};

qsizetype Scanner::tagEnd(qsizetype from, bool* selfClosing) const
{
    const qsizetype size = m_html.size();
    char previous = 0;
    for (qsizetype i = from; i < size; ++i) {
        const char c = m_html[i];
        if (c == '>') {
            *selfClosing = previous == '/';
            return i + 1;
        }
        if ((c == '"' || c == '\'') && previous == '=') {
            const qsizetype close = m_html.indexOf(c, i + 1);
            if (close < 0)
                return size;
            i = close;
        }
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            previous = c;
    }
    *selfClosing = false;
    return size;
}

std::string Scanner::readName(qsizetype& i) const
{
    std::string name;
    while (i < m_html.size() && isNameChar(m_html[i])) {
        char c = m_html[i++];
        name += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    return name;
}

bool Scanner::popTo(std::initializer_list<const char*> names,
                    std::initializer_list<const char*> stops)
{
    for (size_t i = m_stack.size(); i-- > 0;) {
        if (oneOf(m_stack[i], names)) {
            m_stack.resize(i);
            m_dropped.clear();
            return true;
        }
        if (oneOf(m_stack[i], stops))
            return false;
    }
    return false;
}

// False when the tag is to be left out.
bool Scanner::startTag(const std::string& name)
{
    // Elements that close an open one of their kind, as the parser does.
    if (name == "p")
        popTo({"p"}, {"table", "td", "th", "button"});
    else if (name == "li")
        popTo({"li"}, {"ul", "ol", "menu", "table"});
    else if (name == "dt" || name == "dd")
        popTo({"dt", "dd"}, {"dl", "table"});
    else if (name == "option" || name == "optgroup")
        popTo(name == "option" ? std::initializer_list<const char*>{"option"}
                               : std::initializer_list<const char*>{"option", "optgroup"},
              {"select"});
    else if (name == "tr")
        popTo({"tr"}, {"table"});
    else if (name == "td" || name == "th")
        popTo({"td", "th"}, {"tr", "table"});
    else if (name == "tbody" || name == "thead" || name == "tfoot")
        popTo({"tbody", "thead", "tfoot"}, {"table"});
    else if (name == "a" || name == "nobr" || name == "button")
        popTo({name.c_str()}, {"table"});
    else if (oneOf(name, {"html", "head", "body", "form"}) &&
             std::find(m_stack.begin(), m_stack.end(), name) != m_stack.end())
        return true; // the parser ignores a second one

    if (static_cast<int>(m_stack.size()) >= m_maxDepth) {
        ++m_dropped[name];
        return false;
    }
    m_stack.push_back(name);
    return true;
}

bool Scanner::endTag(const std::string& name)
{
    // Left-out elements are the innermost ones: their end tags come first.
    auto dropped = m_dropped.find(name);
    if (dropped != m_dropped.end() && dropped->second > 0) {
        --dropped->second;
        return false;
    }
    for (size_t i = m_stack.size(); i-- > 0;) {
        if (m_stack[i] == name) {
            m_stack.resize(i);
            m_dropped.clear(); // closing an outer element closes everything inside it
            return true;
        }
    }
    return true;
}

QByteArray Scanner::run()
{
    const qsizetype size = m_html.size();
    const char* data = m_html.constData();
    qsizetype i = 0;
    while (i < size) {
        const void* lt = std::memchr(data + i, '<', static_cast<size_t>(size - i));
        if (!lt)
            break;
        const qsizetype start = static_cast<const char*>(lt) - data;
        i = start + 1;
        if (i >= size)
            break;
        if (size - start >= 4 && std::memcmp(data + start, "<!--", 4) == 0) {
            const qsizetype close = m_html.indexOf("-->", start + 4);
            i = close < 0 ? size : close + 3;
        } else if (data[i] == '!' || data[i] == '?') {
            const qsizetype close = m_html.indexOf('>', i);
            i = close < 0 ? size : close + 1;
        } else if (data[i] == '/' && i + 1 < size && isLetter(data[i + 1])) {
            ++i;
            const std::string name = readName(i);
            bool selfClosing = false;
            i = tagEnd(i, &selfClosing);
            if (!endTag(name))
                m_cuts.emplace_back(start, i);
        } else if (isLetter(data[i])) {
            const std::string name = readName(i);
            bool selfClosing = false;
            i = tagEnd(i, &selfClosing);
            if (isRawText(name)) {
                i = findEndTag(m_html, i, name);
            } else if (!isVoid(name) && !selfClosing && !startTag(name)) {
                m_cuts.emplace_back(start, i);
            }
        }
    }
    if (m_cuts.empty())
        return m_html;
    QByteArray out;
    out.reserve(size);
    qsizetype from = 0;
    for (const auto& [cutStart, cutEnd] : m_cuts) {
        out.append(data + from, cutStart - from);
        from = cutEnd;
    }
    out.append(data + from, size - from);
    return out;
}

} // namespace

QByteArray NestingLimiter::limit(const QByteArray& html, int maxDepth)
{
    return Scanner(html, maxDepth).run();
}
