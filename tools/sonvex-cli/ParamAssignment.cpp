#include "ParamAssignment.h"

#include "core/model/AudioData.h"
#include "core/model/ChannelEdits.h"
#include "core/model/EditRules.h"
#include "core/model/NumberText.h"
#include "core/model/ValueTables.h"
#include "core/model/Variant.h"

#include <QString>
#include <QStringList>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <optional>

namespace {

using Section = ParamAssignment::Section;

int InputCount(int deviceType) {
    return Variant::OfDeviceType(deviceType).inputCount;
}

int OutputCount(int deviceType) {
    return Variant::OfDeviceType(deviceType).outputCount;
}

// EQ bands the editors offer on a channel of the model.
int BandCount(bool output, int deviceType) {
    const Variant& variant = Variant::OfDeviceType(deviceType);
    return output ? variant.outputEqBands : variant.inputEqBands;
}

// "in3" / "out12": kind and number; false when it is neither.
bool ParseChannel(const QString& text, bool& output, int& number) {
    QString digits;
    if (text.startsWith(QLatin1String("out"))) {
        output = true;
        digits = text.mid(3);
    } else if (text.startsWith(QLatin1String("in"))) {
        output = false;
        digits = text.mid(2);
    } else {
        return false;
    }
    bool ok = false;
    number = digits.toInt(&ok);
    return ok && !digits.startsWith(QLatin1Char('+')) && !digits.startsWith(QLatin1Char('-'));
}

std::string Lower(const std::string& text) {
    return QString::fromStdString(text).trimmed().toLower().toStdString();
}

// A typed number takes a decimal point in every locale; "1,5" is refused.
bool ParseDouble(const std::string& text, double& out) {
    return ReadNumber(text, out);
}

std::string Fixed(double value, int decimals) {
    return FixedText(value, decimals);
}

// Applies one parameter: reads the value, converts it and calls the setter.
class Applier {
public:
    Applier(const ParamAssignment& assignment, CAudio_Data& program)
        : m_a(assignment), m_program(program), m_type(program.GetDeviceType()),
          m_value(Lower(assignment.value)) {}

    bool Run(std::string& error) {
        const bool ok = Dispatch();
        if (!ok) {
            error = m_a.text + ": " + m_error;
        }
        return ok;
    }

private:
    bool Fail(const std::string& message) {
        m_error = message;
        return false;
    }

    bool OutOfRange(const std::string& low, const std::string& high, const std::string& unit) {
        return Fail("Out of Range (valid " + low + ".." + high + (unit.empty() ? "" : " " + unit) +
                    ")");
    }

    bool Number(double& out) {
        if (!ParseDouble(m_a.value, out)) {
            return Fail("'" + m_a.value + "' is not a number");
        }
        return true;
    }

    bool WholeNumber(int& out) {
        bool ok = false;
        out = QString::fromStdString(m_a.value).trimmed().toInt(&ok);
        if (!ok) {
            return Fail("'" + m_a.value + "' is not a whole number");
        }
        return true;
    }

    // The index of the value among choices (compared without case); the message lists them.
    bool Choice(const std::vector<std::vector<std::string>>& choices, int& index) {
        std::string names;
        for (std::size_t i = 0; i < choices.size(); ++i) {
            for (const std::string& name : choices[i]) {
                if (Lower(name) == m_value) {
                    index = static_cast<int>(i);
                    return true;
                }
            }
            names += (i > 0 ? ", " : "") + choices[i].front();
        }
        return Fail("'" + m_a.value + "' is not one of " + names);
    }

    bool Switch(bool& on) {
        int index = 0;
        if (!Choice({{"off", "no", "0", "false"}, {"on", "yes", "1", "true"}}, index)) {
            return false;
        }
        on = index == 1;
        return true;
    }

    bool Dispatch() {
        switch (m_a.section) {
        case Section::Channel:
            return m_a.output ? OutputField(*m_program.GetOutput(m_a.channel))
                              : InputField(*m_program.GetInput(m_a.channel));
        case Section::Eq:
            return EqField(m_a.output ? *m_program.GetOutput(m_a.channel)->GetFilter(m_a.band)
                                      : *m_program.GetInput(m_a.channel)->GetFilter(m_a.band));
        case Section::HighPass:
        case Section::LowPass:
            return CrossoverField(*m_program.GetOutput(m_a.channel));
        case Section::Limiter:
            return LimiterField(*m_program.GetOutput(m_a.channel));
        }
        return false;
    }

