#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A small JSON value for the control interface. Objects keep their members in insertion
// order so that answers read the same on every run.
class Json
{
public:
    enum class Type
    {
        Null,
        Bool,
        Number,
        String,
        Array,
        Object
    };
    using Members = std::vector<std::pair<std::string, Json>>;

    Json() = default;
    Json(std::nullptr_t) {}
    Json(bool value) : m_type(Type::Bool), m_bool(value) {}
    Json(int value) : m_type(Type::Number), m_number(value) {}
    Json(int64_t value) : m_type(Type::Number), m_number(static_cast<double>(value)) {}
    Json(uint64_t value) : m_type(Type::Number), m_number(static_cast<double>(value)) {}
    Json(double value) : m_type(Type::Number), m_number(value) {}
    Json(const char* value) : m_type(Type::String), m_string(value) {}
    Json(std::string value) : m_type(Type::String), m_string(std::move(value)) {}

    static Json array();
    static Json object();
    // Money is written with two decimals, as the site shows it.
    static Json money(int64_t cents);

    // Throws std::runtime_error with the position of the first fault.
    static Json parse(const std::string& text);
    std::string dump() const;

    Type type() const { return m_type; }
    bool isNull() const { return m_type == Type::Null; }
    bool isBool() const { return m_type == Type::Bool; }
    bool isNumber() const { return m_type == Type::Number; }
    bool isString() const { return m_type == Type::String; }
    bool isArray() const { return m_type == Type::Array; }
    bool isObject() const { return m_type == Type::Object; }

    bool toBool() const { return m_bool; }
    double toNumber() const { return m_number; }
    const std::string& toString() const { return m_string; }
    const std::vector<Json>& items() const { return m_items; }
    const Members& members() const { return m_members; }

    // Object access: a missing member reads as null.
    bool contains(const std::string& key) const;
    const Json& operator[](const std::string& key) const;
    void set(const std::string& key, Json value);
    void push(Json value);

private:
    void dumpTo(std::string& out) const;

    Type m_type = Type::Null;
    bool m_bool = false;
    double m_number = 0;
    std::string m_string;
    std::vector<Json> m_items;
    Members m_members;
    // Raw number text for money, so that 12.50 is not written as 12.5.
    std::string m_numberText;
};
