#include "core/ChangeRecords.h"
#include "core/files/ProgramImage.h"
#include "core/model/AudioData.h"
#include "core/protocol/Frame.h"
#include "core/protocol/ProgramEncoder.h"
#include "core/protocol/TransferSequences.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using TransferSequences::RecordList;

namespace {

constexpr int DeviceId = 12;

// Code, program, group, channel/item, block of a record.
Bytes Key(const SendData& r) {
    const Bytes& d = r.GetData();
    return {d[1], d[3], d[4], d[5], d[6]};
}

// Every record is a valid, untransmitted frame to the device; only the one at `last` carries
// the last-of flag that is asked for.
void ExpectWellFormed(const RecordList& records, int deviceId) {
    for (std::size_t k = 0; k < records.size(); ++k) {
        const SendData& r = *records[k];
        ASSERT_TRUE(Protocol::ValidateFrame(r.Bytes(), r.GetData().size())) << "record " << k;
        EXPECT_EQ(r.GetData()[2], deviceId) << "record " << k;
        EXPECT_TRUE(r.IsPending());
        EXPECT_EQ(r.GetWaitTicks(), 0);
    }
}

int CountLastOfUpload(const RecordList& records) {
    int n = 0;
    for (const auto& r : records) {
        n += r->IsLastOfUpload() ? 1 : 0;
    }
    return n;
}

int CountLastOfDownload(const RecordList& records) {
    int n = 0;
    for (const auto& r : records) {
        n += r->IsLastOfDownload() ? 1 : 0;
    }
    return n;
}

struct ProtocolSequences : ::testing::Test {
    ProtocolSequences() {
        program.SetDeviceType(3); // the small variant still transfers all 12 channels
        program.SetDeviceId(DeviceId);
        program.ClearChanged();
    }
    CAudio_Data program;
};

} // namespace

TEST_F(ProtocolSequences, UploadOneReadsTwelveChannels) {
    const RecordList records = TransferSequences::UploadProgram(program, 7);
    ASSERT_EQ(records.size(), 12u);
    ExpectWellFormed(records, DeviceId);
    for (std::uint8_t k = 0; k < 12; ++k) {
        const Bytes expected =
            k < 4 ? Bytes{0xA2, 7, 1, k, 0} : Bytes{0xA2, 7, 2, std::uint8_t(k - 4), 0};
        EXPECT_EQ(Key(*records[k]), expected) << "record " << int(k);
        EXPECT_TRUE(records[k]->IsBulk());
        EXPECT_EQ(records[k]->IsLastOfUpload(), k == 11);
        EXPECT_FALSE(records[k]->IsLastOfDownload());
    }
}

TEST_F(ProtocolSequences, UploadAllReadsThirtyArchiveImages) {
    const RecordList records = TransferSequences::UploadAllPrograms(program);
    ASSERT_EQ(records.size(), 360u);
    ExpectWellFormed(records, DeviceId);
    for (std::size_t k = 0; k < records.size(); ++k) {
        const std::uint8_t slot = static_cast<std::uint8_t>(1 + k / 12);
        const std::size_t c = k % 12;
        const Bytes expected = c < 4 ? Bytes{0xA2, slot, 1, std::uint8_t(c), 0x77}
                                     : Bytes{0xA2, slot, 2, std::uint8_t(c - 4), 0x77};
        ASSERT_EQ(Key(*records[k]), expected) << "record " << k;
        EXPECT_TRUE(records[k]->IsBulk());
    }
    EXPECT_EQ(CountLastOfUpload(records), 1);
    EXPECT_TRUE(records.back()->IsLastOfUpload());
}

