#pragma once

#include <string>

// Conversion of the site's UTF-8 pages for the variant served in Windows-1252.
class Charset
{
public:
    // Characters without a Windows-1252 byte become '?'; malformed bytes too.
    static std::string utf8ToWindows1252(const std::string& utf8);
};
