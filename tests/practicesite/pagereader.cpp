#include "pagereader.h"

#include <cctype>
#include <regex>

namespace {

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string attribute(const std::string& tag, const std::string& name)
{
    const std::regex re("\\b" + name + "=\"([^\"]*)\"", std::regex::icase);
    std::smatch m;
    return std::regex_search(tag, m, re) ? PageReader::decodeEntities(m[1].str()) : "";
}

bool isBlock(const std::string& name)
{
    static const char* blocks[] = {"p",  "div", "h1", "h2",   "h3", "table", "tr",
                                   "br", "li",  "ul", "form", "hr", "body",  "html"};
    for (const char* b : blocks)
        if (name == b)
            return true;
    return false;
}

} // namespace

std::string PageReader::decodeEntities(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            const size_t end = text.find(';', i);
            const std::string name =
                end == std::string::npos ? "" : text.substr(i + 1, end - i - 1);
            const char* repl = name == "amp"    ? "&"
                               : name == "lt"   ? "<"
                               : name == "gt"   ? ">"
                               : name == "quot" ? "\""
                               : name == "#39"  ? "'"
                               : name == "nbsp" ? " "
                                                : nullptr;
            if (repl) {
                out += repl;
                i = end;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

PageReader::PageReader(const std::string& html)
{
    std::string line;
    bool firstCell = true;
    bool skipping = false; // inside head, script or style
    Form* form = nullptr;
    std::string select;
    bool inLink = false;
    std::string linkText;
    auto flush = [&] {
        std::string collapsed;
        for (const char c : line) {
            const bool space = c == ' ' || c == '\n' || c == '\r';
            if (space && (collapsed.empty() || collapsed.back() == ' ' || collapsed.back() == '\t'))
                continue;
            collapsed += space ? ' ' : c;
        }
        while (!collapsed.empty() && collapsed.back() == ' ')
            collapsed.pop_back();
        if (!collapsed.empty())
            m_lines.push_back(collapsed);
        line.clear();
        firstCell = true;
    };
    size_t i = 0;
    while (i < html.size()) {
        if (html[i] != '<') {
            const size_t next = html.find('<', i);
            const std::string chunk = decodeEntities(html.substr(i, next - i));
            if (!skipping) {
                line += chunk;
                if (inLink)
                    linkText += chunk;
            }
            i = next == std::string::npos ? html.size() : next;
            continue;
        }
        const size_t close = html.find('>', i);
        const std::string tag = html.substr(i + 1, close - i - 1);
        i = close == std::string::npos ? html.size() : close + 1;
        const bool ending = !tag.empty() && tag[0] == '/';
        std::string name =
            lower(tag.substr(ending ? 1 : 0, tag.find_first_of(" \t\n>", 0) - (ending ? 1 : 0)));
        if (!name.empty() && name.back() == '/')
            name.pop_back();
        if (name == "head" || name == "script" || name == "style") {
            skipping = !ending;
            continue;
        }
        if (skipping)
            continue;
        if (name == "td" || name == "th") {
            if (!ending) {
                if (!firstCell)
                    line += '\t';
                firstCell = false;
            }
            continue;
        }
        if (isBlock(name))
            flush();
        if (name == "form" && !ending) {
            m_forms.push_back({attribute(tag, "name"), attribute(tag, "action"), {}, {}});
            form = &m_forms.back();
        } else if (name == "form") {
            form = nullptr;
        } else if (name == "input" && form) {
            form->fields[attribute(tag, "name")] = attribute(tag, "value");
        } else if (name == "select" && form && !ending) {
            select = attribute(tag, "name");
        } else if (name == "option" && form && !ending) {
            form->options.push_back(attribute(tag, "value"));
            if (!form->fields.count(select))
                form->fields[select] = attribute(tag, "value");
        } else if (name == "a" && !ending) {
            m_links.push_back({attribute(tag, "href"), ""});
            inLink = true;
            linkText.clear();
        } else if (name == "a" && inLink) {
            m_links.back().text = linkText;
            inLink = false;
        }
    }
    flush();
}

std::string PageReader::text() const
{
    std::string out;
    for (const std::string& l : m_lines)
        out += l + "\r\n";
    return out;
}

int PageReader::lineOf(const std::string& keyword) const
{
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].find(keyword) != std::string::npos)
            return static_cast<int>(i);
    return -1;
}

std::string PageReader::valueAfter(const std::string& keyword) const
{
    const int i = lineOf(keyword);
    if (i < 0)
        return "<none>";
    const std::string& l = m_lines[static_cast<size_t>(i)];
    return l.substr(l.find(keyword) + keyword.size());
}

const PageReader::Form* PageReader::formWithCommand(const std::string& command) const
{
    for (const Form& f : m_forms) {
        const auto it = f.fields.find("MfcISAPICommand");
        if (it != f.fields.end() && it->second == command)
            return &f;
    }
    return nullptr;
}