TEST_F(ProtocolSequences, DownloadToStoredSlot) {
    const RecordList records = TransferSequences::DownloadProgram(program, 9);
    ASSERT_EQ(records.size(), 13u);
    ExpectWellFormed(records, DeviceId);
    EXPECT_EQ(Key(*records[0]), Bytes({0xA1, 9, 3, 0x00, 0}));
    EXPECT_FALSE(records[0]->IsBulk());
    for (std::uint8_t o = 0; o < 8; ++o) {
        EXPECT_EQ(Key(*records[1 + o]), Bytes({0xA1, 9, 2, o, 0}));
        EXPECT_EQ(records[1 + o]->GetLength(), 91);
        EXPECT_TRUE(records[1 + o]->IsBulk());
    }
    for (std::uint8_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Key(*records[9 + i]), Bytes({0xA1, 9, 1, i, 0}));
        EXPECT_EQ(records[9 + i]->GetLength(), 107);
        EXPECT_TRUE(records[9 + i]->IsBulk());
    }
    EXPECT_EQ(CountLastOfDownload(records), 1);
    EXPECT_TRUE(records.back()->IsLastOfDownload());
    // A stored slot leaves the live inputs alone.
    EXPECT_FALSE(program.GetInput(0)->IsParamsChanged());
}

TEST_F(ProtocolSequences, DownloadToLiveProgramMutesInputsAAndBMeanwhile) {
    program.GetInput(0)->SetOn(1);
    program.GetInput(1)->SetOn(0);
    program.ClearChanged();

    const RecordList records = TransferSequences::DownloadProgram(program, 0);
    ASSERT_EQ(records.size(), 15u);
    ExpectWellFormed(records, DeviceId);
    EXPECT_EQ(Key(*records[0]), Bytes({0xA1, 0, 3, 0x00, 0}));
    // Levels of A and B go out muted before the outputs.
    EXPECT_EQ(Key(*records[1]), Bytes({0xA1, 0, 1, 0, 8}));
    EXPECT_EQ(Key(*records[2]), Bytes({0xA1, 0, 1, 1, 8}));
    EXPECT_EQ(records[1]->GetData()[9], 0);
    EXPECT_EQ(records[2]->GetData()[9], 0);
    EXPECT_FALSE(records[1]->IsBulk());
    for (std::uint8_t o = 0; o < 8; ++o) {
        EXPECT_EQ(Key(*records[3 + o]), Bytes({0xA1, 0, 2, o, 0}));
        EXPECT_TRUE(records[3 + o]->IsBulk());
    }
    for (std::uint8_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Key(*records[11 + i]), Bytes({0xA1, 0, 1, i, 0}));
        EXPECT_TRUE(records[11 + i]->IsBulk());
    }
    // The whole input channels carry the true on flags (payload byte 64).
    EXPECT_EQ(records[11]->GetData()[9 + 64], 1);
    EXPECT_EQ(records[12]->GetData()[9 + 64], 0);
    EXPECT_EQ(CountLastOfDownload(records), 1);
    EXPECT_TRUE(records.back()->IsLastOfDownload());

    // The model has its states back and the change scan sends them again.
    EXPECT_EQ(program.GetInput(0)->GetOn(), 1);
    EXPECT_EQ(program.GetInput(1)->GetOn(), 0);
    const auto first = changetest::TakeChangeRecord(program);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Key(*first), Bytes({0xA1, 0, 1, 0, 8}));
    EXPECT_EQ(first->GetData()[9], 1);
    const auto second = changetest::TakeChangeRecord(program);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Key(*second), Bytes({0xA1, 0, 1, 1, 8}));
    EXPECT_EQ(second->GetData()[9], 0);
    EXPECT_EQ(changetest::TakeChangeRecord(program), nullptr);
}

