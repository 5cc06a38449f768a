#include "web/attributelimiter.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// The HTML tokenizer's states inside a tag.
enum State : unsigned char
{
    TagName,
    BeforeName,
    Name,
    AfterName,
    BeforeValue,
    DoubleQuoted,
    SingleQuoted,
    Unquoted,
    AfterQuoted,
    SelfClosing,
    StateCount
};

enum Root : unsigned char
{
    NoRoot = 0,
    HtmlRoot = 1,
    BodyRoot = 2
};

bool isSpace(char c)
{
    // The tokenizer sees "\r" as "\n".
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// One character of a tag: false when `c` ends it, `attribute` when `c` begins an
// attribute name.
bool step(State& state, char c, bool& attribute)
{
    attribute = false;
    switch (state) {
    case TagName:
    case Name:
        if (isSpace(c))
            state = state == TagName ? BeforeName : AfterName;
        else if (c == '/')
            state = SelfClosing;
        else if (c == '=' && state == Name)
            state = BeforeValue;
        else if (c == '>')
            return false;
        return true;
    case BeforeName:
    case AfterName:
        if (isSpace(c))
            return true;
        if (c == '/') {
            state = SelfClosing;
        } else if (c == '=' && state == AfterName) {
            state = BeforeValue;
        } else if (c == '>') {
            return false;
        } else {
            state = Name;
            attribute = true;
        }
        return true;
    case BeforeValue:
        if (c == '>')
            return false;
        if (c == '"')
            state = DoubleQuoted;
        else if (c == '\'')
            state = SingleQuoted;
        else if (!isSpace(c))
            state = Unquoted;
        return true;
    case DoubleQuoted:
    case SingleQuoted:
        if (c == (state == DoubleQuoted ? '"' : '\''))
            state = AfterQuoted;
        return true;
    case Unquoted:
        if (c == '>')
            return false;
        if (isSpace(c))
            state = BeforeName;
        return true;
    case AfterQuoted:
    case SelfClosing:
        if (c == '>')
            return false;
        if (state == AfterQuoted && isSpace(c)) {
            state = BeforeName;
            return true;
        }
        if (c == '/') {
            state = SelfClosing;
            return true;
        }
        state = BeforeName; // the character is read again there
        return step(state, c, attribute);
    case StateCount:
        break;
    }
    return true;
}

// The readings of the bytes seen so far that are inside a tag, one per state: readings
// in the same state read the rest alike. Counts keep the largest and bounds the smallest.
struct Reading
{
    bool live = false;
    int count = 0;
    int limit = 0;
    unsigned char roots = NoRoot;

    void merge(const Reading& other)
    {
        if (!live) {
            *this = other;
            return;
        }
        count = std::max(count, other.count);
        limit = std::min(limit, other.limit);
        roots |= other.roots;
    }
};

bool isFormatting(const char* name)
{
    static const char* const names[] = {"b", "big",   "code",   "em",     "font", "i", "nobr",
                                        "s", "small", "strike", "strong", "tt",   "u"};
    return std::any_of(std::begin(names), std::end(names),
                       [name](const char* n) { return std::strcmp(n, name) == 0; });
}

class Scanner
{
public:
    explicit Scanner(const QByteArray& html) : m_html(html), m_data(html.constData()) {}

    QByteArray run();

private:
    // A reading that begins with the letter at `at`.
    Reading opening(qsizetype at, bool endTag) const;
    bool overLimit(const Reading& reading) const;
    void advance(char c);
    void remember(char c);
    void startChange();
    void copyTo(qsizetype at);
    void insertClose();

    const QByteArray& m_html;
    const char* m_data;
    std::array<Reading, StateCount> m_readings;
    int m_live = 0;
    int m_rootBudget[3] = {0, AttributeLimiter::kMaxMergedIntoRoot,
                           AttributeLimiter::kMaxMergedIntoRoot};
    // The last three characters given to the parser, the latest first.
    char m_last[3] = {};

    bool m_changed = false;
    QByteArray m_out;
    qsizetype m_copied = 0;
};

Reading Scanner::opening(qsizetype at, bool endTag) const
{
    char name[8] = {};
    size_t length = 0;
    for (qsizetype i = at; i < m_html.size() && length < sizeof name; ++i) {
        const char c = m_data[i];
        if (isSpace(c) || c == '/' || c == '>')
            break;
        name[length++] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    Reading reading;
    reading.live = true;
    reading.limit = AttributeLimiter::kMaxPerTag;
    if (length == sizeof name || endTag)
        return reading;
    if (isFormatting(name))
        reading.limit = AttributeLimiter::kMaxPerFormattingTag;
    else if (std::strcmp(name, "html") == 0)
        reading.roots = HtmlRoot;
    else if (std::strcmp(name, "body") == 0)
        reading.roots = BodyRoot;
    return reading;
}

bool Scanner::overLimit(const Reading& reading) const
{
    return reading.count >= reading.limit ||
           ((reading.roots & HtmlRoot) && m_rootBudget[HtmlRoot] <= 0) ||
           ((reading.roots & BodyRoot) && m_rootBudget[BodyRoot] <= 0);
}

// Moves every reading over `c`, which goes to the parser.
void Scanner::advance(char c)
{
    std::array<Reading, StateCount> next;
    int live = 0;
    for (int s = 0; s < StateCount; ++s) {
        Reading reading = m_readings[s];
        if (!reading.live)
            continue;
        State state = static_cast<State>(s);
        bool attribute = false;
        if (!step(state, c, attribute))
            continue;
        if (attribute) {
            ++reading.count;
            for (int root : {HtmlRoot, BodyRoot}) {
                if (reading.roots & root)
                    --m_rootBudget[root];
            }
        }
        if (!next[state].live)
            ++live;
        next[state].merge(reading);
    }
    m_readings = next;
    m_live = live;
    remember(c);
}

void Scanner::remember(char c)
{
    m_last[2] = m_last[1];
    m_last[1] = m_last[0];
    m_last[0] = c;
}

void Scanner::startChange()
{
    if (m_changed)
        return;
    m_changed = true;
    m_out.reserve(m_html.size() + 64);
}

void Scanner::copyTo(qsizetype at)
{
    if (m_changed && at > m_copied)
        m_out.append(m_data + m_copied, at - m_copied);
    m_copied = std::max(m_copied, at);
}

// Ends every reading outside a quoted value with a ">" of our own.
void Scanner::insertClose()
{
    m_out.append('>');
    advance('>');
}

QByteArray Scanner::run()
{
    const qsizetype size = m_html.size();
    qsizetype i = 0;
    while (i < size) {
        const bool afterOpen = m_last[0] == '<' || (m_last[0] == '/' && m_last[1] == '<');
        if (m_live == 0 && !afterOpen) {
            // Outside every tag only a "<" matters.
            const void* lt = std::memchr(m_data + i, '<', static_cast<size_t>(size - i));
            const qsizetype next = lt ? static_cast<const char*>(lt) - m_data : size;
            if (next > i) {
                for (qsizetype k = std::max(i, next - 3); k < next; ++k)
                    remember(m_data[k]);
                i = next;
                continue;
            }
        }
        const char c = m_data[i];
        // Does `c` give a reading past its bound one attribute too many?
        int excess = -1;
        for (int s = 0; s < StateCount && excess < 0; ++s) {
            if (!m_readings[s].live)
                continue;
            State state = static_cast<State>(s);
            bool attribute = false;
            if (step(state, c, attribute) && attribute && overLimit(m_readings[s]))
                excess = s;
        }
        if (excess >= 0) {
            startChange();
            copyTo(i);
            if (m_live > 1) {
                // Other readings share these bytes: cut nothing, close them all here.
                insertClose();
                continue;
            }
            // The only reading: leave out its attributes up to its ">" (kept) or up to
            // the first "<" (a ">" of our own goes before it).
            State state = static_cast<State>(excess);
            qsizetype j = i;
            bool attribute = false;
            while (j < size && m_data[j] != '<' && step(state, m_data[j], attribute))
                ++j;
            m_copied = j;
            if (j < size && m_data[j] == '<')
                insertClose();
            i = j;
            continue;
        }
        advance(c);
        // A letter after "<" or "</" may begin a tag.
        const bool endTag = m_last[1] == '/' && m_last[2] == '<';
        if (isLetter(c) && (m_last[1] == '<' || endTag)) {
            if (!m_readings[TagName].live)
                ++m_live;
            m_readings[TagName].merge(opening(i, endTag));
        }
        ++i;
    }
    if (!m_changed)
        return m_html;
    copyTo(size);
    return m_out;
}

} // namespace

QByteArray AttributeLimiter::limit(const QByteArray& html)
{
    return Scanner(html).run();
}
