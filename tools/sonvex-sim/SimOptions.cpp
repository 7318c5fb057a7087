#include "SimOptions.h"

#include <cstdlib>
#include <set>

namespace {

bool ParseInt(const std::string& text, int low, int high, int& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || number < low || number > high) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

bool ParseDevice(const std::string& text, SimOptions::DeviceOption& device) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        return ParseInt(text, 1, 250, device.id);
    }
    return ParseInt(text.substr(0, colon), 1, 250, device.id) &&
           ParseInt(text.substr(colon + 1), 1, 3, device.type);
}

} // namespace

std::string SimUsage() {
    return R"(Usage: sonvex-sim [options]

Simulates one or more loudspeaker processors on a pseudo-terminal. Prints the
path of the terminal, then answers the frames written to it until stopped with
Ctrl-C (SIGINT) or SIGTERM.

Options:

Line:
  --device ID:TYPE   put a device on the line (repeatable). ID 1..250, TYPE 1
                     (4 in/8 out), 2 (3 in/6 out) or 3 (2 in/4 out). Default:
                     one device 1:1. A plain ID means type 1. Devices given
                     one ID all answer at once and their answers collide.
  --link PATH        also make a symbolic link PATH to the terminal (removed
                     on exit); an existing symbolic link is replaced
  --tcp ADDRESS:PORT serve the same devices over raw TCP as well, one
                     connection at a time, as a serial device server does
                     (port 0: a free one); the address is printed as a
                     second line "tcp://ADDRESS:PORT" on standard output
  --fast             answer at once (default: paced like a 9600 baud 8N1 line
                     in both directions, about 1.04 ms per byte: a frame is
                     answered after a short turnaround once its bytes would have
                     come in, and the answer takes its time too)
  --state DIR        keep each device's programs and settings in
                     DIR/device-ID.state between runs (ID as given by --device)
  --send-identification
                     also send the identification item (0x19) after the
                     first identity probe each device answers
  --identification TEXT
                     the identification text the devices send (default
                     ZQ_P_V1.0; up to 9 characters)
  --type-code TEXT   the type code the devices send with it (default: their
                     model's, Loxu, Kefa or Hoxa; up to 4 characters)

Logging:
  --log FILE         append every frame in and out to FILE: time, direction,
                     hex bytes and decoded header
  -v, --verbose      the same on stderr

Faults (every Nth counts the answers of the whole line from 1):
  --silent           answer nothing
  --drop-every N     leave out every Nth answer
  --corrupt-checksum-every N
                     send every Nth answer with a wrong checksum
  --corrupt-end-every N
                     send every Nth answer with a wrong end byte
  --noise N          send N random bytes (never 0xFF or 0xB1) a few
                     milliseconds after every answer
  --late MS          delay every answer by MS milliseconds
  --split N          send answers in pieces of N bytes, 2 ms apart
  --double-ack       send every Ack twice, the second 30 ms later
  --double-reply     send every data reply twice, the second 30 ms later
  --forget-every N   acknowledge every Nth write (counted over the line from
                     1) as usual but keep nothing of it
  --wrong-type       report another device type in identity answers

Other:
  -h, --help         show this text
  --version          show the version
)";
}

bool ParseSimOptions(int argc, char** argv, SimOptions& options, std::string& error) {
    options = SimOptions{};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        const auto count = [&](int low, int high, int& out) {
            std::string text;
            if (!value(text)) {
                return false;
            }
            if (!ParseInt(text, low, high, out)) {
                error = arg + ": '" + text + "' is not a number in " + std::to_string(low) + ".." +
                        std::to_string(high);
                return false;
            }
            return true;
        };
        bool ok = true;
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--device") {
            std::string text;
            SimOptions::DeviceOption device;
            ok = value(text);
            if (ok && !ParseDevice(text, device)) {
                error = "--device: '" + text + "' is not ID:TYPE with ID 1..250 and TYPE 1..3";
                ok = false;
            }
            if (ok) {
                options.devices.push_back(device);
            }
        } else if (arg == "--link") {
            ok = value(options.linkPath);
        } else if (arg == "--tcp") {
            ok = value(options.tcpAddress);
        } else if (arg == "--fast") {
            options.fast = true;
        } else if (arg == "--state") {
            ok = value(options.stateDir);
        } else if (arg == "--log") {
            ok = value(options.logPath);
        } else if (arg == "-v" || arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--send-identification") {
            options.sendIdentification = true;
        } else if (arg == "--silent") {
            options.faults.silent = true;
        } else if (arg == "--drop-every") {
            ok = count(1, 1000000, options.faults.dropEvery);
        } else if (arg == "--corrupt-checksum-every") {
            ok = count(1, 1000000, options.faults.corruptChecksumEvery);
        } else if (arg == "--corrupt-end-every") {
            ok = count(1, 1000000, options.faults.corruptEndEvery);
        } else if (arg == "--noise") {
            ok = count(1, 4096, options.faults.noiseBytes);
        } else if (arg == "--late") {
            ok = count(0, 60000, options.faults.lateMs);
        } else if (arg == "--split") {
            ok = count(1, 4096, options.faults.splitSize);
        } else if (arg == "--double-ack") {
            options.faults.doubleAck = true;
        } else if (arg == "--double-reply") {
            options.faults.doubleReply = true;
        } else if (arg == "--forget-every") {
            ok = count(1, 1000000, options.faults.forgetEvery);
        } else if (arg == "--identification") {
            ok = value(options.identification);
            if (ok && options.identification.size() > 9) {
                error = "--identification: at most 9 characters";
                ok = false;
            }
        } else if (arg == "--type-code") {
            ok = value(options.typeCode);
            if (ok && options.typeCode.size() > 4) {
                error = "--type-code: at most 4 characters";
                ok = false;
            }
        } else if (arg == "--wrong-type") {
            options.wrongType = true;
        } else {
            error = (arg.size() > 1 && arg[0] == '-' ? "unknown option " + arg
                                                     : "unexpected argument '" + arg + "'") +
                    " (see sonvex-sim --help)";
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    if (options.devices.empty()) {
        options.devices.push_back(SimOptions::DeviceOption{});
    }
    // Devices may share an ID (their answers collide on the line), but not a state file.
    std::set<int> ids;
    for (const auto& device : options.devices) {
        if (!ids.insert(device.id).second && !options.stateDir.empty()) {
            error = "--device: ID " + std::to_string(device.id) +
                    " is given twice, which --state cannot keep apart";
            return false;
        }
    }
    return true;
}
