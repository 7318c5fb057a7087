#pragma once

#include <QString>

#include <string>

struct CliOptions;
class CAudio_Data;
class CZorvanDoc;
struct FileResult;
struct Variant;

// The commands of sonvex-cli. Each returns the exit status: 0 on success, otherwise 1 after
// one line on stderr saying what failed.
namespace Commands {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

// Prints "sonvex-cli: message" on stderr and returns kFailure.
int Failure(const QString& message);
// The same for a wrong command line, pointing at the command's help; returns kUsage.
int UsageError(const QString& command, const QString& message);
// Refuses operands for a command that takes none (kSuccess when there are none).
int NoOperands(const CliOptions& options);

// Device commands.
int Ports(const CliOptions& options);
int Search(const CliOptions& options);
int Info(const CliOptions& options);
int Pull(const CliOptions& options);
int Push(const CliOptions& options);
int Backup(const CliOptions& options);
int Restore(const CliOptions& options);
int SetId(const CliOptions& options);
int Set(const CliOptions& options);
// What keeps the line at --port from working, one line per finding (DoctorCommand.cpp).
int Doctor(const CliOptions& options);
// backup, restore and info with --all: every device on the line (BusCommands.cpp).
int BackupAll(const CliOptions& options);
int RestoreAll(const CliOptions& options);
int InfoAll(const CliOptions& options);
// The bank file name backup --all gives device id: "ID-MODEL.datNN", e.g. "3-Fosk.dat48".
QString AllBankFileName(int id, const Variant& variant);
// Program-file commands; table also reads a device's live program with --port.
int Table(const CliOptions& options);
int Curve(const CliOptions& options);
// The parameters in which two program files, or a file and a device, differ (DiffCommand.cpp);
// 0 when none do, 1 when some do, 2 on any trouble.
int Diff(const CliOptions& options);
// curve with --phase, --group-delay, --sum or --measurement: the complex response of a channel
// or the sum of outputs (CurveCommand.cpp).
bool WantsComplexCurve(const CliOptions& options);
int ComplexCurve(const CliOptions& options);
// A channel's EQ bands from and to REW and Equalizer APO filter lists (EqCommands.cpp).
int ImportEq(const CliOptions& options);
int ExportEq(const CliOptions& options);
// Program and bank files as JSON text presets and back (PresetCommands.cpp).
int Export(const CliOptions& options);
int Import(const CliOptions& options);

// Why the file at path, by its extension, is not a file of the kind wanted (a bank file or a
// one-program file) for the variant's model; empty when it is, or when its extension names no
// model's file.
std::string OtherKind(const Variant& variant, const QString& path, bool bank);
// Loads a one-program file of the variant into doc; false after printing the message.
// "File read Error: PATH (why)": the system's message, the file and what was wrong with it.
QString FileFailure(const FileResult& result);
bool LoadProgramFile(CZorvanDoc& doc, const Variant& variant, const QString& path);

// Prints the data-view table of program, aligned or as CSV, on stdout.
void PrintTable(const CAudio_Data& program, const Variant& variant, bool csv);

} // namespace Commands
