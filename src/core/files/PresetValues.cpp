#include "core/files/PresetValues.h"

#include "core/files/PresetFields.h"
#include "core/model/NumberText.h"

#include <cmath>

namespace preset {

std::string Sub(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

void PresetRule(const JsonValue& value, const std::string& path, EditRule rule,
                std::vector<std::string>& ruleBreaks) {
    ruleBreaks.push_back("line " + IntegerText(value.line()) + ": " + path + ": " +
                         EditRuleText(rule));
}

JsonValue Choice(const std::vector<std::string>& names, int index) {
    if (index >= 0 && index < static_cast<int>(names.size())) {
        return JsonValue::String(names[static_cast<std::size_t>(index)]);
    }
    return JsonValue::Integer(index);
}

int ReadChoice(const JsonValue& value, const std::string& path,
               const std::vector<std::string>& names) {
    const std::string text = PresetString(value, path);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == text) {
            return static_cast<int>(i);
        }
    }
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : ", ") + name;
    }
    PresetFail(value, path, "'" + text + "' is not one of " + list);
}

bool ReadBool(const JsonValue& value, const std::string& path) {
    if (value.kind() != JsonValue::Kind::Bool) {
        PresetFail(value, path, "true or false expected");
    }
    return value.boolean();
}

double ReadDouble(const JsonValue& value, const std::string& path) {
    double number = 0.0;
    if (value.kind() != JsonValue::Kind::Number || !JsonNumberValue(value.text(), number)) {
        PresetFail(value, path, "a number expected");
    }
    return number;
}

JsonValue Indexed(const std::string& unit, const std::string& shown, int index) {
    JsonValue object = JsonValue::Object();
    if (!shown.empty()) {
        object.Add(unit, JsonValue::NumberText(shown));
    }
    return object.Add("index", JsonValue::Integer(index));
}

int ReadIndexed(const JsonValue& value, const std::string& path, const std::string& unit,
                IndexRange range, const std::function<double(int)>& physical, int decimals) {
    PresetOnlyKeys(value, path, {unit, "index"});
    const int index =
        PresetInteger(PresetMember(value, path, "index"), Sub(path, "index"), range.min, range.max);
    const JsonValue& shown = PresetMember(value, path, unit);
    const double number = ReadDouble(shown, Sub(path, unit));
    const double expected = physical(index);
    if (std::fabs(number - expected) > 0.5 * std::pow(10.0, -decimals) + 1e-9) {
        PresetFail(shown, Sub(path, unit),
                   FixedText(number, decimals) + " " + unit + " is not index " +
                       IntegerText(index) + " (" + FixedText(expected, decimals) + " " + unit +
                       ")");
    }
    return index;
}

std::string ExactText(double value, double ofIndex, int decimals) {
    const std::string shown = FixedText(ofIndex, decimals);
    if (value == ofIndex) {
        return shown;
    }
    const std::string exact = ShortestDoubleText(value);
    return exact == shown ? exact + "0" : exact;
}

double ReadExact(const JsonValue& value, const std::string& path, double ofIndex, int decimals) {
    const double number = ReadDouble(value, path);
    return value.text() == FixedText(ofIndex, decimals) ? ofIndex : number;
}

} // namespace preset
