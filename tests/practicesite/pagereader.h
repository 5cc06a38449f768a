#pragma once

#include <map>
#include <string>
#include <vector>

// Reads the site's pages the way the sniper does: body text as lines (block elements and
// table rows give lines, the cells of a row are joined by a tab), forms and links.
class PageReader
{
public:
    struct Form
    {
        std::string name;
        std::string action;
        std::map<std::string, std::string> fields; // inputs; a select gives its first option
        std::vector<std::string> options;          // option values of the select lists
    };
    struct Link
    {
        std::string href;
        std::string text;
    };

    explicit PageReader(const std::string& html);

    const std::vector<std::string>& lines() const { return m_lines; }
    const std::vector<Form>& forms() const { return m_forms; }
    const std::vector<Link>& links() const { return m_links; }
    std::string text() const;

    // The value after `keyword` on the first line that contains it; "<none>" when absent.
    std::string valueAfter(const std::string& keyword) const;
    // Index of the first line containing `keyword`, or -1.
    int lineOf(const std::string& keyword) const;
    // The form whose command field has `command`, or nullptr.
    const Form* formWithCommand(const std::string& command) const;

    static std::string decodeEntities(const std::string& text);

private:
    std::vector<std::string> m_lines;
    std::vector<Form> m_forms;
    std::vector<Link> m_links;
};