    // Fields every channel has; setters differ in type between inputs and outputs.
    template <typename Channel> bool CommonField(Channel& channel, bool& handled) {
        handled = true;
        const std::string& field = m_a.field;
        if (field == "gain") {
            double dB = 0;
            if (!Number(dB)) {
                return false;
            }
            const IndexRange range = m_a.output ? OutputGainRange(m_type) : InputGainRange(m_type);
            const TypedIndex typed =
                m_a.output ? OutputGainFromDb(dB, m_type) : InputGainFromDb(dB, m_type);
            if (!typed.inRange) {
                return OutOfRange(ChannelGainText(range.min, m_type),
                                  ChannelGainText(range.max, m_type), "dB");
            }
            channel.SetGain(typed.index);
            return true;
        }
        if (field == "mute") {
            bool muted = false;
            if (!Switch(muted)) {
                return false;
            }
            channel.SetOn(muted ? 0 : 1);
            return true;
        }
        if (field == "polarity") {
            int polarity = 0;
            if (!Choice({{"normal", "+normal", "+"}, {"invert", "-invert", "-"}}, polarity)) {
                return false;
            }
            channel.SetPolarity(static_cast<std::uint8_t>(polarity));
            return true;
        }
        if (field == "delay") {
            return Delay(channel);
        }
        if (field == "name") {
            const std::string& name = m_a.value;
            for (const char c : name) {
                if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
                    return Fail("a name takes printable ASCII characters only");
                }
            }
            if (name.size() > static_cast<std::size_t>(CAudio_InData::kNameLength)) {
                return Fail("a name has at most 8 characters");
            }
            channel.SetName(name);
            return true;
        }
        handled = false;
        return false;
    }

    template <typename Channel> bool Delay(Channel& channel) {
        std::string number = m_value;
        enum { Ms, Meters, Feet } unit = Ms;
        const auto cut = [&number](const std::string& suffix) {
            if (number.size() > suffix.size() &&
                number.compare(number.size() - suffix.size(), suffix.size(), suffix) == 0) {
                number.erase(number.size() - suffix.size());
                return true;
            }
            return false;
        };
        if (cut("ms")) {
            unit = Ms;
        } else if (cut("ft")) {
            unit = Feet;
        } else if (cut("m")) {
            unit = Meters;
        }
        double amount = 0;
        if (!ParseDouble(number, amount)) {
            return Fail("'" + m_a.value + "' is not a delay (ms, or a distance with m or ft)");
        }
        const int temperature = m_program.GetTemperature();
        TypedIndex typed;
        switch (unit) {
        case Ms:
            typed = DelayFromMs(amount, m_type);
            if (!typed.inRange) {
                return OutOfRange("0", DelayEditText(DelayRange(m_type).max, m_type), "ms");
            }
            break;
        case Meters:
            typed = DelayFromMeters(amount, m_type, temperature);
            if (!typed.inRange) {
                return OutOfRange("0", Fixed(MaxDelayMeters(m_type, temperature), 4), "m");
            }
            break;
        case Feet:
            typed = DelayFromFeet(amount, m_type, temperature);
            if (!typed.inRange) {
                return OutOfRange("0", Fixed(MaxDelayFeet(m_type, temperature), 4), "ft");
            }
            break;
        }
        channel.SetDelay(typed.index);
        return true;
    }

    bool InputField(CAudio_InData& input) {
        bool handled = false;
        const bool ok = CommonField(input, handled);
        if (handled) {
            return ok;
        }
        // gate
        if (m_value == "off") {
            input.SetGateOff(1);
            return true;
        }
        if (m_value == "on") {
            input.SetGateOff(0);
            return true;
        }
        double dBu = 0;
        if (!ParseDouble(m_a.value, dBu)) {
            return Fail("'" + m_a.value + "' is not a threshold in dBu, on or off");
        }
        const IndexRange range = GateThresholdRange(m_type);
        const TypedIndex typed = GateThresholdFromDbu(dBu, m_type);
        if (!typed.inRange) {
            return OutOfRange(GateThresholdText(range.min, false),
                              GateThresholdText(range.max, false), "dBu");
        }
        input.SetGateThreshold(static_cast<std::uint8_t>(typed.index));
        input.SetGateOff(0);
        return true;
    }

