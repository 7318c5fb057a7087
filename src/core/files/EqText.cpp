#include "core/files/EqText.h"

#include "core/model/NumberText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <set>
#include <sstream>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string Trimmed(const std::string& text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(text.begin(), text.end(), blank);
    auto end = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return begin < end ? std::string(begin, end) : std::string();
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// A number as the equaliser programs write it: a decimal point or a decimal comma, an optional
// sign, nothing else.
bool ParseNumber(std::string text, double& value) {
    if (text.empty()) {
        return false;
    }
    if (text.front() == '+') {
        text.erase(0, 1);
    }
    if (std::count(text.begin(), text.end(), ',') + std::count(text.begin(), text.end(), '.') > 1) {
        return false;
    }
    std::replace(text.begin(), text.end(), ',', '.');
    double read = 0.0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, read);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(read)) {
        return false;
    }
    value = read;
    return true;
}

// The words of a line; a parameter name run together with its number ("Fc10000.00", which a
// full column leaves behind) gives two words.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    static const std::vector<std::string> names{"fc", "gain", "q", "bw"};
    while (in >> word) {
        bool split = false;
        for (const std::string& name : names) {
            double number = 0.0;
            if (word.size() > name.size() && Lower(word.substr(0, name.size())) == name &&
                ParseNumber(word.substr(name.size()), number)) {
                words.push_back(word.substr(0, name.size()));
                words.push_back(word.substr(name.size()));
                split = true;
                break;
            }
        }
        if (!split) {
            words.push_back(word);
        }
    }
    return words;
}

void Classify(EqTextFilter& filter) {
    std::string key = Upper(filter.typeName);
    key.erase(std::remove(key.begin(), key.end(), ' '), key.end());
    if (key.empty() || key == "NONE") {
        filter.kind = EqTextKind::None;
        return;
    }
    if (key == "PK" || key == "PEQ") {
        filter.kind = EqTextKind::Peaking;
        return;
    }
    const bool low = StartsWith(key, "LS");
    if (!low && !StartsWith(key, "HS")) {
        filter.kind = EqTextKind::Other;
        return;
    }
    // LS, LSQ, LS6DB, LS12DB, LSC, LSC12DB (Equalizer APO's "LSC 12 dB")
    std::string rest = key.substr(2);
    if (StartsWith(rest, "C")) {
        rest.erase(0, 1);
    }
    if (!rest.empty() && rest != "Q") {
        double slope = 0.0;
        const bool dB = rest.size() > 2 && rest.compare(rest.size() - 2, 2, "DB") == 0;
        if (!dB || !ParseNumber(rest.substr(0, rest.size() - 2), slope) || slope <= 0.0) {
            filter.kind = EqTextKind::Other;
            return;
        }
        filter.shelfSlopeDb = static_cast<int>(std::lround(slope));
    }
    filter.kind = low ? EqTextKind::LowShelf : EqTextKind::HighShelf;
}

// The parameters after the type: "Fc 50 Hz Gain -3.0 dB Q 10.00" or "... BW Oct 0.167". Words
// that are none of these (Modal's T60, units) are passed over.
void ReadParameters(const std::vector<std::string>& words, std::size_t from, EqTextFilter& filter) {
    for (std::size_t i = from; i < words.size(); ++i) {
        const std::string name = Lower(words[i]);
        std::size_t at = i + 1;
        if (name == "bw" && at < words.size() && Lower(words[at]) == "oct") {
            ++at;
        }
        double value = 0.0;
        if (at >= words.size() || !ParseNumber(words[at], value)) {
            continue;
        }
        if (name == "fc") {
            const bool kHz = at + 1 < words.size() && Lower(words[at + 1]) == "khz";
            filter.hasFrequency = true;
            filter.frequency = kHz ? value * 1000.0 : value;
        } else if (name == "gain") {
            filter.hasGain = true;
            filter.gain = value;
        } else if (name == "q") {
            filter.hasQ = true;
            filter.q = value;
        } else if (name == "bw") {
            filter.hasOctaves = true;
            filter.octaves = value;
        } else {
            continue;
        }
        i = at;
    }
}

// "Filter 3:", "Filter:", "Filter  12:"; false for any other line. The number is 0 when absent.
bool FilterHead(const std::string& line, int& number, std::size_t& rest) {
    if (Lower(line.substr(0, 6)) != "filter") {
        return false;
    }
    std::size_t i = 6;
    while (i < line.size() && line[i] == ' ') {
        ++i;
    }
    const std::size_t digits = i;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) {
        ++i;
    }
    number = i > digits && i - digits < 6 ? std::stoi(line.substr(digits, i - digits)) : 0;
    while (i < line.size() && line[i] == ' ') {
        ++i;
    }
    if (i >= line.size() || line[i] != ':') {
        return false;
    }
    rest = i + 1;
    return true;
}

