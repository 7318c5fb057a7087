// sonvex-sim: simulated loudspeaker processors on a pseudo-terminal (and, with --tcp, a raw TCP
// port), for trying the control program and running its tests without hardware.
#include "FrameLog.h"
#include "Pty.h"
#include "SimOptions.h"
#include "SimServer.h"
#include "TcpListener.h"
#include "sim/SimLine.h"

#include "SonvexVersion.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/stat.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
    g_stop = 1;
}

void InstallSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: poll returns and the loop sees the flag
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

// Loads each device's memory from DIR/device-ID.state when the file exists.
bool PrepareState(const std::string& dir, const SimOptions& options, SimLine& line,
                  std::vector<std::string>& files) {
    if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
        std::cerr << "sonvex-sim: cannot create " << dir << ": " << std::strerror(errno) << '\n';
        return false;
    }
    for (std::size_t i = 0; i < options.devices.size(); ++i) {
        const std::string path =
            dir + "/device-" + std::to_string(options.devices[i].id) + ".state";
        files.push_back(path);
        std::ifstream in(path);
        if (!in) {
            continue;
        }
        std::ostringstream text;
        text << in.rdbuf();
        SimDevice& device = line.Device(i);
        if (!device.LoadState(text.str())) {
            std::cerr << "sonvex-sim: " << path
                      << " does not hold the memory of this device type; starting fresh\n";
        } else if (device.GetId() != options.devices[i].id) {
            std::cerr << "sonvex-sim: device " << options.devices[i].id << " kept its new ID "
                      << device.GetId() << " from " << path << '\n';
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(argc, argv, options, error)) {
        std::cerr << "sonvex-sim: " << error << '\n';
        return 2;
    }
    if (options.help) {
        std::cout << SimUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "sonvex-sim " << kSonvexVersion << '\n';
        return 0;
    }

    SimLine line;
    line.SetForgetEvery(options.faults.forgetEvery);
    for (const SimOptions::DeviceOption& wanted : options.devices) {
        SimDevice& device = line.Add(wanted.id, wanted.type);
        device.SetSendIdentification(options.sendIdentification);
        if (!options.identification.empty()) {
            device.SetIdentification(options.identification);
        }
        if (!options.typeCode.empty()) {
            device.SetTypeCode(options.typeCode);
        }
        if (options.wrongType) {
            device.SetReportedType(wanted.type % 3 + 1);
        }
    }
    std::vector<std::string> stateFiles;
    if (!options.stateDir.empty() && !PrepareState(options.stateDir, options, line, stateFiles)) {
        return 1;
    }

    FrameLog log;
    log.SetVerbose(options.verbose);
    if (!options.logPath.empty() && !log.OpenFile(options.logPath, error)) {
        std::cerr << "sonvex-sim: " << error << '\n';
        return 1;
    }

    InstallSignals();
    Pty pty;
    if (!pty.Open(error)) {
        std::cerr << "sonvex-sim: " << error << '\n';
        return 1;
    }
    if (!options.linkPath.empty() && !pty.Link(options.linkPath, error)) {
        std::cerr << "sonvex-sim: " << error << '\n';
        return 1;
    }

    TcpListener listener;
    if (!options.tcpAddress.empty() && !listener.Listen(options.tcpAddress, error)) {
        std::cerr << "sonvex-sim: " << error << '\n';
        return 1;
    }

    std::cout << pty.SlavePath() << std::endl;
    if (!options.tcpAddress.empty()) {
        std::cout << "tcp://" << listener.Address() << std::endl;
    }
    std::cerr << "sonvex-sim: " << line.DeviceCount() << " device(s) on " << pty.SlavePath();
    if (!options.linkPath.empty()) {
        std::cerr << " (link " << options.linkPath << ")";
    }
    if (!options.tcpAddress.empty()) {
        std::cerr << " and tcp://" << listener.Address();
    }
    std::cerr << (options.fast ? ", fast" : ", 9600 baud") << '\n';
    for (std::size_t i = 0; i < line.DeviceCount(); ++i) {
        const SimDevice& device = line.Device(i);
        log.Note("device " + std::to_string(device.GetId()) + " type " +
                 std::to_string(device.GetType()) + " (" + device.GetTypeCode() + ")");
    }

    SimServer server(line, options, log);
    server.SetStateFiles(stateFiles);
    server.SetListener(listener.Fd());
    const int result = server.Run(pty.MasterFd(), g_stop);
    if (!server.SaveStates()) {
        return 1;
    }
    pty.Unlink();
    log.Note("stopped");
    return result;
}