    bool OutputField(CAudio_OutData& output) {
        bool handled = false;
        const bool ok = CommonField(output, handled);
        if (handled) {
            return ok;
        }
        // source
        const int inputs = InputCount(m_type);
        std::uint8_t mask = 0;
        const QString letters = QString::fromStdString(m_value).toUpper();
        if (m_value != "none") {
            for (const QString& part : letters.split(QLatin1Char('+'))) {
                const QString letter = part.trimmed();
                const int input = letter.size() == 1 ? letter[0].unicode() - 'A' : -1;
                if (input < 0 || input >= inputs) {
                    return Fail("'" + m_a.value + "' is not a set of inputs such as A+C (A.." +
                                std::string(1, static_cast<char>('A' + inputs - 1)) + ") or none");
                }
                mask = static_cast<std::uint8_t>(mask | (1u << input));
            }
        }
        output.SetSourceMask(mask);
        return true;
    }

    bool EqField(CFilter& band) {
        const std::string& field = m_a.field;
        if (field == "type") {
            int type = 0;
            if (!Choice({{"PEQ"}, {"LoShelf", "Lo_Shf", "low"}, {"HiShelf", "Hi_Shf", "high"}},
                        type)) {
                return false;
            }
            band.SetType(type);
        } else if (field == "freq") {
            return Frequency(band);
        } else if (field == "gain") {
            double dB = 0;
            if (!Number(dB)) {
                return false;
            }
            const TypedIndex typed = EqGainFromTyped(dB);
            if (!typed.inRange) {
                return OutOfRange(Fixed(MinEqGainDb, 1), Fixed(MaxEqGainDb, 1), "dB");
            }
            band.SetGainIndex(typed.index);
        } else if (field == "q") {
            double q = 0;
            if (!Number(q)) {
                return false;
            }
            const TypedIndex typed = QFromTyped(q, m_type);
            if (!typed.inRange) {
                return OutOfRange(QText(MinQ), QText(MaxQ), "");
            }
            band.SetBandwidthIndex(typed.index);
        } else if (field == "bw") {
            double octaves = 0;
            if (!Number(octaves)) {
                return false;
            }
            const TypedIndex typed = BandwidthFromTyped(octaves, m_type);
            if (!typed.inRange) {
                return OutOfRange(BandwidthText(MinBandwidth), BandwidthText(MaxBandwidth),
                                  "octaves");
            }
            band.SetBandwidthIndex(typed.index);
        } else if (field == "on") {
            bool on = false;
            if (!Switch(on)) {
                return false;
            }
            band.SetFlat(on ? 0 : 1);
        } else { // slope of a shelf
            int slope = 0;
            if (!Choice({{"6", "6dB"}, {"12", "12dB"}}, slope)) {
                return false;
            }
            band.SetSlope(slope);
        }
        return true;
    }

    bool Frequency(CFilter& filter) {
        int hz = 0;
        if (!WholeNumber(hz)) {
            return false;
        }
        const TypedIndex typed = FrequencyFromTyped(hz);
        if (!typed.inRange) {
            return OutOfRange(FrequencyText(MinFrequency), FrequencyText(MaxFrequency), "Hz");
        }
        filter.SetFrequency(typed.index);
        return true;
    }

    bool CrossoverField(CAudio_OutData& output) {
        const bool highPass = m_a.section == Section::HighPass;
        CFilter& filter = highPass ? *output.GetHighPass() : *output.GetLowPass();
        const std::string& field = m_a.field;
        if (field == "freq") {
            const int highPassClass = output.GetHighPassClass();
            if (!Frequency(filter)) {
                return false;
            }
            // With automatic timing the attack the device uses follows the high-pass.
            ChannelEdits::FollowHighPass(output, highPassClass);
            return true;
        }
        int index = 0;
        if (field == "type") {
            if (!Choice({{"L_R", "LR", "L__R"}, {"Bessel"}, {"BTWorth", "Butterworth"}}, index)) {
                return false;
            }
            filter.SetCrossoverType(index);
            return true;
        }
        if (!Choice({{"12", "12dB"}, {"18", "18dB"}, {"24", "24dB"}, {"48", "48dB"}}, index)) {
            return false;
        }
        filter.SetSlope(index);
        return true;
    }

