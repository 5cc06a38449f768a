#include "siteassets.h"

namespace {

// A 1x1 transparent GIF.
const unsigned char kGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,
    0x00, 0xFF, 0xFF, 0xFF, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
    0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B,
};

const char kScript[] = "// Item page script of the practice site: nothing in the page depends "
                       "on it.\nfunction practiceSiteReady() {\n    return true;\n}\n";

const char kStyle[] = "body { font-family: sans-serif; }\n"
                      ".banner { background: #ffd; padding: 4px; }\n"
                      ".footer { color: #666; margin-top: 2em; }\n";

} // namespace

bool SiteAssets::find(const std::string& path, std::string& body, std::string& contentType)
{
    if (path.rfind("/images/", 0) == 0 && path.size() > 12 &&
        path.compare(path.size() - 4, 4, ".gif") == 0 &&
        path.find_first_of("/", 8) == std::string::npos) {
        body.assign(reinterpret_cast<const char*>(kGif), sizeof kGif);
        contentType = "image/gif";
        return true;
    }
    if (path == "/js/viewitem.js") {
        body = kScript;
        contentType = "application/javascript";
        return true;
    }
    if (path == "/css/site.css") {
        body = kStyle;
        contentType = "text/css";
        return true;
    }
    return false;
}
