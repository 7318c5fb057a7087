// backup, restore and info with --all: every device on the line, of every model, one after the
// other. The line is searched once (the ID search reports every device that answers with its
// model); each device then gets a session of its own model, as a single-device command would.

#include "CliOptions.h"
#include "Commands.h"
#include "DeviceSession.h"
#include "Verification.h"

#include "core/files/ProgramFiles.h"
#include "core/model/Variant.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <functional>
#include <iostream>
#include <map>
#include <vector>

namespace Commands {

namespace {

// ID to device type of every device that answered the search.
using LineDevices = std::map<int, int>;

QString Describe(const Variant& variant) {
    return QStringLiteral("%1 (%2)").arg(VariantName(variant), variant.modelCode);
}

// Progress of the whole run on stderr, one line per device: "[2/3] device 7, 3x6 (Wupa): what".
void Step(int index, int total, int id, const Variant& variant, const QString& what) {
    std::cerr << QStringLiteral("[%1/%2] device %3, %4: %5")
                     .arg(index)
                     .arg(total)
                     .arg(id)
                     .arg(Describe(variant), what)
                     .toStdString()
              << std::endl;
}

// --all works on every ID and every model: --id and --model name one device and do not fit.
int CheckAllOptions(const CliOptions& options) {
    for (const char* name : {"id", "model"}) {
        if (options.given.contains(QLatin1String(name))) {
            return UsageError(options.command,
                              QStringLiteral("--all does not take --%1").arg(name));
        }
    }
    return kSuccess;
}

// Searches the line; false after printing why (nothing answered, the port did not open).
bool FindDevices(const CliOptions& options, LineDevices& devices) {
    DeviceSession session(options);
    QVector<int> ownModel;
    if (!session.Search(ownModel)) {
        Failure(session.Error());
        return false;
    }
    const QMap<int, int>& answered = session.Link().AnsweredDevices();
    for (auto it = answered.begin(); it != answered.end(); ++it) {
        devices[it.key()] = it.value();
    }
    if (devices.empty()) {
        Failure(QStringLiteral("no device answered on %1").arg(options.port));
        return false;
    }
    std::cerr << "found " << devices.size() << (devices.size() == 1 ? " device" : " devices")
              << " on " << options.port.toStdString() << std::endl;
    return true;
}

// The options of a single-device command for device id of variant.
CliOptions ForDevice(const CliOptions& options, int id, const Variant& variant) {
    CliOptions one = options;
    one.deviceId = id;
    one.variant = &variant;
    one.all = false;
    return one;
}

// "done N of M", exit status 0 only when every device succeeded.
int Summary(const char* what, int done, int total) {
    std::cerr << what << ' ' << done << " of " << total << (total == 1 ? " device" : " devices")
              << std::endl;
    return done == total ? kSuccess : kFailure;
}

// One device of a walk over the line.
struct WalkItem {
    int id = 0;
    int type = 0;                     // the device type it answered with
    const Variant* variant = nullptr; // null for a model this tool does not know
    QString path;                     // restore: its bank file
};

// What a walk does with one device in a session of its own that is not open yet; true when it
// succeeded (after printing why not otherwise).
using DeviceWork = std::function<bool(const WalkItem& item, DeviceSession& session)>;
// Whether an item can be worked on, after printing why not otherwise.
using DeviceCheck = std::function<bool(const WalkItem& item)>;

// Walks the items in order: one that usable refuses is passed over; every other one gets the
// progress line "[2/3] device 7, ...: doing" and then work. Ends with "summary N of M".
int WalkDevices(const CliOptions& options, const std::vector<WalkItem>& items, const QString& doing,
                const char* summary, const DeviceCheck& usable, const DeviceWork& work) {
    const int total = static_cast<int>(items.size());
    int index = 0;
    int done = 0;
    for (const WalkItem& item : items) {
        ++index;
        if (!usable(item)) {
            continue;
        }
        Step(index, total, item.id, *item.variant, doing);
        const CliOptions one = ForDevice(options, item.id, *item.variant);
        DeviceSession session(one);
        if (work(item, session)) {
            ++done;
        }
    }
    return Summary(summary, done, total);
}

// The found devices as walk items, in ID order.
std::vector<WalkItem> ItemsOf(const LineDevices& devices) {
    std::vector<WalkItem> items;
    for (const auto& [id, type] : devices) {
        items.push_back({id, type, Variant::ForDeviceType(type), QString()});
    }
    return items;
}

// A bank file of --all: ID-MODEL.datNN, e.g. 3-Fosk.dat48.
struct BankName {
    int id = 0;
    const Variant* variant = nullptr;
};

bool ParseBankName(const QString& fileName, BankName& name) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,3})-([A-Za-z]+)(\\.dat\\d\\d)$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch()) {
        return false;
    }
    name.id = match.captured(1).toInt();
    name.variant = VariantFromName(match.captured(2));
    return name.id >= 1 && name.id <= 250 && name.variant != nullptr &&
           match.captured(3) == QLatin1String(name.variant->bankExtension) &&
           match.captured(2) == QLatin1String(name.variant->modelCode);
}

} // namespace

QString AllBankFileName(int id, const Variant& variant) {
    return QStringLiteral("%1-%2%3").arg(id).arg(variant.modelCode, variant.bankExtension);
}

