#pragma once

#include <QString>
#include <QStringList>

struct Variant;

// The command line of sonvex-cli: a command, its options and its operands.
struct CliOptions {
    QString command;      // "ports", "search", ... ; empty: none given
    QStringList operands; // what follows the command that is not an option
    QString port;
    int deviceId = 1;
    const Variant* variant = nullptr; // never null after a successful parse
    int slot = 0;
    QString output;
    int newId = 0; // 0: not given
    bool csv = false;
    QString channel;
    // curve: the complex response (phase, group delay, the sum of outputs, measured drivers)
    bool phase = false;
    bool groupDelay = false;
    QString sum;              // --sum out1,out2
    QStringList measurements; // --measurement CH=FILE, as given, in order
    // import-eq / export-eq: the filter list file, whether its preamp goes into the channel
    // gain, and the text format written ("rew" or "apo")
    QString from;
    bool preamp = false;
    QString format;
    bool verbose = false;
    int tickMs = 0;      // 0: the device-control defaults
    bool fast = false;   // fast transfers: the next record as soon as the answer arrived
    bool verify = false; // push, restore: read back what was written and compare
    bool all = false;    // backup, restore, info: every device on the line
    bool help = false;
    bool version = false; // --version: print it and nothing else
    QStringList given;    // long names of the options that were given
};

// Parses arguments (without the program name). False with a one-line message in error for an
// unknown option, a malformed value or an option the command does not take.
bool ParseCliOptions(const QStringList& arguments, CliOptions& options, QString& error);

// The variant for "4x8", "3x6", "2x4" or a model code ("Fosk", "Wupa", "Jexo"), any case;
// nullptr for anything else.
const Variant* VariantFromName(const QString& name);
// "4x8", "3x6", "2x4"
QString VariantName(const Variant& variant);
