#include "fieldreader.h"

#include "json.h"

#include <cmath>
#include <stdexcept>

FieldReader::FieldReader(const Json& input, std::string context)
    : m_input(input), m_context(std::move(context))
{
    if (!input.isObject())
        throw std::invalid_argument((m_context.empty() ? "request" : m_context) +
                                    ": a JSON object is expected");
}

std::string FieldReader::where(const std::string& key) const
{
    return m_context.empty() ? key : m_context + "." + key;
}

bool FieldReader::has(const std::string& key) const
{
    return m_input.contains(key) && !m_input[key].isNull();
}

std::string FieldReader::text(const std::string& key, const std::string& fallback) const
{
    if (!has(key))
        return fallback;
    const Json& v = m_input[key];
    if (v.isString())
        return v.toString();
    if (v.isNumber() && v.toNumber() == std::floor(v.toNumber()) && v.toNumber() >= 0 &&
        v.toNumber() < 1e18)
        return std::to_string(static_cast<uint64_t>(v.toNumber()));
    throw std::invalid_argument(where(key) + ": must be a string");
}

double FieldReader::number(const std::string& key, double fallback) const
{
    if (!has(key))
        return fallback;
    if (!m_input[key].isNumber())
        throw std::invalid_argument(where(key) + ": must be a number");
    return m_input[key].toNumber();
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
    if (!m_input[key].isBool())
        throw std::invalid_argument(where(key) + ": must be true or false");
    return m_input[key].toBool();
}

int64_t FieldReader::money(const std::string& key, int64_t fallback) const
{
    if (!has(key))
        return fallback;
    const Json& v = m_input[key];
    double amount = 0;
    if (v.isNumber()) {
        amount = v.toNumber();
    } else if (v.isString()) {
        size_t used = 0;
        try {
            amount = std::stod(v.toString(), &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != v.toString().size())
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
    if (!m_input[key].isArray())
        throw std::invalid_argument(where(key) + ": must be an array");
    return m_input[key];
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
