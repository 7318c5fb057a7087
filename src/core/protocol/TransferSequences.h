#pragma once

#include "core/protocol/SendData.h"

#include <array>
#include <memory>
#include <vector>

class CAudio_Data;
struct ProgramImage;

// The fixed record sequences of the whole-program transfers, the connect read-back and the ID
// search, in the order they are appended to the queue and with their flags set. Every sequence
// covers all 4 inputs and 8 outputs of the program record, whatever the variant.
namespace TransferSequences {

using RecordList = std::vector<std::unique_ptr<SendData>>;

constexpr int BankSize = 30;
using Bank = std::array<ProgramImage, BankSize>;

// Reads program slot (0 = live) channel by channel: inputs 0..3, then outputs 0..7. All bulk;
// output 7 also lastOfUpload. 12 records.
RecordList UploadProgram(CAudio_Data& program, int slot);

// Reads the stored-program image of one slot 1..30 (block ArchiveFlag) without making it the
// device's live program: inputs 0..3, then outputs 0..7, all bulk, output 7 lastOfUpload.
// 12 records.
RecordList UploadStoredProgram(CAudio_Data& program, int slot);

// Reads the stored-program images of slots 1..30 (block ArchiveFlag), 12 channels each. All
// bulk; the last one (slot 30, output 7) lastOfUpload. 360 records.
RecordList UploadAllPrograms(CAudio_Data& program);

// Writes the program to slot: its name, then outputs 0..7 and inputs 0..3 as whole channels
// (bulk, input 3 lastOfDownload). For the live program (slot 0) inputs 0 and 1 are muted
// around the output records: their levels go out muted first, and their true on flags are put
// back in the model afterwards, which marks them for the change scan. 13 records, 15 for slot 0.
RecordList DownloadProgram(CAudio_Data& program, int slot);

// Writes the thirty programs of a bank to slots 1..30: each image is loaded into a temporary
// program of deviceType addressed to deviceId, then its name, outputs 0..7 and inputs 0..3 are
// written. Channel records bulk; input 3 of slot 30 lastOfDownload. 390 records. A device type
// other than 1, 2 or 3 throws std::invalid_argument (from ProgramFromImage) before any record
// is built.
RecordList DownloadAllPrograms(const Bank& bank, int deviceType, int deviceId);

// Right after connecting: the device-type check (identityCheck), the 31 program names, then the
// interface text, backlight, input source and temperature items. 36 records.
RecordList ConnectReadBack(CAudio_Data& program);

// Probes device IDs 1..250 with the program's device type. Each record carries its probeId.
// 250 records.
RecordList IdSearch(CAudio_Data& program);

// Gives the device a new ID. Built while the program still holds the old ID (the frame is
// addressed to it); the caller stores the new ID in the program afterwards.
std::unique_ptr<SendData> ChangeDeviceId(CAudio_Data& program, int newId);

} // namespace TransferSequences
