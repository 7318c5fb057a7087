#include "core/protocol/TransferSequences.h"

#include "core/files/ProgramFiles.h"
#include "core/files/ProgramImage.h"
#include "core/protocol/ProgramEncoder.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/model/AudioData.h"

namespace TransferSequences {

namespace {

// The twelve channel read requests of one program slot, all bulk.
void AppendChannelReads(RecordList& records, CAudio_Data& program, int slot, int block) {
    const ProgramEncoder encoder(program);
    for (int i = 0; i < program.GetInputCount(); ++i) {
        auto record = encoder.ReadChannel(slot, Protocol::GroupInput,
                                          program.GetInput(i)->GetChannelIndex(), block);
        record->SetBulk(true);
        records.push_back(std::move(record));
    }
    for (int o = 0; o < program.GetOutputCount(); ++o) {
        auto record = encoder.ReadChannel(slot, Protocol::GroupOutput,
                                          program.GetOutput(o)->GetChannelIndex(), block);
        record->SetBulk(true);
        records.push_back(std::move(record));
    }
}

void AppendOutputChannels(RecordList& records, const ProgramEncoder& encoder,
                          const CAudio_Data& program, int slot) {
    for (int o = 0; o < program.GetOutputCount(); ++o) {
        auto record = encoder.WriteOutputChannel(slot, o);
        record->SetBulk(true);
        records.push_back(std::move(record));
    }
}

void AppendInputChannels(RecordList& records, const ProgramEncoder& encoder,
                         const CAudio_Data& program, int slot) {
    for (int i = 0; i < program.GetInputCount(); ++i) {
        auto record = encoder.WriteInputChannel(slot, i);
        record->SetBulk(true);
        records.push_back(std::move(record));
    }
}

} // namespace

RecordList UploadProgram(CAudio_Data& program, int slot) {
    RecordList records;
    AppendChannelReads(records, program, slot, 0);
    records.back()->SetLastOfUpload(true);
    return records;
}

RecordList UploadStoredProgram(CAudio_Data& program, int slot) {
    RecordList records;
    AppendChannelReads(records, program, slot, Protocol::ArchiveFlag);
    records.back()->SetLastOfUpload(true);
    return records;
}

RecordList UploadAllPrograms(CAudio_Data& program) {
    RecordList records;
    for (int slot = Protocol::FirstStoredProgram; slot <= Protocol::StoredProgramCount; ++slot) {
        AppendChannelReads(records, program, slot, Protocol::ArchiveFlag);
    }
    records.back()->SetLastOfUpload(true);
    return records;
}

RecordList DownloadProgram(CAudio_Data& program, int slot) {
    // Inputs A and B stay muted while the live program is rewritten underneath them.
    constexpr int MutedInputs = 2;
    const ProgramEncoder encoder(program);
    RecordList records;
    records.push_back(encoder.WriteProgramName(slot));

    const bool live = slot == Protocol::LiveProgram;
    std::uint8_t rememberedOn[MutedInputs] = {};
    if (live) {
        for (int i = 0; i < MutedInputs; ++i) {
            CAudio_InData* input = program.GetInput(i);
            rememberedOn[i] = input->GetOn();
            input->SetOn(0);
            records.push_back(encoder.WriteInputLevels(i));
        }
    }
    AppendOutputChannels(records, encoder, program, slot);
    if (live) {
        // SetOn marks the levels changed, so the change scan sends the true state afterwards.
        for (int i = 0; i < MutedInputs; ++i) {
            program.GetInput(i)->SetOn(rememberedOn[i]);
        }
    }
    AppendInputChannels(records, encoder, program, slot);
    records.back()->SetLastOfDownload(true);
    return records;
}

RecordList DownloadAllPrograms(const Bank& bank, int deviceType, int deviceId) {
    RecordList records;
    for (int k = 0; k < BankSize; ++k) {
        const int slot = Protocol::FirstStoredProgram + k;
        auto program = ProgramFromImage(bank[static_cast<std::size_t>(k)], deviceType);
        program->SetDeviceId(deviceId);
        const ProgramEncoder encoder(*program);
        records.push_back(encoder.WriteProgramName(slot));
        AppendOutputChannels(records, encoder, *program, slot);
        AppendInputChannels(records, encoder, *program, slot);
    }
    records.back()->SetLastOfDownload(true);
    return records;
}

RecordList ConnectReadBack(CAudio_Data& program) {
    const ProgramEncoder encoder(program);
    RecordList records;
    auto identify = encoder.IdentifyDevice(program.GetDeviceId());
    identify->SetIdentityCheck(true);
    records.push_back(std::move(identify));
    for (int slot = Protocol::LiveProgram; slot <= Protocol::StoredProgramCount; ++slot) {
        records.push_back(encoder.ReadSystemItem(Protocol::ItemProgramName, slot));
    }
    for (int item : {Protocol::ItemInterfaceText, Protocol::ItemBacklight,
                     Protocol::ItemInputSource, Protocol::ItemTemperature}) {
        records.push_back(encoder.ReadSystemItem(item, Protocol::LiveProgram));
    }
    return records;
}

RecordList IdSearch(CAudio_Data& program) {
    const ProgramEncoder encoder(program);
    RecordList records;
    for (int id = Protocol::MinDeviceId; id <= Protocol::MaxDeviceId; ++id) {
        auto probe = encoder.IdentifyDevice(id);
        probe->SetProbeId(id);
        records.push_back(std::move(probe));
    }
    return records;
}

std::unique_ptr<SendData> ChangeDeviceId(CAudio_Data& program, int newId) {
    return ProgramEncoder(program).WriteDeviceId(newId);
}

} // namespace TransferSequences
