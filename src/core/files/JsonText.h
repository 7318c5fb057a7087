#pragma once

#include <string>
#include <utility>
#include <vector>

// A small, strict JSON reader and writer for the text presets. The reader takes RFC 8259 JSON
// and nothing else (no comments, no trailing commas, no duplicate keys) and names the line and
// column of the first fault. Numbers keep the text they were written with, so that a double
// reads back exactly the value that was written. The writer keeps the order of object members
// as they were added and puts an object or array that holds no object or array on one line.
//
// Strings are byte strings of the device's 8-bit character set: the writer gives every byte
// from 0x80 as \u0080..\u00ff, and the reader takes any character up to U+00FF (escaped or in
// UTF-8) as that byte.
class JsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    JsonValue() = default;
    static JsonValue Bool(bool value);
    static JsonValue Integer(long long value);
    // The shortest text that reads back as exactly value.
    static JsonValue Double(double value);
    // A number written with exactly this text (it must be a JSON number).
    static JsonValue NumberText(const std::string& text);
    static JsonValue String(const std::string& value);
    static JsonValue Object();
    static JsonValue Array();

    Kind kind() const { return m_kind; }
    bool boolean() const { return m_bool; }
    // The string value, or the number as it was written.
    const std::string& text() const { return m_text; }
    const std::vector<JsonValue>& items() const { return m_items; }
    const std::vector<std::pair<std::string, JsonValue>>& members() const { return m_members; }
    // Where the value started in the text it was read from (1-based; 0 when it was not read).
    int line() const { return m_line; }
    int column() const { return m_column; }

    // Appends a member to an object or an item to an array; returns *this.
    JsonValue& Add(const std::string& key, JsonValue value);
    JsonValue& Append(JsonValue value);
    // The member called key, or nullptr.
    const JsonValue* Find(const std::string& key) const;

private:
    friend class JsonParser;

    Kind m_kind = Kind::Null;
    bool m_bool = false;
    std::string m_text;
    std::vector<JsonValue> m_items;
    std::vector<std::pair<std::string, JsonValue>> m_members;
    int m_line = 0;
    int m_column = 0;
};

// Reads text as one JSON value. False with "line L, column C: what" in error otherwise.
bool ParseJson(const std::string& text, JsonValue& value, std::string& error);
// The value as indented text (two blanks a level), ending with a line break.
std::string WriteJson(const JsonValue& value);
// The shortest decimal text that reads back as value; it always has a point or an exponent.
std::string ShortestDoubleText(double value);
// The number text as a double; false when it is none.
bool JsonNumberValue(const std::string& text, double& value);
