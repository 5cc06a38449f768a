#include "fieldreader.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <stdexcept>

FieldReader::FieldReader(const Json& input, std::string context)
    : m_input(input), m_context(std::move(context))
{
    if (!input.is_object())
        throw std::invalid_argument((m_context.empty() ? "request" : m_context) +
                                    ": a JSON object is expected");
}

std::string FieldReader::where(const std::string& key) const
{
    return m_context.empty() ? key : m_context + "." + key;
}

bool FieldReader::has(const std::string& key) const
{
    const auto it = m_input.find(key);
    return it != m_input.end() && !it->is_null();
}

std::string FieldReader::text(const std::string& key, const std::string& fallback) const
{
    if (!has(key))
        return fallback;
    const Json& v = m_input.at(key);
    if (v.is_string())
        return v.get<std::string>();
    // Item numbers and the like may come as numbers.
    if (v.is_number_unsigned() && v.get<uint64_t>() < 1000000000000000000u)
        return std::to_string(v.get<uint64_t>());
    if (v.is_number_float() && v.get<double>() == std::floor(v.get<double>()) &&
        v.get<double>() >= 0 && v.get<double>() < 1e18)
        return std::to_string(static_cast<uint64_t>(v.get<double>()));
    throw std::invalid_argument(where(key) + ": must be a string");
}

double FieldReader::number(const std::string& key, double fallback) const
{
    if (!has(key))
        return fallback;
    const Json& v = m_input.at(key);
    if (!v.is_number())
        throw std::invalid_argument(where(key) + ": must be a number");
    return v.get<double>();
}

int FieldReader::integer(const std::string& key, int fallback, int min, int max) const
{
    const double v = number(key, fallback);
    if (v != std::floor(v) || v < min || v > max)
        throw std::invalid_argument(where(key) + ": must be a whole number from " +
                                    std::to_string(min) + " to " + std::to_string(max));
    return static_cast<int>(v);
}

bool FieldReader::flag(const std::string& key, bool fallback) const
{
    if (!has(key))
        return fallback;
    const Json& v = m_input.at(key);
    if (!v.is_boolean())
        throw std::invalid_argument(where(key) + ": must be true or false");
    return v.get<bool>();
}

int64_t FieldReader::money(const std::string& key, int64_t fallback) const
{
    if (!has(key))
        return fallback;
    const Json& v = m_input.at(key);
    double amount = 0;
    if (v.is_number()) {
        amount = v.get<double>();
    } else if (v.is_string()) {
        const std::string text = v.get<std::string>();
        size_t used = 0;
        try {
            amount = std::stod(text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != text.size())
            throw std::invalid_argument(where(key) + ": not an amount");
    } else {
        throw std::invalid_argument(where(key) + ": must be an amount");
    }
    if (!(amount >= 0 && amount < 1e9))
        throw std::invalid_argument(where(key) + ": amount out of range");
    return std::llround(amount * 100);
}

const Json& FieldReader::list(const std::string& key) const
{
    static const Json empty = Json::array();
    if (!has(key))
        return empty;
    const Json& v = m_input.at(key);
    if (!v.is_array())
        throw std::invalid_argument(where(key) + ": must be an array");
    return v;
}

uint64_t FieldReader::parseItemNumber(const std::string& text)
{
    if (text.empty() || text.size() > 19)
        return 0;
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value;
}