int BackupAll(const CliOptions& options) {
    if (const int status = CheckAllOptions(options)) {
        return status;
    }
    if (const int status = NoOperands(options)) {
        return status;
    }
    if (options.output.isEmpty()) {
        return UsageError(options.command, QStringLiteral("no output folder given (-o DIR)"));
    }
    if (!QDir().mkpath(options.output)) {
        return Failure(QStringLiteral("cannot make the folder %1").arg(options.output));
    }
    LineDevices devices;
    if (!FindDevices(options, devices)) {
        return kFailure;
    }
    const auto known = [](const WalkItem& item) {
        if (item.variant == nullptr) {
            Failure(QStringLiteral("device %1 reports an unknown model (type %2); skipped")
                        .arg(item.id)
                        .arg(item.type));
            return false;
        }
        return true;
    };
    return WalkDevices(
        options, ItemsOf(devices), QStringLiteral("reading programs 1..30"), "backed up", known,
        [&](const WalkItem& item, DeviceSession& session) {
            bool complete = false;
            QObject::connect(&session.Link(), &PanelLink::bankCompleted, [&] { complete = true; });
            if (!session.Open() ||
                !session.RunTransfer([&] { return session.Link().StoreAllToPC(); },
                                     QStringLiteral("reading programs 1..30"))) {
                Failure(session.Error());
                return false;
            }
            if (!complete) {
                Failure(QStringLiteral("device %1: program 30 did not arrive; no bank file written")
                            .arg(item.id));
                return false;
            }
            const QString path =
                QDir(options.output).filePath(AllBankFileName(item.id, *item.variant));
            const FileResult saved = StoreAllToPC(session.Document(), path.toStdString());
            if (!saved) {
                Failure(FileFailure(saved));
                return false;
            }
            std::cout << saved.path << std::endl;
            return true;
        });
}

int RestoreAll(const CliOptions& options) {
    if (const int status = CheckAllOptions(options)) {
        return status;
    }
    if (options.operands.size() != 1) {
        return UsageError(options.command, QStringLiteral("give exactly one folder"));
    }
    const QDir dir(options.operands.front());
    if (!dir.exists()) {
        return Failure(QStringLiteral("no such folder: %1").arg(dir.path()));
    }
    std::vector<std::pair<BankName, QString>> files;
    for (const QString& fileName : dir.entryList(QDir::Files, QDir::Name)) {
        BankName name;
        if (ParseBankName(fileName, name)) {
            files.emplace_back(name, dir.filePath(fileName));
        }
    }
    if (files.empty()) {
        return Failure(
            QStringLiteral("no bank files named ID-MODEL.datNN in %1 (see sonvex-cli backup --all)")
                .arg(dir.path()));
    }
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return a.first.id < b.first.id; });
    LineDevices devices;
    if (!FindDevices(options, devices)) {
        return kFailure;
    }
    std::vector<WalkItem> items;
    for (const auto& [name, path] : files) {
        items.push_back({name.id, name.variant->deviceType, name.variant, path});
    }
    const auto present = [&](const WalkItem& item) {
        const auto found = devices.find(item.id);
        if (found == devices.end()) {
            Failure(QStringLiteral("%1: no device with ID %2 answered; not restored")
                        .arg(item.path)
                        .arg(item.id));
            return false;
        }
        if (found->second != item.type) {
            const Variant* actual = Variant::ForDeviceType(found->second);
            Failure(QStringLiteral("%1: device %2 is %3, the file is for %4; not restored")
                        .arg(item.path)
                        .arg(item.id)
                        .arg(actual != nullptr ? "a " + Describe(*actual)
                                               : QStringLiteral("of an unknown model"),
                             "a " + Describe(*item.variant)));
            return false;
        }
        return true;
    };
    return WalkDevices(
        options, items, QStringLiteral("writing programs 1..30"), "restored", present,
        [&](const WalkItem& item, DeviceSession& session) {
            const FileResult loaded = RecallAllFromPC(session.Document(), item.path.toStdString());
            if (!loaded) {
                Failure(FileFailure(loaded));
                return false;
            }
            const CZorvanDoc::StoredPrograms written = session.Document().GetStoredPrograms();
            if (!session.Open() ||
                !session.RunTransfer([&] { return session.Link().RecallAllFromPC(); },
                                     QStringLiteral("writing programs 1..30"))) {
                Failure(session.Error());
                return false;
            }
            return !options.verify ||
                   Verification::CheckBank(session, written, item.path) == kSuccess;
        });
}

int InfoAll(const CliOptions& options) {
    if (const int status = CheckAllOptions(options)) {
        return status;
    }
    if (const int status = NoOperands(options)) {
        return status;
    }
    LineDevices devices;
    if (!FindDevices(options, devices)) {
        return kFailure;
    }
    const auto known = [](const WalkItem& item) {
        if (item.variant == nullptr) {
            std::cout << "id " << item.id << ": unknown model (type " << item.type << ")\n";
            return false;
        }
        return true;
    };
    bool first = true;
    return WalkDevices(options, ItemsOf(devices), QStringLiteral("reading"), "read", known,
                       [&](const WalkItem& item, DeviceSession& session) {
                           if (!session.Open()) {
                               Failure(session.Error());
                               return false;
                           }
                           std::cout << (first ? "" : "\n") << "id " << item.id << ": "
                                     << Describe(*item.variant).toStdString() << '\n';
                           first = false;
                           for (int k = 0; k < PanelLink::kProgramNameCount; ++k) {
                               std::cout << "  program " << k << ": "
                                         << session.Link().GetProgramName(k).trimmed().toStdString()
                                         << '\n';
                           }
                           std::cout.flush();
                           return true;
                       });
}

} // namespace Commands
