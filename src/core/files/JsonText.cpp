#include "core/files/JsonText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace {

constexpr int kMaxDepth = 32;

bool IsJsonNumber(const std::string& text) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
        }
        return i > start;
    };
    if (i < text.size() && text[i] == '-') {
        ++i;
    }
    if (i < text.size() && text[i] == '0') {
        ++i;
    } else if (!digits()) {
        return false;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!digits()) {
            return false;
        }
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (!digits()) {
            return false;
        }
    }
    return i == text.size();
}

void AppendEscaped(std::string& out, const std::string& text) {
    static const char* const kHex = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7f) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += c;
        }
    }
    out += '"';
}

bool HoldsContainers(const JsonValue& value) {
    for (const JsonValue& item : value.items()) {
        if (item.kind() == JsonValue::Kind::Array || item.kind() == JsonValue::Kind::Object) {
            return true;
        }
    }
    for (const auto& member : value.members()) {
        if (member.second.kind() == JsonValue::Kind::Array ||
            member.second.kind() == JsonValue::Kind::Object) {
            return true;
        }
    }
    return false;
}

void Write(std::string& out, const JsonValue& value, int depth) {
    switch (value.kind()) {
    case JsonValue::Kind::Null:
        out += "null";
        return;
    case JsonValue::Kind::Bool:
        out += value.boolean() ? "true" : "false";
        return;
    case JsonValue::Kind::Number:
        out += value.text();
        return;
    case JsonValue::Kind::String:
        AppendEscaped(out, value.text());
        return;
    case JsonValue::Kind::Array:
    case JsonValue::Kind::Object:
        break;
    }
    const bool object = value.kind() == JsonValue::Kind::Object;
    const std::size_t count = object ? value.members().size() : value.items().size();
    out += object ? '{' : '[';
    if (count == 0) {
        out += object ? '}' : ']';
        return;
    }
    const bool multiline = HoldsContainers(value);
    const std::string indent(static_cast<std::size_t>(2 * (depth + 1)), ' ');
    for (std::size_t i = 0; i < count; ++i) {
        out += i == 0 ? "" : ",";
        out += multiline ? "\n" + indent : (i == 0 ? "" : " ");
        if (object) {
            AppendEscaped(out, value.members()[i].first);
            out += ": ";
            Write(out, value.members()[i].second, depth + 1);
        } else {
            Write(out, value.items()[i], depth + 1);
        }
    }
    if (multiline) {
        out += "\n" + std::string(static_cast<std::size_t>(2 * depth), ' ');
    }
    out += object ? '}' : ']';
}

struct ParseFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace

class JsonParser {
public:
    explicit JsonParser(const std::string& text) : m_text(text) {}

    JsonValue Document() {
        JsonValue value = Value(0);
        SkipBlanks();
        if (m_at < m_text.size()) {
            Fail("text after the end of the JSON value");
        }
        return value;
    }

    std::string Where() const {
        return "line " + std::to_string(m_line) + ", column " + std::to_string(m_column);
    }

private:
    [[noreturn]] void Fail(const std::string& what) { throw ParseFault(Where() + ": " + what); }

    char Peek() const { return m_at < m_text.size() ? m_text[m_at] : '\0'; }

    char Next() {
        const char c = m_text[m_at++];
        if (c == '\n') {
            ++m_line;
            m_column = 1;
        } else {
            ++m_column;
        }
        return c;
    }