    bool LimiterField(CAudio_OutData& output) {
        const std::string& field = m_a.field;
        int index = 0;
        double number = 0;
        if (field == "threshold") {
            if (!Number(number)) {
                return false;
            }
            const TypedIndex typed = LimitThresholdFromDbu(number);
            if (!typed.inRange) {
                return OutOfRange(LimitThresholdText(LimitThresholdRange.min),
                                  LimitThresholdText(LimitThresholdRange.max), "dBu");
            }
            output.SetLimitThreshold(typed.index);
        } else if (field == "attack") {
            if (!Number(number)) {
                return false;
            }
            const TypedIndex typed = AttackFromMs(number, output.GetAttack());
            if (!typed.inRange) {
                return OutOfRange(AttackText(AttackRange.min), AttackText(AttackRange.max), "ms");
            }
            output.SetAttack(static_cast<std::uint8_t>(typed.index));
        } else if (field == "release") {
            std::vector<std::vector<std::string>> choices;
            for (int i = ReleaseRange.min; i <= ReleaseRange.max; ++i) {
                const std::string text = ReleaseText(i);
                choices.push_back({text, text.substr(0, text.size() - 1)});
            }
            if (!Choice(choices, index)) {
                return false;
            }
            output.SetRelease(static_cast<std::uint8_t>(index));
        } else if (field == "clip") {
            if (!Number(number)) {
                return false;
            }
            const TypedIndex typed = ClipLimitFromTyped(number);
            if (!typed.inRange) {
                return OutOfRange(ClipLimitText(ClipLimitRange.min),
                                  ClipLimitText(ClipLimitRange.max), "");
            }
            output.SetClipLimit(typed.index);
        } else if (field == "ratio") {
            std::vector<std::vector<std::string>> choices;
            for (int i = RatioRange.min; i <= RatioRange.max; ++i) {
                choices.push_back({RatioText(i)});
            }
            choices.back().push_back("1:max");
            if (!Choice(choices, index)) {
                return false;
            }
            output.SetRatio(index);
        } else if (field == "mode") {
            if (!Choice({{"limit", "limiter"}, {"compressor"}}, index)) {
                return false;
            }
            output.SetCompressorMode(index);
        } else { // timing
            if (!Choice({{"manual"}, {"auto"}}, index)) {
                return false;
            }
            output.SetAutoTiming(index);
        }
        return true;
    }

    const ParamAssignment& m_a;
    CAudio_Data& m_program;
    int m_type;
    std::string m_value;
    std::string m_error;
};

// The rule that the part of the program an assignment changed breaks in program, if any.
std::optional<EditRule> BrokenRule(const ParamAssignment& a, CAudio_Data& program) {
    const auto is = [&a](std::initializer_list<const char*> fields) {
        for (const char* field : fields) {
            if (a.field == field) {
                return true;
            }
        }
        return false;
    };
    switch (a.section) {
    case Section::Channel:
        if (a.output && is({"source"}) &&
            !EditRules::KeepsOutputSource(*program.GetOutput(a.channel))) {
            return EditRule::OutputSource;
        }
        if (!a.output && is({"gate"}) &&
            !EditRules::KeepsGateSwitch(*program.GetInput(a.channel))) {
            return EditRule::GateSwitch;
        }
        break;
    case Section::Eq: {
        const CFilter& band = a.output ? *program.GetOutput(a.channel)->GetFilter(a.band)
                                       : *program.GetInput(a.channel)->GetFilter(a.band);
        if (is({"type", "freq"}) && !EditRules::KeepsLowShelfFrequency(band)) {
            return EditRule::LowShelfFrequency;
        }
        if (is({"gain", "on"}) && !EditRules::KeepsFlatBandOff(band)) {
            return EditRule::FlatBandOn;
        }
        break;
    }
    case Section::HighPass:
    case Section::LowPass: {
        CAudio_OutData& output = *program.GetOutput(a.channel);
        if (is({"freq"}) &&
            !EditRules::KeepsCrossoverOrder(*output.GetHighPass(), *output.GetLowPass())) {
            return EditRule::CrossoverOrder;
        }
        break;
    }
    case Section::Limiter:
        if (is({"mode", "timing"}) &&
            !EditRules::KeepsLimiterTiming(*program.GetOutput(a.channel))) {
            return EditRule::LimiterTiming;
        }
        break;
    }
    return std::nullopt;
}

} // namespace

