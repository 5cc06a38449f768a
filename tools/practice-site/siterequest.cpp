#include "siterequest.h"

#include <httplib.h>

#include <cctype>

SiteRequest::SiteRequest(const httplib::Request& request)
{
    init(request.method, request.target, request.body, request.get_header_value("Content-Type"),
         request.get_header_value("Cookie"));
}

void SiteRequest::init(const std::string& method, const std::string& target,
                       const std::string& body, const std::string& contentType,
                       const std::string& cookie)
{
    m_method = method;
    const size_t q = target.find('?');
    m_path = urlDecode(target.substr(0, q));
    if (q != std::string::npos)
        m_query = target.substr(q + 1);
    m_queryFields = parseQuery(m_query);
    if (contentType.rfind("application/x-www-form-urlencoded", 0) == 0)
        m_formFields = parseQuery(body);

    m_command = field(kCommandField);
    if (m_command.empty() && !m_queryFields.empty() && m_queryFields.front().second.empty())
        m_command = m_queryFields.front().first;

    // Cookie: a=b; gavelin_session=s1
    size_t pos = 0;
    while (pos < cookie.size()) {
        size_t end = cookie.find(';', pos);
        if (end == std::string::npos)
            end = cookie.size();
        std::string part = cookie.substr(pos, end - pos);
        const size_t start = part.find_first_not_of(' ');
        part = start == std::string::npos ? "" : part.substr(start);
        const std::string prefix = std::string(kSessionCookie) + "=";
        if (part.rfind(prefix, 0) == 0)
            m_session = part.substr(prefix.size());
        pos = end + 1;
    }
}

std::string SiteRequest::field(const std::string& name) const
{
    for (const auto& f : m_formFields)
        if (f.first == name)
            return f.second;
    for (const auto& f : m_queryFields)
        if (f.first == name)
            return f.second;
    return std::string();
}

bool SiteRequest::has(const std::string& name) const
{
    for (const Fields* fields : {&m_formFields, &m_queryFields})
        for (const auto& f : *fields)
            if (f.first == name)
                return true;
    return false;
}

std::string SiteRequest::item() const
{
    const std::string lower = field("item");
    return lower.empty() ? field("ITEM") : lower;
}

SiteRequest::Fields SiteRequest::parseQuery(const std::string& text)
{
    Fields out;
    size_t pos = 0;
    while (pos <= text.size() && !text.empty()) {
        size_t end = text.find('&', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(pos, end - pos);
        if (!part.empty()) {
            const size_t eq = part.find('=');
            if (eq == std::string::npos)
                out.emplace_back(urlDecode(part), std::string());
            else
                out.emplace_back(urlDecode(part.substr(0, eq)), urlDecode(part.substr(eq + 1)));
        }
        pos = end + 1;
    }
    return out;
}

std::string SiteRequest::urlDecode(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}
