#pragma once

#include "core/model/AudioData.h"
#include "core/protocol/ChangeScan.h"
#include "core/protocol/ProgramEncoder.h"
#include "core/protocol/SendData.h"

#include <memory>
#include <vector>

namespace changetest {

// Takes the next pending change of program and builds its record, as the service tick does;
// nullptr when nothing is pending.
inline std::unique_ptr<SendData> TakeChangeRecord(CAudio_Data& program) {
    const auto change = ChangeScan(program).TakeNext();
    return change ? ProgramEncoder(program).ChangeRecord(*change) : nullptr;
}

// Every pending change of program in scan order, taken (at most limit records, so that a scan
// that never runs dry ends).
inline std::vector<std::unique_ptr<SendData>> TakeAllChangeRecords(CAudio_Data& program,
                                                                   int limit = 2000) {
    std::vector<std::unique_ptr<SendData>> records;
    for (auto record = TakeChangeRecord(program);
         record != nullptr && static_cast<int>(records.size()) < limit;
         record = TakeChangeRecord(program)) {
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace changetest
