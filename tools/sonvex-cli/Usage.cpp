#include "Usage.h"

#include "CliOptions.h"
#include "Commands.h"

#include <vector>

namespace {

const QStringList kDeviceOptions{"port", "id", "model", "verbose", "tick", "fast"};

// One row of the command table: what runs the command and what its help says. The table
// feeds the dispatch, the option check and the help alike, in the order the help lists them.
struct CommandEntry {
    QString name;
    int (*run)(const CliOptions&);
    QStringList options;
    QString synopsis;
    QString summary; // one line for the overview
    QString details;
};

const std::vector<CommandEntry>& Table() {
    static const std::vector<CommandEntry> table{
        {"ports",
         Commands::Ports,
         {},
         "sonvex-cli ports",
         "list the serial ports of this computer",
         "Lists every serial port the system reports, one per line: the name to give to\n"
         "--port, its description, whether it is a USB adapter (\"usb\" or \"-\") and its\n"
         "stable name, the /dev/serial/by-id/... link that stays the same whichever USB\n"
         "socket the adapter is in (\"-\" when there is none); --port takes either name.\n"
         "Pseudo-terminals are not listed; give their path to --port directly.\n"
         "Example: sonvex-cli ports\n"},
        {"doctor",
         Commands::Doctor,
         {"port"},
         "sonvex-cli doctor --port PORT",
         "find what keeps a line from working, and say what to do",
         "Checks what stands between this user and a working line and prints one line per\n"
         "finding with what to do: the port missing, no permission to use it (and which\n"
         "group to join), another program holding it, brltty installed and claiming USB\n"
         "serial adapters, ModemManager probing the port, an FTDI adapter's latency timer\n"
         "above 1 ms (it holds back every answer), and for a tcp:// or rfc2217:// port a\n"
         "gateway that does not answer. Exits with 0 when nothing was found, 1 otherwise.\n"
         "Example: sonvex-cli doctor --port /dev/ttyUSB0\n"},
        {"search",
         Commands::Search,
         {"port", "model", "verbose", "tick", "fast"},
         "sonvex-cli search --port PORT [--model M]",
         "find the devices on a line (IDs 1..250)",
         "Probes every device ID from 1 to 250 on the line and prints each ID that\n"
         "answered with the chosen model on its own line, ascending. Exits with 1 when\n"
         "no device answered. With --fast each ID is given only the time its answer needs\n"
         "on the line (about 45 ms; the whole line in about 11 s instead of 37 s); an answer\n"
         "that comes later still counts. Answers that collide, as when two devices share an\n"
         "ID, are reported on stderr as \"ID N: more than one device answers?\".\n"
         "Example: sonvex-cli search --port /dev/ttyUSB0 --fast\n"},
        {"info", Commands::Info, kDeviceOptions + QStringList{"all"},
         "sonvex-cli info --port PORT [--id N] [--model M] | --all",
         "show a device's program names and settings",
         "Connects to the device (checking that it is the chosen model) and prints what it\n"
         "reports as \"key: value\" lines: port, ID, model, input source, backlight,\n"
         "temperature, the interface texts and the names of the live program (0) and the\n"
         "thirty stored programs (1..30).\n"
         "With --all it searches the line first and lists every device found, of every\n"
         "model: \"id N: MODEL\" and its program names, devices apart by an empty line.\n"
         "Example: sonvex-cli info --port /dev/ttyUSB0 --id 3\n"},
        {"pull", Commands::Pull, kDeviceOptions + QStringList{"slot", "output"},
         "sonvex-cli pull --port PORT [--id N] [--model M] [--slot K] -o FILE",
         "read one program from a device into a program file",
         "Reads program K of the device (0 = the live program, the default; 1..30 the stored\n"
         "programs) and saves it as a one-program file. The model's extension (.dia48,\n"
         ".dia36 or .dia24) is appended when FILE does not carry it.\n"
         "Example: sonvex-cli pull --port /dev/ttyUSB0 --slot 5 -o show\n"},
        {"push", Commands::Push, kDeviceOptions + QStringList{"slot", "verify"},
         "sonvex-cli push FILE --port PORT [--id N] [--model M] [--slot K] [--verify]",
         "write a program file to one program of a device",
         "Writes a one-program file to program K of the device (0 = the live program, the\n"
         "default; 1..30 the stored programs). The live program is written with inputs A\n"
         "and B muted while the outputs change; they get their own state back afterwards.\n"
         "With --verify the program is read back once written and compared with the file\n"
         "as diff compares (see sonvex-cli diff --help): every parameter the device did not\n"
         "keep is printed on its own line, \"out3.gain: -3.0 != 0.0\" (the file's value\n"
         "first, \"P7 \" in front for stored program 7), and the exit status is 1.\n"
         "Example: sonvex-cli push show.dia48 --port /dev/ttyUSB0 --verify\n"},
        {"backup", Commands::Backup, kDeviceOptions + QStringList{"output", "all"},
         "sonvex-cli backup --port PORT [--id N] [--model M] -o FILE | --all -o DIR",
         "read all 30 stored programs into a bank file",
         "Reads the thirty stored programs of the device and saves them as a bank file\n"
         "(\".dat\" is appended when FILE does not contain it).\n"
         "With --all it searches the line and backs up every device found, of every model,\n"
         "into DIR/ID-MODEL.datNN (e.g. DIR/3-Fosk.dat48; DIR is made when missing),\n"
         "printing each file written; progress per device goes to stderr. Exits with 1\n"
         "when a device could not be backed up.\n"
         "Example: sonvex-cli backup --port /dev/ttyUSB0 -o venue.dat48\n"},
        {"restore", Commands::Restore, kDeviceOptions + QStringList{"verify", "all"},
         "sonvex-cli restore FILE --port PORT [--id N] [--model M] [--verify] | --all DIR",
         "write all 30 programs of a bank file to a device",
         "Writes the thirty programs of a bank file to the device's stored programs 1..30.\n"
         "The live program is not changed. With --verify the thirty programs are read back\n"
         "once written and compared with the file as diff compares: every parameter the\n"
         "device did not keep is printed on its own line with its program in front,\n"
         "\"P12 out3.gain: -3.0 != 0.0\" (the file's value first), and the exit status is 1.\n"
         "With --all DIR it writes every DIR/ID-MODEL.datNN (as backup --all names them)\n"
         "to the device with that ID, without asking; a device of another model than the\n"
         "file's, or an ID nobody answers to, is refused with a line on stderr and the\n"
         "exit status 1.\n"
         "Example: sonvex-cli restore venue.dat48 --port /dev/ttyUSB0\n"},
        {"set-id", Commands::SetId, kDeviceOptions + QStringList{"new-id"},
         "sonvex-cli set-id --port PORT [--id N] [--model M] --new-id K",
         "give a device another ID",
         "Connects to the device with ID N and gives it the ID K (1..250). Make sure no\n"
         "other device on the line already uses K.\n"
         "Example: sonvex-cli set-id --port /dev/ttyUSB0 --id 1 --new-id 12\n"},
        {"set", Commands::Set, kDeviceOptions,
         "sonvex-cli set PARAM=VALUE... --port PORT [--id N] [--model M]",
         "change parameters of the live program",
         "Changes parameters of the device's live program and returns when the device has\n"
         "acknowledged every change. Values are typed as in the editors; a value outside\n"
         "its range is refused with \"Out of Range\" and the valid range, and then nothing\n"
         "is sent at all. So is a command that would leave a state no editor can make\n"
         "(a low shelf above 20000 Hz, a high-pass above the low-pass, a limiter with\n"
         "automatic timing, a band at 0.0 dB switched on; on the 3x6 and 2x4 an output\n"
         "without source or a gate switched off): the message names the rule. The state\n"
         "the whole command leaves counts, not the order of its assignments.\n"
         "\n"
         "Channels CH: in1..in4 and out1..out8, as far as the model has them; K is the\n"
         "number of an EQ band. Parameters:\n"
         "  CH.gain=DB                   CH.mute=on|off\n"
         "  CH.polarity=normal|invert    CH.name=TEXT (8 characters)\n"
         "  CH.delay=MS|Nm|Nft           (milliseconds, or metres or feet)\n"
         "  inN.gate=DBU|off             outN.source=A+C (the inputs, or none)\n"
         "  CH.eqK.type=PEQ|LoShelf|HiShelf\n"
         "  CH.eqK.freq=HZ               CH.eqK.gain=DB\n"
         "  CH.eqK.q=Q                   CH.eqK.bw=OCTAVES\n"
         "  CH.eqK.on=on|off             CH.eqK.slope=6|12 (shelves)\n"
         "  outN.hpf.freq=HZ             outN.hpf.type=L_R|Bessel|BTWorth\n"
         "  outN.hpf.slope=12|18|24|48   (the same for outN.lpf)\n"
         "  outN.limiter.threshold=DBU   outN.limiter.attack=MS\n"
         "  outN.limiter.release=2X..32X outN.limiter.clip=2.0..12.0\n"
         "  outN.limiter.ratio=1:1..1:64|1:maximum\n"
         "  outN.limiter.mode=limit|compressor\n"
         "  outN.limiter.timing=manual|auto\n"
         "Example: sonvex-cli set out1.gain=-3 out1.eq2.freq=250 --port ttyUSB0\n"},
        {"table", Commands::Table, kDeviceOptions + QStringList{"csv"},
         "sonvex-cli table FILE [--model M] [--csv]\n"
         "   or: sonvex-cli table --port PORT [--id N] [--model M] [--csv]",
         "print the parameter table of a program file or of a device",
         "Prints every parameter of a one-program file, or of the device's live program,\n"
         "as the data view shows it: one row per parameter, one column per channel.\n"
         "Aligned text by default; --csv gives RFC 4180 CSV whose first row holds the\n"
         "column headers (the first header is the program name).\n"
         "Example: sonvex-cli table show.dia36 --model 3x6 --csv > show.csv\n"},
        {"diff", Commands::Diff, kDeviceOptions,
         "sonvex-cli diff FILE FILE [--model M]\n"
         "   or: sonvex-cli diff FILE --port PORT [--id N] [--model M]",
         "show the parameters in which two programs differ",
         "Compares two one-program files of the model, or a file with the device's live\n"
         "program, and prints one line per parameter that differs: its name as set takes it\n"
         "and both values, the first program's first, e.g. \"out3.gain: -3.0 != 0.0\". Two\n"
         "bank files are compared program by program, with the program in front (\"P12 \").\n"
         "Prints nothing and exits with 0 when the programs are the same, exits with 1 when\n"
         "they differ and with 2 on any trouble (the reason on stderr).\n"
         "\n"
         "Compared are the channel parameters that set can change, with the values they\n"
         "have in the program's state, as the parameter table shows them. A parameter\n"
         "that does not matter in the state of either program is left out; the one that\n"
         "makes the state shows the difference:\n"
         "  inN.gate            \"off\", or the threshold of a gate that is on\n"
         "  CH.eqK.gain         only of a band that is on (CH.eqK.on)\n"
         "  CH.eqK.bw           only of a peaking band; CH.eqK.slope only of a shelf\n"
         "  outN.limiter.attack, .release  not under automatic timing\n"
         "  outN.limiter.clip, .ratio, .timing  only in compressor mode\n"
         "The program's name and the device-wide settings (input source, backlight,\n"
         "temperature) are not compared.\n"
         "Example: sonvex-cli diff show.dia48 --port /dev/ttyUSB0\n"},
        {"curve",
         Commands::Curve,
         {"model", "channel", "phase", "group-delay", "sum", "measurement"},
         "sonvex-cli curve FILE --channel CH [--model M] [--phase] [--group-delay]\n"
         "                 [--measurement OUT=FILE]...\n"
         "   or: sonvex-cli curve FILE --sum OUT,OUT[,...] [--model M] [--phase] [--group-delay]\n"
         "                 [--measurement OUT=FILE]...",
         "print the response curve of one channel or the sum of outputs",
         "Prints the summed response of the channel's filters (inputs: the EQ bands; outputs:\n"
         "the EQ bands and the crossover), without the channel gain, at the 241 plot\n"
         "frequencies: the frequency in Hz with one decimal, a tab, the level in dB with\n"
         "four decimals. CH is in1..in4 or out1..out8.\n"
         "With --phase, --group-delay, --sum or --measurement it prints the complex response\n"
         "instead: the filters with the channel's gain, polarity and delay.\n"
         "  --phase            adds a column: the phase in degrees, above -180 up to 180\n"
         "  --group-delay      adds a column: the group delay in ms (nan where the level is\n"
         "                     -inf, an exact null)\n"
         "  --sum out1,out2    the complex sum of these outputs, as a loudspeaker made of them\n"
         "                     adds up in the air (muted outputs add nothing)\n"
         "  --measurement OUT=FILE  the measured driver that output OUT feeds (repeatable): a\n"
         "                     text file of frequency (Hz), level (dB) and optionally phase\n"
         "                     (degrees), separated by blanks, tabs, commas or semicolons,\n"
         "                     with comment lines starting with * or #, frequencies rising\n"
         "                     (text exports of measurement programs, FRD files). The output\n"
         "                     then shows measurement times filters; outside the measured\n"
         "                     range the measurement's end values are held. Drivers kept\n"
         "                     in the side file FILE.drivers ([outN] before each output's\n"
         "                     lines) are used too; --measurement takes their place.\n"
         "Example: sonvex-cli curve show.dia48 --channel out2 > out2.tsv\n"
         "         sonvex-cli curve show.dia48 --sum out1,out2 --phase --measurement "
         "out2=tweeter.frd\n"},
        {"import-eq", Commands::ImportEq,
         kDeviceOptions + QStringList{"channel", "from", "preamp", "output"},
         "sonvex-cli import-eq FILE --channel CH --from TEXT [--model M] [--preamp] -o OUT\n"
         "   or: sonvex-cli import-eq --port PORT [--id N] [--model M] --channel CH --from TEXT\n"
         "                 [--preamp]",
         "put a REW or Equalizer APO filter list onto a channel's EQ",
         "Reads the filter list TEXT, a Room EQ Wizard filter settings file (File > Export >\n"
         "Export filter settings as text, equaliser \"Generic\") or Equalizer APO lines\n"
         "(\"Filter: ON PK Fc 50 Hz Gain -3.0 dB Q 10.00\"), and puts its filters, in order,\n"
         "onto the EQ bands of channel CH: peaking filters become PEQ bands at the nearest\n"
         "bandwidth step, shelves LoShelf or HiShelf with the slope their name gives, unused\n"
         "or switched-off filters bands that are off; bands no filter reaches are switched\n"
         "off. Frequencies go to whole Hz and gains to 0.1 dB within the bands' ranges, a low\n"
         "shelf stops at 20000 Hz. Every approximation and every filter a band cannot take\n"
         "(high-pass, low-pass, notch, all-pass, modal, more filters than bands) is one line\n"
         "on stderr. --preamp adds the list's preamp to the channel gain.\n"
         "With a program FILE the result is written to the program file OUT; with --port it\n"
         "goes to the device's live program. Exits with 1 when nothing could be imported.\n"
         "Example: sonvex-cli import-eq show.dia48 --channel out1 --from room.txt -o eq\n"},
        {"export-eq",
         Commands::ExportEq,
         {"model", "channel", "format"},
         "sonvex-cli export-eq FILE --channel CH [--model M] [--format rew|apo]",
         "print a channel's EQ as a REW or Equalizer APO filter list",
         "Prints the EQ bands of channel CH of a program file, one line per band in band\n"
         "order, as a Room EQ Wizard filter settings file (rew, the default; REW imports it\n"
         "as equaliser \"Generic\") or as Equalizer APO lines (apo). A band that is off is\n"
         "written as OFF, shelves carry their slope, Q has three decimals; import-eq reads\n"
         "the list back to the very same bands.\n"
         "Example: sonvex-cli export-eq show.dia48 --channel out1 > out1-eq.txt\n"},
        {"export",
         Commands::Export,
         {"model", "output"},
         "sonvex-cli export FILE [--model M] -o OUT.json",
         "write a program or bank file as a JSON text preset",
         "Writes a one-program file or a bank file as JSON for people and for version\n"
         "control: keys in a fixed order, one parameter a line, every value in the panel's\n"
         "unit with the device's index beside it, channels and bands named as set names\n"
         "them. import turns it back into the very same file. The format is described in\n"
         "docs/presets-format.md.\n"
         "Example: sonvex-cli export venue.dat48 -o venue.json\n"},
        {"import",
         Commands::Import,
         {"model", "output"},
         "sonvex-cli import IN.json [--model M] -o OUT",
         "write a JSON text preset back as a program or bank file",
         "Reads a preset written by export, checks every value against the model's ranges\n"
         "and editing rules (the first fault is named with its line) and writes the program\n"
         "file (the model's extension is appended when OUT lacks it) or the bank file\n"
         "(\".dat\" is appended). The preset names its model; --model must agree with it.\n"
         "Example: sonvex-cli import venue.json -o venue.dat48\n"},
    };
    return table;
}

const CommandEntry* Find(const QString& command) {
    for (const CommandEntry& entry : Table()) {
        if (entry.name == command) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

namespace Usage {

QStringList Commands() {
    QStringList commands;
    for (const CommandEntry& entry : Table()) {
        commands.append(entry.name);
    }
    return commands;
}

bool IsCommand(const QString& command) {
    return Find(command) != nullptr;
}

QStringList OptionsOf(const QString& command) {
    const CommandEntry* entry = Find(command);
    return entry != nullptr ? entry->options : QStringList();
}

bool IsDeviceCommand(const QString& command) {
    return OptionsOf(command).contains(QStringLiteral("port"));
}

int Run(const CliOptions& options) {
    const CommandEntry* entry = Find(options.command);
    if (entry == nullptr) {
        return Commands::Failure(QStringLiteral("unknown command '%1'").arg(options.command));
    }
    return entry->run(options);
}

QString General() {
    QString text = QStringLiteral(
        "Usage: sonvex-cli COMMAND [options]\n\n"
        "Controls Sonvex loudspeaker processors on a serial line without the graphical\n"
        "program: back up and restore programs, change parameters, script installations.\n\n"
        "Commands:\n");
    for (const CommandEntry& entry : Table()) {
        text += QStringLiteral("  %1 %2\n").arg(entry.name, -9).arg(entry.summary);
    }
    text += QStringLiteral(
        "\nOptions:\n"
        "  --port NAME|PATH  the serial port (see \"sonvex-cli ports\"), e.g. ttyUSB0 or a path,\n"
        "                    or one on the network: tcp://HOST:PORT or rfc2217://HOST:PORT\n"
        "  --id N            device ID 1..250 (default 1)\n"
        "  --model M         4x8, 3x6 or 2x4, or the model code Fosk, Wupa or Jexo (default 4x8);\n"
        "                    also tells the file commands which kind of file they read\n"
        "  -v, --verbose     trace every frame sent (>) and received (<) on stderr\n"
        "  --tick MS         service tick period (default 100 ms; 30 ms for the ID search);\n"
        "                    shorter ticks only suit fast lines such as the simulator; a\n"
        "                    device still has 2 s to answer (given up after 4 s)\n"
        "  --fast            fast transfers: send the next record as soon as the device has\n"
        "                    answered the previous one instead of at the next tick (still one\n"
        "                    record at a time, same time-outs); backups and restores take\n"
        "                    about a third less time\n"
        "  --all             backup, restore, info: every device on the line, of every model\n"
        "  -h, --help        this text; \"sonvex-cli COMMAND --help\" explains one command\n"
        "  --version         the version of sonvex-cli\n"
        "The commands that talk to a device take --port, --id, --model, -v, --tick and --fast;\n"
        "\"sonvex-cli COMMAND --help\" lists what each command takes.\n\n"
        "Exit status: 0 on success, 1 when the operation failed (the reason is printed on\n"
        "stderr in one line; when the port exists but may not be opened, the lines after it\n"
        "say why and what to do), 2 for a wrong command line. diff exits with 1 when the\n"
        "programs differ and with 2 on any trouble. Transfers show their progress on stderr\n"
        "when it is a terminal.\n");
    return text;
}

QString OfCommand(const QString& command) {
    const CommandEntry* entry = Find(command);
    if (entry == nullptr) {
        return General();
    }
    const CommandEntry& help = *entry;
    return QStringLiteral("Usage: %1\n\n%2.\n\n%3")
               .arg(help.synopsis, help.summary.left(1).toUpper() + help.summary.mid(1),
                    help.details) +
           (help.options.contains(QStringLiteral("port"))
                ? QStringLiteral("\nCommon device options: see \"sonvex-cli --help\".\n")
                : QString());
}

} // namespace Usage
