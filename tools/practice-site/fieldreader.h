#pragma once

#include "json.h"

#include <cstdint>
#include <string>

// Reads typed fields of a control request's JSON object. Every wrong type or range throws
// std::invalid_argument naming the field, which the control interface answers with 400.
class FieldReader
{
public:
    FieldReader(const Json& input, std::string context);

    bool has(const std::string& key) const;
    std::string text(const std::string& key, const std::string& fallback) const;
    double number(const std::string& key, double fallback) const;
    int integer(const std::string& key, int fallback, int min, int max) const;
    bool flag(const std::string& key, bool fallback) const;
    // An amount such as 12.5 or "12.50", in cents.
    int64_t money(const std::string& key, int64_t fallback) const;
    // An array member; an absent one reads as an empty array.
    const Json& list(const std::string& key) const;
    std::string where(const std::string& key) const;

    // Item numbers are digits (leading zeros allowed, compared as numbers); 0 when not one.
    static uint64_t parseItemNumber(const std::string& text);

private:
    const Json& m_input;
    std::string m_context;
};