TEST_F(ProtocolSequences, DownloadAllFromABank) {
    TransferSequences::Bank bank{};
    for (int k = 0; k < 30; ++k) {
        ProgramImage& image = bank[static_cast<std::size_t>(k)];
        image.name = "Prog" + std::to_string(k + 1);
        for (InputImage& in : image.inputs) {
            in.gain = 400;
            in.on = 1;
            in.gateThreshold = 60;
        }
        for (OutputImage& out : image.outputs) {
            out.gain = 300 + k; // ends up in the gain code of every output
            out.on = 1;
            out.sourceMask = 1;
        }
    }
    const RecordList records = TransferSequences::DownloadAllPrograms(bank, 1, DeviceId);
    ASSERT_EQ(records.size(), 390u);
    ExpectWellFormed(records, DeviceId);
    for (int k = 0; k < 30; ++k) {
        const std::uint8_t slot = static_cast<std::uint8_t>(k + 1);
        const std::size_t base = static_cast<std::size_t>(k) * 13;
        SCOPED_TRACE(k);
        const SendData& name = *records[base];
        EXPECT_EQ(Key(name), Bytes({0xA1, slot, 3, 0x00, 0}));
        EXPECT_FALSE(name.IsBulk());
        const std::string expectedName = "Prog" + std::to_string(k + 1);
        EXPECT_EQ(std::string(name.GetData().begin() + 9, name.GetData().begin() + 24),
                  expectedName + std::string(15 - expectedName.size(), ' '));
        for (std::uint8_t o = 0; o < 8; ++o) {
            const SendData& r = *records[base + 1 + o];
            EXPECT_EQ(Key(r), Bytes({0xA1, slot, 2, o, 0}));
            EXPECT_TRUE(r.IsBulk());
            const unsigned gainCode = r.GetData()[9 + 50] | (r.GetData()[9 + 51] << 8);
            EXPECT_EQ(gainCode, 1000u + static_cast<unsigned>(k));
        }
        for (std::uint8_t i = 0; i < 4; ++i) {
            EXPECT_EQ(Key(*records[base + 9 + i]), Bytes({0xA1, slot, 1, i, 0}));
            EXPECT_TRUE(records[base + 9 + i]->IsBulk());
        }
    }
    EXPECT_EQ(CountLastOfDownload(records), 1);
    EXPECT_TRUE(records.back()->IsLastOfDownload());
}

TEST_F(ProtocolSequences, ConnectReadBack) {
    const RecordList records = TransferSequences::ConnectReadBack(program);
    ASSERT_EQ(records.size(), 36u);
    ExpectWellFormed(records, DeviceId);
    EXPECT_EQ(Key(*records[0]), Bytes({0xA2, 0, 3, 0x15, 0}));
    EXPECT_EQ(Bytes(records[0]->GetData().begin() + 9, records[0]->GetData().end() - 2),
              Bytes({DeviceId, 3}));
    EXPECT_TRUE(records[0]->IsIdentityCheck());
    for (std::uint8_t p = 0; p <= 30; ++p) {
        EXPECT_EQ(Key(*records[1 + p]), Bytes({0xA2, p, 3, 0x00, 0}));
        EXPECT_FALSE(records[1 + p]->IsIdentityCheck());
    }
    EXPECT_EQ(Key(*records[32]), Bytes({0xA2, 0, 3, 0x10, 0}));
    EXPECT_EQ(Key(*records[33]), Bytes({0xA2, 0, 3, 0x14, 0}));
    EXPECT_EQ(Key(*records[34]), Bytes({0xA2, 0, 3, 0x01, 0}));
    EXPECT_EQ(Key(*records[35]), Bytes({0xA2, 0, 3, 0x16, 0}));
    for (const auto& r : records) {
        EXPECT_FALSE(r->IsBulk());
    }
}

TEST_F(ProtocolSequences, IdSearchProbesEveryId) {
    const RecordList records = TransferSequences::IdSearch(program);
    ASSERT_EQ(records.size(), 250u);
    for (int id = 1; id <= 250; ++id) {
        const SendData& r = *records[static_cast<std::size_t>(id - 1)];
        ASSERT_TRUE(Protocol::ValidateFrame(r.Bytes(), r.GetData().size()));
        EXPECT_EQ(r.GetProbeId(), id);
        EXPECT_EQ(r.GetData()[2], id);
        EXPECT_EQ(Key(r), Bytes({0xA2, 0, 3, 0x15, 0}));
        EXPECT_EQ(r.GetData()[9], id);
        EXPECT_EQ(r.GetData()[10], 3);
        EXPECT_FALSE(r.IsIdentityCheck());
    }
}

TEST_F(ProtocolSequences, ChangeOfDeviceIdIsAddressedToTheOldId) {
    const auto record = TransferSequences::ChangeDeviceId(program, 99);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->GetData()[2], DeviceId);
    EXPECT_EQ(Key(*record), Bytes({0xA1, 0, 3, 0x15, 0}));
    EXPECT_EQ(record->GetData()[9], 99);
    EXPECT_EQ(record->GetData()[10], 3);
    EXPECT_EQ(program.GetDeviceId(), DeviceId); // the caller stores the new ID
}
