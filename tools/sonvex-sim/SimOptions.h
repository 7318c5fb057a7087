#pragma once

#include "sim/SimFaults.h"

#include <string>
#include <vector>

// Command line of sonvex-sim.
struct SimOptions {
    struct DeviceOption {
        int id = 1;
        int type = 1;
    };

    std::vector<DeviceOption> devices; // at least one after parsing
    std::string linkPath;              // symbolic link to the pty, or empty
    std::string tcpAddress;            // also serve raw TCP on ADDRESS:PORT, or empty
    bool fast = false;                 // answer at once instead of at 9600 baud
    std::string stateDir;              // keep each device's memory here, or empty
    std::string logPath;               // frame log file, or empty
    bool verbose = false;              // frame log on stderr
    bool sendIdentification = false;
    std::string identification; // identification text to send, or empty for the usual
    std::string typeCode;       // type code to send with it, or empty for the model's own
    bool wrongType = false;
    SimFaults faults;
    bool help = false;
    bool version = false;
};

// Parses argv; on a bad command line returns false with a message in error.
bool ParseSimOptions(int argc, char** argv, SimOptions& options, std::string& error);
std::string SimUsage();