bool ParseAssignment(const std::string& text, int deviceType, ParamAssignment& out,
                     std::string& error) {
    out = ParamAssignment{};
    out.text = text;
    const auto fail = [&](const std::string& message) {
        error = text + ": " + message;
        return false;
    };
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        return fail("expected PARAM=VALUE");
    }
    out.value = text.substr(equals + 1);
    const QStringList path =
        QString::fromStdString(text.substr(0, equals)).trimmed().toLower().split(QLatin1Char('.'));
    int number = 0;
    if (!ParseChannel(path.front(), out.output, number)) {
        return fail("'" + path.front().toStdString() + "' is not a channel (in1.., out1..)");
    }
    const int channels = out.output ? OutputCount(deviceType) : InputCount(deviceType);
    if (number < 1 || number > channels) {
        return fail("this model has " + std::string(out.output ? "out1..out" : "in1..in") +
                    std::to_string(channels));
    }
    out.channel = number - 1;

    if (path.size() == 2) {
        out.section = Section::Channel;
    } else if (path.size() == 3 && path[1].startsWith(QLatin1String("eq"))) {
        bool ok = false;
        const int band = path[1].mid(2).toInt(&ok);
        const int bands = BandCount(out.output, deviceType);
        if (!ok || band < 1 || band > bands) {
            return fail("a band of this channel is eq1..eq" + std::to_string(bands));
        }
        out.section = Section::Eq;
        out.band = band - 1;
    } else if (path.size() == 3 && path[1] == QLatin1String("hpf") && out.output) {
        out.section = Section::HighPass;
    } else if (path.size() == 3 && path[1] == QLatin1String("lpf") && out.output) {
        out.section = Section::LowPass;
    } else if (path.size() == 3 && path[1] == QLatin1String("limiter") && out.output) {
        out.section = Section::Limiter;
    } else {
        return fail("unknown parameter (see sonvex-cli set --help)");
    }
    out.field = path.back().toStdString();
    if (!ParameterText::HasField(out.section, out.field, out.output)) {
        return fail("unknown parameter (see sonvex-cli set --help)");
    }
    return true;
}

bool ApplyAssignment(const ParamAssignment& assignment, CAudio_Data& program, std::string& error) {
    return Applier(assignment, program).Run(error);
}

bool ApplyAssignments(const std::vector<ParamAssignment>& assignments, CAudio_Data& program,
                      std::string& error) {
    // Tried on a copy first, so that a refusal leaves the program as it was.
    auto scratch = std::make_unique<CAudio_Data>();
    scratch->SetDeviceType(program.GetDeviceType());
    scratch->CopyFrom(program);
    scratch->SetTemperature(program.GetTemperature());
    for (const ParamAssignment& assignment : assignments) {
        if (!ApplyAssignment(assignment, *scratch, error)) {
            return false;
        }
    }
    for (const ParamAssignment& assignment : assignments) {
        if (const std::optional<EditRule> rule = BrokenRule(assignment, *scratch)) {
            error = assignment.text + ": " + EditRuleText(*rule);
            return false;
        }
    }
    for (const ParamAssignment& assignment : assignments) {
        ApplyAssignment(assignment, program, error);
    }
    return true;
}

std::vector<std::string> ParameterNames(int deviceType) {
    std::vector<std::string> names;
    for (const ParameterRef& ref : ParameterText::Parameters(deviceType)) {
        names.push_back(ParameterText::Name(ref));
    }
    return names;
}