    void SkipBlanks() {
        while (m_at < m_text.size() &&
               (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) {
            Next();
        }
    }

    void Expect(const char* word) {
        for (const char* c = word; *c != '\0'; ++c) {
            if (Peek() != *c) {
                Fail(std::string("'") + word + "' expected");
            }
            Next();
        }
    }

    JsonValue Value(int depth) {
        SkipBlanks();
        if (depth > kMaxDepth) {
            Fail("values nested too deep");
        }
        JsonValue value;
        value.m_line = m_line;
        value.m_column = m_column;
        const char c = Peek();
        if (c == '{') {
            ObjectInto(value, depth);
        } else if (c == '[') {
            ArrayInto(value, depth);
        } else if (c == '"') {
            value.m_kind = JsonValue::Kind::String;
            value.m_text = StringText();
        } else if (c == 't' || c == 'f') {
            value.m_kind = JsonValue::Kind::Bool;
            value.m_bool = c == 't';
            Expect(value.m_bool ? "true" : "false");
        } else if (c == 'n') {
            Expect("null");
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            value.m_kind = JsonValue::Kind::Number;
            std::string text;
            while (m_at < m_text.size() &&
                   std::string("+-.eE0123456789").find(Peek()) != std::string::npos) {
                text += Next();
            }
            if (!IsJsonNumber(text)) {
                Fail("'" + text + "' is not a number");
            }
            value.m_text = text;
        } else if (m_at >= m_text.size()) {
            Fail("the text ends where a value should be");
        } else {
            Fail(std::string("unexpected '") + c + "'");
        }
        return value;
    }

    void ObjectInto(JsonValue& value, int depth) {
        value.m_kind = JsonValue::Kind::Object;
        Next();
        SkipBlanks();
        if (Peek() == '}') {
            Next();
            return;
        }
        while (true) {
            SkipBlanks();
            if (Peek() != '"') {
                Fail(m_at >= m_text.size() ? "the text ends before the object is closed"
                                           : "a key in double quotes expected");
            }
            const std::string where = Where();
            std::string key = StringText();
            if (value.Find(key) != nullptr) {
                throw ParseFault(where + ": key '" + key + "' given twice");
            }
            SkipBlanks();
            if (Peek() != ':') {
                Fail("':' expected after key '" + key + "'");
            }
            Next();
            value.m_members.emplace_back(std::move(key), Value(depth + 1));
            SkipBlanks();
            if (Peek() == ',') {
                Next();
                continue;
            }
            if (Peek() == '}') {
                Next();
                return;
            }
            Fail(m_at >= m_text.size() ? "the text ends before the object is closed"
                                       : "',' or '}' expected");
        }
    }

    void ArrayInto(JsonValue& value, int depth) {
        value.m_kind = JsonValue::Kind::Array;
        Next();
        SkipBlanks();
        if (Peek() == ']') {
            Next();
            return;
        }
        while (true) {
            value.m_items.push_back(Value(depth + 1));
            SkipBlanks();
            if (Peek() == ',') {
                Next();
                continue;
            }
            if (Peek() == ']') {
                Next();
                return;
            }
            Fail(m_at >= m_text.size() ? "the text ends before the array is closed"
                                       : "',' or ']' expected");
        }
    }

    // One character of the device's character set: U+0000..U+00FF.
    void AppendCharacter(std::string& out, unsigned long code) {
        if (code > 0xff) {
            Fail("character U+" + std::to_string(code) + " is not one the device can show");
        }
        out += static_cast<char>(code);
    }

    std::string StringText() {
        Next(); // the opening quote
        std::string out;
        while (true) {
            if (m_at >= m_text.size()) {
                Fail("the text ends inside a string");
            }
            const auto c = static_cast<unsigned char>(Peek());
            if (c == '"') {
                Next();
                return out;
            }
            if (c < 0x20) {
                Fail("a control character inside a string must be escaped");
            }
            if (c == '\\') {
                Next();
                const char e = m_at < m_text.size() ? Next() : '\0';
                const std::string simple = "\"\\/bfnrt";
                const std::string meant = "\"\\/\b\f\n\r\t";
                const std::size_t found = simple.find(e);
                if (e != '\0' && found != std::string::npos) {
                    out += meant[found];
                } else if (e == 'u') {
                    unsigned long code = 0;
                    for (int i = 0; i < 4; ++i) {
                        const char h = m_at < m_text.size() ? Next() : '\0';
                        const std::string hex = "0123456789abcdef";
                        const std::size_t digit = hex.find(
                            static_cast<char>(std::tolower(static_cast<unsigned char>(h))));
                        if (h == '\0' || digit == std::string::npos) {
                            Fail("four hexadecimal digits expected after \\u");
                        }
                        code = code * 16 + digit;
                    }
                    AppendCharacter(out, code);
                } else {
                    Fail("unknown escape in a string");
                }
                continue;
            }
            if (c < 0x80) {
                out += static_cast<char>(Next());
                continue;
            }
            // UTF-8: two bytes reach U+00FF; longer sequences are characters beyond it.
            if ((c & 0xe0) == 0xc0 && m_at + 1 < m_text.size() &&
                (static_cast<unsigned char>(m_text[m_at + 1]) & 0xc0) == 0x80) {
                const unsigned long code =
                    ((c & 0x1fu) << 6) | (static_cast<unsigned char>(m_text[m_at + 1]) & 0x3fu);
                if (code < 0x80) {
                    Fail("malformed UTF-8 in a string");
                }
                AppendCharacter(out, code);
                Next();
                Next();
                continue;
            }
            Fail((c & 0xe0) == 0xc0 || c < 0xc0 ? "malformed UTF-8 in a string"
                                                : "a character the device cannot show");
        }
    }

    const std::string& m_text;
    std::size_t m_at = 0;
    int m_line = 1;
    int m_column = 1;
};

JsonValue JsonValue::Bool(bool value) {
    JsonValue v;
    v.m_kind = Kind::Bool;
    v.m_bool = value;
    return v;
}

JsonValue JsonValue::Integer(long long value) {
    return NumberText(std::to_string(value));
}

JsonValue JsonValue::Double(double value) {
    return NumberText(ShortestDoubleText(value));
}

JsonValue JsonValue::NumberText(const std::string& text) {
    if (!IsJsonNumber(text)) {
        throw std::invalid_argument("not a JSON number: " + text);
    }
    JsonValue v;
    v.m_kind = Kind::Number;
    v.m_text = text;
    return v;
}

JsonValue JsonValue::String(const std::string& value) {
    JsonValue v;
    v.m_kind = Kind::String;
    v.m_text = value;
    return v;
}

JsonValue JsonValue::Object() {
    JsonValue v;
    v.m_kind = Kind::Object;
    return v;
}

JsonValue JsonValue::Array() {
    JsonValue v;
    v.m_kind = Kind::Array;
    return v;
}

JsonValue& JsonValue::Add(const std::string& key, JsonValue value) {
    m_members.emplace_back(key, std::move(value));
    return *this;
}

JsonValue& JsonValue::Append(JsonValue value) {
    m_items.push_back(std::move(value));
    return *this;
}

const JsonValue* JsonValue::Find(const std::string& key) const {
    for (const auto& member : m_members) {
        if (member.first == key) {
            return &member.second;
        }
    }
    return nullptr;
}

bool ParseJson(const std::string& text, JsonValue& value, std::string& error) {
    JsonParser parser(text);
    try {
        value = parser.Document();
    } catch (const ParseFault& fault) {
        error = fault.what();
        return false;
    }
    return true;
}

std::string WriteJson(const JsonValue& value) {
    std::string out;
    Write(out, value, 0);
    return out + "\n";
}

std::string ShortestDoubleText(double value) {
    if (!std::isfinite(value)) {
        throw std::invalid_argument("JSON has no infinite or NaN numbers");
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos) {
        text += ".0";
    }
    return text;
}

bool JsonNumberValue(const std::string& text, double& value) {
    if (!IsJsonNumber(text)) {
        return false;
    }
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           std::isfinite(value);
}
