#include "json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

class Parser
{
public:
    explicit Parser(const std::string& text) : m_text(text) {}

    Json parseDocument()
    {
        Json value = parseValue(0);
        skipSpace();
        if (m_pos != m_text.size())
            fail("unexpected text after the value");
        return value;
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::runtime_error("JSON error at offset " + std::to_string(m_pos) + ": " + what);
    }

    void skipSpace()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r'))
            ++m_pos;
    }

    bool consume(const char* word)
    {
        const std::string w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0)
            return false;
        m_pos += w.size();
        return true;
    }

    Json parseValue(int depth)
    {
        // Deep nesting is no use to the control interface and would only eat the stack.
        if (depth > 64)
            fail("nesting too deep");
        skipSpace();
        if (m_pos >= m_text.size())
            fail("value expected");
        const char c = m_text[m_pos];
        if (c == '{')
            return parseObject(depth);
        if (c == '[')
            return parseArray(depth);
        if (c == '"')
            return Json(parseString());
        if (consume("true"))
            return Json(true);
        if (consume("false"))
            return Json(false);
        if (consume("null"))
            return Json();
        if (c == '-' || (c >= '0' && c <= '9'))
            return parseNumber();
        fail("value expected");
    }

    Json parseNumber()
    {
        const size_t start = m_pos;
        if (m_text[m_pos] == '-')
            ++m_pos;
        while (m_pos < m_text.size() &&
               std::string("0123456789.eE+-").find(m_text[m_pos]) != std::string::npos)
            ++m_pos;
        const std::string digits = m_text.substr(start, m_pos - start);
        char* end = nullptr;
        const double value = std::strtod(digits.c_str(), &end);
        if (end != digits.c_str() + digits.size() || !std::isfinite(value))
            fail("bad number");
        return Json(value);
    }

    static void appendUtf8(std::string& out, unsigned code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    unsigned parseHex4()
    {
        if (m_pos + 4 > m_text.size())
            fail("short \\u escape");
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = m_text[m_pos++];
            code <<= 4;
            if (h >= '0' && h <= '9')
                code |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f')
                code |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                code |= static_cast<unsigned>(h - 'A' + 10);
            else
                fail("bad \\u escape");
        }
        return code;
    }

    std::string parseString()
    {
        ++m_pos; // opening quote
        std::string out;
        while (true) {
            if (m_pos >= m_text.size())
                fail("unterminated string");
            const char c = m_text[m_pos++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                fail("control character in string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size())
                fail("unterminated escape");
            const char e = m_text[m_pos++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned code = parseHex4();
                if (code >= 0xD800 && code < 0xDC00 && consume("\\u")) {
                    const unsigned low = parseHex4();
                    if (low < 0xDC00 || low > 0xDFFF)
                        fail("bad surrogate pair");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, code);
                break;
            }
            default:
                fail("unknown escape");
            }
        }
    }

    Json parseArray(int depth)
    {
        ++m_pos;
        Json result = Json::array();
        skipSpace();
        if (consume("]"))
            return result;
        while (true) {
            result.push(parseValue(depth + 1));
            skipSpace();
            if (consume("]"))
                return result;
            if (!consume(","))
                fail("',' or ']' expected");
        }
    }

    Json parseObject(int depth)
    {
        ++m_pos;
        Json result = Json::object();
        skipSpace();
        if (consume("}"))
            return result;
        while (true) {
            skipSpace();
            if (m_pos >= m_text.size() || m_text[m_pos] != '"')
                fail("member name expected");
            std::string key = parseString();
            skipSpace();
            if (!consume(":"))
                fail("':' expected");
            result.set(key, parseValue(depth + 1));
            skipSpace();
            if (consume("}"))
                return result;
            if (!consume(","))
                fail("',' or '}' expected");
        }
    }

    const std::string& m_text;
    size_t m_pos = 0;
};

void dumpString(std::string& out, const std::string& s)
{
    out += '"';
    for (const char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

const Json kNull;

} // namespace

Json Json::array()
{
    Json j;
    j.m_type = Type::Array;
    return j;
}

Json Json::object()
{
    Json j;
    j.m_type = Type::Object;
    return j;
}

Json Json::money(int64_t cents)
{
    Json j(static_cast<double>(cents) / 100.0);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%lld.%02lld", cents < 0 ? "-" : "",
                  static_cast<long long>(std::llabs(cents) / 100),
                  static_cast<long long>(std::llabs(cents) % 100));
    j.m_numberText = buf;
    return j;
}

Json Json::parse(const std::string& text)
{
    return Parser(text).parseDocument();
}

std::string Json::dump() const
{
    std::string out;
    dumpTo(out);
    return out;
}

void Json::dumpTo(std::string& out) const
{
    switch (m_type) {
    case Type::Null:
        out += "null";
        break;
    case Type::Bool:
        out += m_bool ? "true" : "false";
        break;
    case Type::Number: {
        if (!m_numberText.empty()) {
            out += m_numberText;
        } else if (std::nearbyint(m_number) == m_number && std::fabs(m_number) < 1e15) {
            out += std::to_string(static_cast<long long>(m_number));
        } else {
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.17g", m_number);
            out += buf;
        }
        break;
    }
    case Type::String:
        dumpString(out, m_string);
        break;
    case Type::Array: {
        out += '[';
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (i)
                out += ',';
            m_items[i].dumpTo(out);
        }
        out += ']';
        break;
    }
    case Type::Object: {
        out += '{';
        for (size_t i = 0; i < m_members.size(); ++i) {
            if (i)
                out += ',';
            dumpString(out, m_members[i].first);
            out += ':';
            m_members[i].second.dumpTo(out);
        }
        out += '}';
        break;
    }
    }
}

bool Json::contains(const std::string& key) const
{
    for (const auto& m : m_members)
        if (m.first == key)
            return true;
    return false;
}

const Json& Json::operator[](const std::string& key) const
{
    for (const auto& m : m_members)
        if (m.first == key)
            return m.second;
    return kNull;
}

void Json::set(const std::string& key, Json value)
{
    m_type = Type::Object;
    for (auto& m : m_members) {
        if (m.first == key) {
            m.second = std::move(value);
            return;
        }
    }
    m_members.emplace_back(key, std::move(value));
}

void Json::push(Json value)
{
    m_type = Type::Array;
    m_items.push_back(std::move(value));
}