bool ReadPreamp(const std::string& line, double& dB) {
    if (Lower(line.substr(0, 7)) != "preamp:") {
        return false;
    }
    const std::vector<std::string> words = Words(line.substr(7));
    return !words.empty() && ParseNumber(words.front(), dB);
}

std::string LineLabel(int line) {
    return "line " + IntegerText(line);
}

} // namespace

EqText ReadEqText(const std::string& text) {
    EqText result;
    std::istringstream in(text);
    std::string raw;
    int lineNumber = 0;
    bool rewHeading = false; // before the first filter of a REW file: its heading
    std::set<int> numbers;
    while (std::getline(in, raw)) {
        ++lineNumber;
        std::string line = Trimmed(raw);
        if (lineNumber == 1 && StartsWith(line, "\xEF\xBB\xBF")) {
            line = Trimmed(line.substr(3)); // a byte order mark
        }
        if (lineNumber == 1 && Lower(line) == "filter settings file") {
            rewHeading = true;
            continue;
        }
        int number = 0;
        std::size_t rest = 0;
        if (FilterHead(line, number, rest)) {
            rewHeading = false;
            if (number > 0 && !numbers.insert(number).second) {
                result.notRead.push_back(LineLabel(lineNumber) + ": filter " + IntegerText(number) +
                                         " comes again; the list ends here");
                break;
            }
            EqTextFilter filter;
            filter.line = lineNumber;
            filter.number = number;
            const std::vector<std::string> words = Words(line.substr(rest));
            std::size_t i = 0;
            if (i < words.size() && (Lower(words[i]) == "on" || Lower(words[i]) == "off")) {
                filter.on = Lower(words[i]) == "on";
                ++i;
            }
            std::string type;
            for (; i < words.size() && Lower(words[i]) != "fc"; ++i) {
                type += (type.empty() ? "" : " ") + words[i];
            }
            filter.typeName = type;
            Classify(filter);
            ReadParameters(words, i, filter);
            result.filters.push_back(filter);
            continue;
        }
        double preamp = 0.0;
        if (ReadPreamp(line, preamp)) {
            result.hasPreamp = true;
            result.preamp += preamp;
            continue;
        }
        if (line.empty() || line.front() == '#' || rewHeading) {
            continue;
        }
        result.notRead.push_back(LineLabel(lineNumber) + ": not read: " + line);
    }
    return result;
}

namespace {

std::string Padded(std::string text, std::size_t width, bool left) {
    if (text.size() < width) {
        text.insert(left ? text.end() : text.begin(), width - text.size(), ' ');
    }
    return text;
}

std::string RewType(const EqTextBand& band) {
    if (band.type == 0) {
        return "PK";
    }
    return std::string(band.type == 1 ? "LS " : "HS ") + (band.shelfSlope == 1 ? "12dB" : "6dB");
}

std::string ApoType(const EqTextBand& band) {
    if (band.type == 0) {
        return "PK";
    }
    return std::string(band.type == 1 ? "LSC " : "HSC ") + (band.shelfSlope == 1 ? "12" : "6") +
           " dB";
}

} // namespace

std::string WriteEqText(const std::vector<EqTextBand>& bands, EqTextFormat format,
                        const std::string& notes) {
    std::string text;
    if (format == EqTextFormat::Rew) {
        text = "Filter Settings file\n\nNotes:" + notes + "\n\nEqualiser: Generic\n";
    } else if (!notes.empty()) {
        text = "# " + notes + "\n";
    }
    int number = 0;
    for (const EqTextBand& band : bands) {
        ++number;
        const std::string state = band.on ? "ON" : "OFF";
        const std::string gain = FixedText(band.gain, 1);
        const std::string q = band.type == 0 ? FixedText(band.q, 3) : std::string();
        if (format == EqTextFormat::Rew) {
            text += "Filter " + Padded(IntegerText(number), 2, false) + ": " +
                    Padded(state, 3, true) + " " + Padded(RewType(band), 8, true) + " Fc " +
                    Padded(IntegerText(band.frequency), 5, false) + " Hz  Gain " +
                    Padded(gain, 5, false) + " dB";
            text += q.empty() ? "\n" : "  Q " + Padded(q, 6, false) + "\n";
        } else {
            text += "Filter " + IntegerText(number) + ": " + state + " " + ApoType(band) + " Fc " +
                    IntegerText(band.frequency) + " Hz Gain " + gain + " dB";
            text += q.empty() ? "\n" : " Q " + q + "\n";
        }
    }
    return text;
}
