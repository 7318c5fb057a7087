#include "core/model/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <locale>
#include <sstream>
#include <system_error>

namespace {

// The most digits a double has before the point (DBL_MAX), its sign and the point.
constexpr int kIntegerDigits = 310;
constexpr int kMaxDecimals = 40;

// Reads the number at the start of in with the classic locale; false when there is none or a
// comma follows it.
template <typename Number> bool ReadFrom(std::istringstream& in, Number& number) {
    in.imbue(std::locale::classic());
    in >> number;
    if (in.fail()) {
        return false;
    }
    return in.peek() != ',';
}

} // namespace

std::string FixedText(double value, int decimals) {
    decimals = decimals < 0 ? 0 : (decimals > kMaxDecimals ? kMaxDecimals : decimals);
    std::array<char, kIntegerDigits + kMaxDecimals + 2> buffer{};
    const std::to_chars_result result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                                      value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        return {};
    }
    return std::string(buffer.data(), result.ptr);
}

std::string IntegerText(long long value) {
    std::array<char, 24> buffer{};
    const std::to_chars_result result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

bool ReadLeadingNumber(const std::string& text, double& number) {
    std::istringstream in(text);
    return ReadFrom(in, number);
}

bool ReadLeadingInteger(const std::string& text, long long& number) {
    std::istringstream in(text);
    return ReadFrom(in, number);
}

bool ReadNumber(const std::string& text, double& number) {
    std::istringstream in(text);
    double read = 0.0;
    if (!ReadFrom(in, read) || !std::isfinite(read)) {
        return false;
    }
    in >> std::ws;
    if (!in.eof()) {
        return false;
    }
    number = read;
    return true;
}
