// tempikctl: the reader operations of the configuration window from a shell.
#include "app/ctl/ctl_all.h"
#include "app/ctl/ctl_apply.h"
#include "app/ctl/ctl_commands.h"
#include "app/ctl/ctl_console.h"
#include "app/ctl/ctl_dry_run.h"
#include "app/ctl/ctl_known_readers.h"
#include "app/ctl/ctl_last_scan.h"
#include "app/ctl/ctl_port_list.h"
#include "app/ctl/ctl_reader_run.h"
#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_request.h"
#include "app/ctl/ctl_unopened.h"
#include "app/ctl/ctl_url_port.h"
#include "app/platform.h"
#include "app/stop_signals.h"
#include "link/network_url.h"
#include "link/stop_request.h"
#include "texts/text_table.h"

#include <iostream>

using namespace tempik;
using namespace tempik::ctl;

namespace {

bool isOpenFailure(DeviceFailure failure)
{
    return failure != DeviceFailure::none && failure != DeviceFailure::gone;
}

// A raw network port carries bytes at whatever line its server keeps: the reader has moved to a
// line the port cannot follow.
void tellRawPortKeepsItsLine(const std::string& device, const std::string& readerLine)
{
    if (isRawNetworkUrl(device))
        std::cerr << "tempikctl: " << terminalText(device) << " is a raw network port and cannot follow the reader to "
                  << readerLine << ": change the server's own line to reach the reader again\n";
}

int printSettings(const Settings& settings, bool json)
{
    const LinkSettings& link = settings.link;
    if (json) {
        std::cout << dumpJson({{"command", "settings"},
                               {"ScanCommNo", link.ScanCommNo},
                               {"ScanBaudRateNo", link.ScanBaudRateNo},
                               {"ScanBaudRate", jsonText(link.ScanBaudRate)},
                               {"LanguageFlag", jsonText(settings.LanguageFlag)}})
                  << "\n";
    } else {
        std::cout << "ScanCommNo=" << link.ScanCommNo << "\n"
                  << "ScanBaudRateNo=" << link.ScanBaudRateNo << "\n"
                  << "ScanBaudRate=" << terminalText(link.ScanBaudRate) << "\n"
                  << "LanguageFlag=" << terminalText(settings.LanguageFlag) << "\n";
    }
    return exitOk;
}

// The operation itself worked; only its remembering did not.
void tellUnsaved(ReaderRun& run, const SettingsStore& store, Report& report)
{
    if (!run.session.settingsUnsaved)
        return;
    report["settingsSaved"] = false;
    std::cerr << "tempikctl: the settings could not be saved in " << terminalText(store.location())
              << "; the port and line will not be remembered\n";
}

int runScan(const Request& request, ReaderRun& run, const SettingsStore& store, const std::string& configFolder)
{
    const bool found = run.scan();
    // The remembered-port step saves nothing, but with --port or --line that port or line is not
    // the stored one: a reader found on other ones than the stored is remembered, however found.
    if (run.controls.readerAnswered()) {
        Settings stored;
        store.loadSettings(stored);
        if (!sameLink(stored.link, run.settings.link))
            run.session.saveLinkSettings();
    }
    const UnopenedPorts unopened = unopenedPorts(run.link);
    if (!writeLastScan(configFolder, scanOutcome(found, !unopened.empty())))
        std::cerr << "tempikctl: could not record the scan's outcome in " << terminalText(configFolder) << "\n";
    if (!found)
        tellUnopened(unopened, std::cerr);
    Report report = run.scanReport(request.command, found);
    if (!unopened.empty())
        report["unopened"] = unopenedJson(unopened);
    tellUnsaved(run, store, report);
    if (request.json) {
        std::cout << dumpJson(report) << "\n";
    } else {
        const LinkSettings& link = run.settings.link;
        std::cout << run.controls.message << "\n";
        // What the reader sent, and the configuration path, may hold anything: never raw escapes.
        if (found)
            std::cout << terminalText(run.controls.serialText) << "\n"
                      << text(txtId, run.settings.uiLanguage) << ": " << run.controls.idCaption << "\n"
                      << terminalText(run.controls.versionText) << "\n"
                      << portName(link.ScanCommNo) << " ("
                      << terminalText(run.portMap.devicePath(link.ScanCommNo).value_or("")) << ") "
                      << terminalText(link.ScanBaudRate) << "\n";
    }
    // A port named on the command line that could not be opened is the answer, not the reader.
    const bool named = request.port || request.portUrl;
    if (!found && named && includesPort(unopened, run.settings.link.ScanCommNo))
        return exitPortClosed;
    return found ? exitOk : exitRefused;
}

int runSet(const Request& request, const CommandEntry& entry, ReaderRun& run, const SettingsStore& store,
           const std::string& configFolder)
{
    // The window's readerFound across runs: known once a scan has remembered a port, lost by a
    // scan that found no reader. Naming the port is as good as a scan; the status query still
    // proves a reader is there before anything is set.
    const LastScan last = readLastScan(configFolder);
    run.session.readerFound = request.port || request.portUrl || (last != LastScan::notFound && run.settings.link.ScanCommNo > 0);
    const OperationOutcome outcome = run.set(entry);
    const DeviceFailure failure = run.link.lastFailure();
    int code = exitOk;
    if (outcome == OperationOutcome::noReader)
        code = exitNoReader;
    else if (outcome == OperationOutcome::failed && isOpenFailure(failure))
        code = exitPortClosed;
    else if (outcome != OperationOutcome::accepted || (request.strict && run.wire.failsStrict()))
        code = exitRefused;

    Report report = run.setReport(request.command, outcome);
    if (code == exitPortClosed)
        report["error"] = describe(failure);
    tellUnsaved(run, store, report);
    if (request.json)
        std::cout << dumpJson(report) << "\n";
    else
        std::cout << run.setLine(outcome) << "\n";
    if (code == exitPortClosed)
        std::cerr << "tempikctl: " << portName(run.settings.link.ScanCommNo) << ": " << describe(failure) << "\n";
    if (outcome == OperationOutcome::accepted && entry.row && movesReaderLine(*entry.row))
        tellRawPortKeepsItsLine(run.link.lastDevicePath(), run.settings.link.ScanBaudRate);
    if (code == exitNoReader)
        std::cerr << (last == LastScan::notFound ? "tempikctl: the last scan found no reader; "
                                                 : "tempikctl: no reader known; ")
                  << "run 'tempikctl scan' (or name the port with --port)\n";
    return code;
}

int runApply(const Request& request, const Profile& profile, ReaderRun& run, const std::string& configFolder)
{
    const LastScan last = readLastScan(configFolder);
    run.session.readerFound = request.port || request.portUrl || (last != LastScan::notFound && run.settings.link.ScanCommNo > 0);
    const std::vector<SettingResult> results = applyProfile(profile, run);
    if (request.json)
        std::cout << dumpJson(applyReport(run, results)) << "\n";
    else
        std::cout << applyText(run, results);
    if (!results.empty() && results.front().verdict == outcomeName(OperationOutcome::noReader)) {
        std::cerr << "tempikctl: no reader known; run 'tempikctl scan' (or name the port with --port)\n";
        return exitNoReader;
    }
    return allAccepted(results, request.strict) ? exitOk : exitRefused;
}

int run(const Request& request)
{
    PlatformServices platform;
    const std::optional<UrlPort> urlPort =
        request.portUrl ? std::optional<UrlPort>(std::in_place, *request.portUrl, *platform.store) : std::nullopt;
    const SettingsStore& store = urlPort ? urlPort->store() : *platform.store;
    const PortMap& ports = urlPort ? urlPort->ports() : *platform.ports;
    Settings settings;
    store.loadSettings(settings);
    if (request.command == "settings")
        return printSettings(settings, request.json);
    if (request.command == "ports")
        return listPorts(platform, request.json);
    // A port map entry that names nothing is no port; the user must hear why it is skipped.
    for (int port = 1; port <= lastListedPort; ++port)
        if (const std::string problem = ports.problem(port); !problem.empty())
            std::cerr << "tempikctl: " << terminalText(problem) << "\n";
    if (request.command == "readers")
        return printKnownReaders(platform.configFolder, ports, request.json);

    if (request.language)
        settings.uiLanguage = *request.language;   // for this run only: the window's choice stays stored
    if (request.port)
        settings.link.ScanCommNo = *request.port;
    if (urlPort)
        settings.link.ScanCommNo = UrlPort::number;
    if (request.line)
        settings.link.ScanBaudRate = *request.line;
    if (request.lineIndex)
        settings.link.ScanBaudRateNo = *request.lineIndex;

    std::optional<Profile> profile;
    if (request.command == "apply") {
        profile = loadProfile(request.arguments.front(), settings.uiLanguage);   // all checked before a port opens
        if (request.check) {
            printProfileFrames(*profile, settings, std::cout);
            return exitOk;
        }
    }

    ExchangeLog log;
    if (!request.logFile.empty() && !log.open(request.logFile))
        throw UsageError{"cannot open the log file \"" + request.logFile + "\" for appending"};
    RunOptions options;
    options.trace = request.trace;
    options.log = request.logFile.empty() ? nullptr : &log;
    options.lock = !request.unlock;
    options.hour = request.hour;

    if (request.all)
        return runAll(request, ports, store, settings, options, platform.configFolder, profile ? &*profile : nullptr);
    const CommandEntry& entry = *findCommand(request.command);
    ReaderRun run(ports, std::nullopt, store, settings, options);
    run.apply(entry, request.arguments.empty() ? std::string() : request.arguments.front());
    const int code = profile                      ? runApply(request, *profile, run, platform.configFolder)
                     : entry.operation == nullptr ? runScan(request, run, store, platform.configFolder)
                                                  : runSet(request, entry, run, store, platform.configFolder);
    // On a stop signal the operation unwound and closed the port; main ends as the signal would.
    return stopRequested() ? exitRefused : code;
}

} // namespace

int main(int argc, char** argv)
{
    useConsoleOutput();
    try {
        const Request request = parseRequest(std::vector<std::string>(argv + 1, argv + argc));
        if (request.help) {
            std::cout << usageText();
            return exitOk;
        }
        if (request.version) {
            std::cout << versionText();
            return exitOk;
        }
        catchStopSignals();
        const int code = run(request);
        endByStopSignal();
        return code;
    } catch (const UsageError& error) {
        std::cerr << "tempikctl: " << terminalText(error.message) << "\nTry 'tempikctl --help'.\n";
        return exitUsage;
    }
}
