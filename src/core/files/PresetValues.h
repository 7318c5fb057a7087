#pragma once

#include "core/files/JsonText.h"
#include "core/model/EditRules.h"
#include "core/model/ParameterValues.h"

#include <functional>
#include <string>
#include <vector>

// Single values of a text preset: how one is written and read back, and where it stands
// ("outputs.out1.eq2.gain"). Reading refuses what does not fit with a PresetFault naming the
// line and the place.
namespace preset {

std::string Sub(const std::string& path, const std::string& key);

// A state no editor makes, which a file may still hold: named, not refused.
void PresetRule(const JsonValue& value, const std::string& path, EditRule rule,
                std::vector<std::string>& ruleBreaks);

// A name from names for an index, or the bare index when it has none.
JsonValue Choice(const std::vector<std::string>& names, int index);
int ReadChoice(const JsonValue& value, const std::string& path,
               const std::vector<std::string>& names);
bool ReadBool(const JsonValue& value, const std::string& path);
double ReadDouble(const JsonValue& value, const std::string& path);

// {"<unit>": value, "index": index}: the value shown for an index, with the index beside it.
JsonValue Indexed(const std::string& unit, const std::string& shown, int index);
// The index of an indexed value in range; the shown value must be that of the index.
int ReadIndexed(const JsonValue& value, const std::string& path, const std::string& unit,
                IndexRange range, const std::function<double(int)>& physical, int decimals);

// A double a program file archives, written as the panel shows it when it is exactly the
// value of its index, and otherwise as the shortest text that reads back exactly (never the
// same text as the index's own value).
std::string ExactText(double value, double ofIndex, int decimals);
double ReadExact(const JsonValue& value, const std::string& path, double ofIndex, int decimals);

} // namespace preset
