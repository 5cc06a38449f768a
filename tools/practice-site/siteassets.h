#pragma once

#include <string>

// The static files item pages refer to: pictures, the page script and the style sheet.
class SiteAssets
{
public:
    // Fills `body` and `contentType` for a known asset path; false otherwise.
    static bool find(const std::string& path, std::string& body, std::string& contentType);
};
