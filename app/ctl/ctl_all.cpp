#include "app/ctl/ctl_all.h"

#include "app/ctl/ctl_apply.h"
#include "app/ctl/ctl_connection_queue.h"
#include "app/ctl/ctl_known_readers.h"
#include "app/ctl/ctl_last_scan.h"
#include "app/ctl/ctl_port_list.h"
#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_unopened.h"
#include "app/ctl/ctl_unsaved_store.h"
#include "texts/text_table.h"

#include <algorithm>
#include <iostream>
#include <memory>

namespace tempik::ctl {

namespace {

struct PortRun {
    int port;
    std::optional<KnownReader> remembered;
    std::unique_ptr<ReaderRun> run;
    bool found = false;
    OperationOutcome outcome = OperationOutcome::failed;
    std::vector<SettingResult> applied = {};
};

std::string scanLine(ReaderRun& run)
{
    const LinkSettings& link = run.settings.link;
    return terminalText(portName(link.ScanCommNo) + " " + run.portMap.devicePath(link.ScanCommNo).value_or("") + " " +
                        link.ScanBaudRate + " " + panelValue(run.controls.serialText) + " " + run.controls.idCaption +
                        " " + panelValue(run.controls.versionText) + ": " + run.controls.message);
}

// A set command goes to the readers remembered, unless --ports names the ports; a scan, or a
// set command with nothing remembered, to every port of the map. A remembered port counts even
// when its entry is gone: its reader is then not reached, and so named.
std::vector<int> portsToRun(const Request& request, const PortMap& ports, const std::vector<KnownReader>& known,
                            bool scanning)
{
    std::vector<int> candidates = request.ports;
    if (candidates.empty() && (scanning || known.empty()))
        for (int port = firstSweepPort; port <= lastSweepPort; ++port)
            candidates.push_back(port);
    if (candidates.empty())
        for (const KnownReader& reader : known)
            candidates.push_back(reader.port);
    std::vector<int> chosen;
    for (int port : candidates)
        if (ports.devicePath(port) || knownReaderAt(known, port))
            chosen.push_back(port);
    return chosen;
}

// A remembered reader is first asked at its own line, as the remembered port of a scan; the
// sweep of its port follows when it does not answer there.
Settings settingsFor(const Settings& settings, int port, const KnownReader* remembered)
{
    Settings own = settings;
    own.link.ScanCommNo = 0;   // straight to the sweep, which on this run reaches this port alone
    if (remembered) {
        const int index = lineDefinitionIndexOf(remembered->line);
        own.link = {port, remembered->line,
                    index >= 0 ? index : lineDefinitionIndexOrDefault(settings.link.ScanBaudRateNo)};
    }
    return own;
}

KnownReader readerFoundBy(ReaderRun& run, const std::string& time)
{
    return {run.settings.link.ScanCommNo, run.settings.link.ScanBaudRate, panelValue(run.controls.serialText),
            run.controls.idCaption, panelValue(run.controls.versionText), time};
}

struct Tally {
    int found = 0, accepted = 0, failed = 0, unreachable = 0;
};

} // namespace

int runAll(const Request& request, const PortMap& ports, const SettingsStore& store, const Settings& settings,
           const RunOptions& options, const std::string& configFolder, const Profile* profile)
{
    const CommandEntry& entry = *findCommand(request.command);
    const bool scanning = entry.operation == nullptr && !profile;
    const std::vector<KnownReader> known = loadKnownReaders(configFolder);

    static const UnsavedStore unsaved;
    std::vector<PortRun> runs;
    std::vector<std::string> hosts;
    for (int port : portsToRun(request, ports, known, scanning)) {
        const KnownReader* remembered = knownReaderAt(known, port);
        PortRun portRun{port, remembered ? std::optional<KnownReader>(*remembered) : std::nullopt,
                        std::make_unique<ReaderRun>(ports, port, unsaved, settingsFor(settings, port, remembered), options)};
        portRun.run->apply(entry, request.arguments.empty() ? std::string() : request.arguments.front());
        runs.push_back(std::move(portRun));
        hosts.push_back(networkHostOf(ports.devicePath(port).value_or("")));
    }

    runQueued(hosts, [&runs, &entry, profile](size_t index) {
        PortRun& portRun = runs[index];
        ReaderRun& run = *portRun.run;
        portRun.found = run.scan();
        if (portRun.found && profile)
            portRun.applied = applyProfile(*profile, run);
        else if (portRun.found && entry.operation)
            portRun.outcome = run.set(entry);
    });

    // A remembered reader that answered on another port than its own was reached all the same.
    // Only a reader new to its port counts so: readers that share a serial (factory-fresh ones)
    // at their own ports must not hide one that is gone.
    std::vector<std::string> serialsMoved;
    for (PortRun& portRun : runs) {
        const std::string serial = panelValue(portRun.run->controls.serialText);
        if (portRun.run->controls.readerAnswered() && !(portRun.remembered && portRun.remembered->serial == serial))
            serialsMoved.push_back(serial);
    }
    const std::string time = utcNow();
    std::vector<KnownReader> remembered = known;
    bool anyFound = false, allAccepted = true, namedUnopened = false;
    Tally tally;
    Report json = Report::array();
    PortRun* first = nullptr;
    UnopenedPorts unopened;
    for (PortRun& portRun : runs) {
        ReaderRun& run = *portRun.run;
        if (!run.controls.readerAnswered()) {
            // A port that would not open may hold a reader all the same: it is named.
            const UnopenedPorts closed = unopenedPorts(run.link);
            for (const ReaderLink::UnopenedPort& port : closed) {
                unopened.push_back(port);
                namedUnopened = namedUnopened || !request.ports.empty();
                json.push_back(Report{{"command", jsonText(request.command)},
                                      {"outcome", "not-opened"},
                                      {"port", port.port},
                                      {"device", jsonText(port.device)},
                                      {"error", jsonText(describe(port.failure))}});
            }
            // A scan finds what is there now; a port it could not look at keeps what it had.
            if (scanning && closed.empty())
                forgetPort(remembered, portRun.port);
            const std::optional<KnownReader>& lost = portRun.remembered;
            if (!lost || std::count(serialsMoved.begin(), serialsMoved.end(), lost->serial) > 0)
                continue;
            ++tally.unreachable;
            const std::string device = ports.devicePath(portRun.port).value_or("");
            const std::string message = text(txtReaderNotFound, settings.uiLanguage);
            if (request.json)
                json.push_back(unreachedJson(request.command, message, *lost, device));
            else
                std::cout << message << " (" << portName(portRun.port) << " " << terminalText(device) << ", S/N "
                          << terminalText(lost->serial) << ", remembered at " << terminalText(lost->line) << ")\n";
            continue;
        }
        // Only a scan adds readers: a set command reaches the ones known, or sweeps for the moment.
        if (scanning || portRun.remembered)
            rememberReader(remembered, readerFoundBy(run, time));
        ++tally.found;
        if (!first)
            first = &portRun;
        anyFound = anyFound || portRun.found;
        Report report;
        if (profile && portRun.found) {
            report = applyReport(run, portRun.applied);
            const bool accepted = ctl::allAccepted(portRun.applied, request.strict);
            allAccepted = allAccepted && accepted;
            ++(accepted ? tally.accepted : tally.failed);
            if (!request.json)
                std::cout << applyText(run, portRun.applied);
        } else if (entry.operation && portRun.found) {
            report = run.setReport(request.command, portRun.outcome);
            const bool refused = portRun.outcome != OperationOutcome::accepted ||
                                 (request.strict && run.wire.failsStrict());
            allAccepted = allAccepted && !refused;
            ++(refused ? tally.failed : tally.accepted);
            if (!request.json)
                std::cout << run.setLine(portRun.outcome) << "\n";
        } else {
            report = run.scanReport("scan", portRun.found);
            allAccepted = allAccepted && portRun.found;
            ++(portRun.found ? tally.accepted : tally.failed);
            if (!request.json)
                std::cout << scanLine(run) << "\n";
        }
        json.push_back(report);
    }
    if (request.json)
        std::cout << dumpJson(json) << "\n";
    else if (!first && tally.unreachable == 0)
        std::cout << text(txtReaderNotFound, settings.uiLanguage) << "\n";
    // Last, on its own line; beside JSON on standard error, so that standard output stays one array.
    (request.json ? std::cerr : std::cout) << "found " << tally.found << ", accepted " << tally.accepted << ", failed "
                                           << tally.failed << ", unreachable " << tally.unreachable << "\n";
    tellUnopened(unopened, std::cerr);

    // As a sweep would have found them: the first reader in port order, after its operation.
    if (first) {
        Settings stored;
        store.loadSettings(stored);
        if (!sameLink(stored.link, first->run->settings.link) && !store.saveLinkSettings(first->run->settings.link))
            std::cerr << "tempikctl: the settings could not be saved in " << terminalText(store.location())
                      << "; the port and line will not be remembered\n";
    }
    if (!writeLastScan(configFolder, scanOutcome(anyFound, !unopened.empty())))
        std::cerr << "tempikctl: could not record the scan's outcome in " << terminalText(configFolder) << "\n";
    if (remembered != known && !saveKnownReaders(configFolder, remembered))
        std::cerr << "tempikctl: could not remember the readers found in " << terminalText(configFolder) << "\n";
    if (namedUnopened)
        return exitPortClosed;   // a port named by --ports that could not be opened
    // Exit 0: every reader known got it.
    if (tally.unreachable > 0 || !anyFound)
        return exitRefused;
    return scanning || allAccepted ? exitOk : exitRefused;
}

} // namespace tempik::ctl
