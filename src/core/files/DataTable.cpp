#include "core/files/DataTable.h"

#include "core/model/AudioData.h"
#include "core/model/Variant.h"

#include <algorithm>
#include <functional>

namespace {

using InputCell = std::function<std::string(const CAudio_InData&)>;
using OutputCell = std::function<std::string(const CAudio_OutData&)>;

// One row of the table: its label and how an input and an output column fill their cell
// (an empty function leaves the cell empty).
struct RowRule {
    std::string label;
    InputCell input;
    OutputCell output;
};

// The variant of a data view code (the device type); any other code shows the 4-in/8-out one.
const Variant& VariantOf(int variantCode) {
    return Variant::OfDeviceType(variantCode);
}

const char* const kInputLetters = "ABCD";

// The five rows of EQ band k (0-based) and the separator after them. Bands the channel does
// not have (outputs have six) stay empty.
void AddBandRows(std::vector<RowRule>& rows, int k) {
    const std::string prefix = "EQ" + std::to_string(k + 1) + " ";
    const auto band = [k](const auto& channel) -> const CFilter* {
        return k < channel.GetFilterCount() - 2 ? channel.GetFilter(k) : nullptr;
    };
    const auto text = [band](std::string (CFilter::*getter)() const, bool peqOnly) {
        return [band, getter, peqOnly](const auto& channel) -> std::string {
            const CFilter* filter = band(channel);
            if (filter == nullptr || (peqOnly && filter->GetType() != CFilter::Peaking)) {
                return {};
            }
            return (filter->*getter)();
        };
    };
    const auto both = [&](const std::string& name, std::string (CFilter::*getter)() const,
                          bool peqOnly) {
        const auto cell = text(getter, peqOnly);
        rows.push_back({prefix + name, [cell](const CAudio_InData& in) { return cell(in); },
                        [cell](const CAudio_OutData& out) { return cell(out); }});
    };
    both("Type", &CFilter::GetTypeText, false);
    both("Gain", &CFilter::GetGainText, false);
    both("Freq", &CFilter::GetFrequencyText, false);
    both("BW", &CFilter::GetBandwidthText, true);
    both("Q", &CFilter::GetQText, true);
    rows.push_back({});
}

void AddCrossoverRows(std::vector<RowRule>& rows, const char* suffix, bool lowPass) {
    const auto section = [lowPass](const CAudio_OutData& out) -> const CFilter* {
        return out.GetFilter(lowPass ? out.GetFilterCount() - 1 : out.GetFilterCount() - 2);
    };
    rows.push_back({std::string("XType_") + suffix, nullptr, [section](const CAudio_OutData& out) {
                        return section(out)->GetCrossoverTypeText();
                    }});
    rows.push_back({std::string("XFreq_") + suffix, nullptr, [section](const CAudio_OutData& out) {
                        return section(out)->GetFrequencyText();
                    }});
    rows.push_back({std::string("XSLope_") + suffix, nullptr,
                    [section](const CAudio_OutData& out) { return section(out)->GetSlopeText(); }});
}

std::vector<RowRule> RowRules(int variantCode, const CAudio_Data* program) {
    const Variant& variant = VariantOf(variantCode);
    const bool large = variant.deviceType == 1;
    const int bands = std::max(variant.inputEqBands, variant.outputEqBands);
    const int sources = variant.inputCount;

    std::vector<RowRule> rows;
    rows.push_back({"Name", &CAudio_InData::GetNameText, &CAudio_OutData::GetNameText});
    if (large) {
        const std::string source = program != nullptr ? program->GetInputSourceText() : "";
        rows.push_back(
            {"InPut Source", [source](const CAudio_InData&) { return source; }, nullptr});
    }
    rows.push_back({"NoiseGate", &CAudio_InData::GetGateText, nullptr});
    rows.push_back({"Gain", &CAudio_InData::GetGainText, &CAudio_OutData::GetGainText});
    rows.push_back({"Polarity", &CAudio_InData::GetPolarityText, &CAudio_OutData::GetPolarityText});
    rows.push_back({"Delay", &CAudio_InData::GetDelayText, &CAudio_OutData::GetDelayText});
    rows.push_back({"Mute", &CAudio_InData::GetOnText, &CAudio_OutData::GetOnText});
    for (int k = 0; k < bands; ++k) {
        AddBandRows(rows, k);
    }
    for (int i = 0; i < sources; ++i) {
        rows.push_back({std::string("Src CH") + kInputLetters[i], nullptr,
                        [i](const CAudio_OutData& out) { return out.GetSourceText(i); }});
    }
    if (variant.deviceType == 3) {
        rows.push_back({});
    }
    AddCrossoverRows(rows, "LPF", true);
    AddCrossoverRows(rows, "HPF", false);
    rows.push_back({});
    rows.push_back({"Threshold", nullptr, &CAudio_OutData::GetThresholdText});
    rows.push_back({"Attack", nullptr, &CAudio_OutData::GetAttackText});
    rows.push_back({"Release", nullptr, &CAudio_OutData::GetReleaseText});
    if (large) {
        rows.push_back({"Clip Limit", nullptr, &CAudio_OutData::GetClipLimitText});
        rows.push_back({"Ratio", nullptr, &CAudio_OutData::GetRatioText});
        rows.push_back({"Compression Type", nullptr, &CAudio_OutData::GetTimingText});
        rows.push_back({"Compression Mode", nullptr, &CAudio_OutData::GetModeText});
    }
    return rows;
}

} // namespace

DataTable::DataTable(const CAudio_Data& program, int variantCode)
    : m_variantCode(VariantOf(variantCode).deviceType), m_programName(program.GetName()) {
    m_inputs = VariantOf(m_variantCode).inputCount;
    m_outputs = VariantOf(m_variantCode).outputCount;
    Fill(program);
}

void DataTable::Fill(const CAudio_Data& program) {
    m_headers.push_back(m_programName);
    for (int i = 0; i < m_inputs; ++i) {
        m_headers.push_back(std::string("Input ") + kInputLetters[i]);
    }
    for (int n = 1; n <= m_outputs; ++n) {
        m_headers.push_back("Out" + std::to_string(n));
    }
    for (const RowRule& rule : RowRules(m_variantCode, &program)) {
        std::vector<std::string> row{rule.label};
        for (int i = 0; i < m_inputs; ++i) {
            row.push_back(rule.input ? rule.input(*program.GetInput(i)) : std::string());
        }
        for (int n = 0; n < m_outputs; ++n) {
            row.push_back(rule.output ? rule.output(*program.GetOutput(n)) : std::string());
        }
        m_cells.push_back(std::move(row));
    }
}

std::string DataTable::GetHeader(int column) const {
    if (column < 0 || column >= GetColumnCount()) {
        return {};
    }
    return m_headers[static_cast<std::size_t>(column)];
}

std::string DataTable::GetCell(int row, int column) const {
    if (row < 0 || row >= GetRowCount() || column < 0 || column >= GetColumnCount()) {
        return {};
    }
    return m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

std::string DataTable::GetPrintTitle() const {
    return "Driver Type\xEF\xBC\x9A" + ModelCode(m_variantCode) +
           "\r\nProgram Name:" + m_programName;
}

std::string DataTable::ModelCode(int variantCode) {
    return VariantOf(variantCode).modelCode;
}

std::vector<std::string> DataTable::RowLabels(int variantCode) {
    std::vector<std::string> labels;
    for (const RowRule& rule : RowRules(variantCode, nullptr)) {
        labels.push_back(rule.label);
    }
    return labels;
}
