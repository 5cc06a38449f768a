#pragma once

#include <string>
#include <utility>
#include <vector>

namespace httplib {
struct Request;
}

// One request to the site as the pages see it: path, the query and form fields in the order
// they were sent, the command (the hidden command field of a form, or the first query word
// such as "ViewItem") and the session cookie.
class SiteRequest
{
public:
    using Fields = std::vector<std::pair<std::string, std::string>>;

    SiteRequest() = default;
    explicit SiteRequest(const httplib::Request& request);

    const std::string& method() const { return m_method; }
    const std::string& path() const { return m_path; }
    const std::string& query() const { return m_query; }
    const std::string& command() const { return m_command; }
    const Fields& queryFields() const { return m_queryFields; }
    const Fields& formFields() const { return m_formFields; }
    const std::string& sessionToken() const { return m_session; }

    // A form field first, then a query field; empty when absent.
    std::string field(const std::string& name) const;
    bool has(const std::string& name) const;
    // The item number the request is about, if any ("item" or "ITEM").
    std::string item() const;

    static Fields parseQuery(const std::string& text);
    static std::string urlDecode(const std::string& text);
    static constexpr const char* kSessionCookie = "gavelin_session";
    static constexpr const char* kCommandField = "MfcISAPICommand";

private:
    void init(const std::string& method, const std::string& target, const std::string& body,
              const std::string& contentType, const std::string& cookie);

    std::string m_method;
    std::string m_path;
    std::string m_query;
    std::string m_command;
    Fields m_queryFields;
    Fields m_formFields;
    std::string m_session;
};
