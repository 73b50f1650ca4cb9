#include "app/ctl/ctl_all.h"

#include "app/ctl/ctl_last_scan.h"
#include "app/ctl/ctl_port_list.h"
#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_unopened.h"
#include "texts/text_table.h"

#include <iostream>
#include <memory>
#include <thread>

namespace tempik::ctl {

namespace {

// The runs of the ports find their readers side by side; what is remembered is decided once
// they have all ended.
class UnsavedStore final : public SettingsStore {
public:
    void loadSettings(Settings&) const override {}
    bool saveLinkSettings(const LinkSettings&) const override { return true; }
    bool saveLanguageFlag(const std::string&) const override { return true; }
    std::string location() const override { return {}; }
};

struct PortRun {
    int port;
    std::unique_ptr<ReaderRun> run;
    bool found = false;
    OperationOutcome outcome = OperationOutcome::failed;
};

std::string scanLine(ReaderRun& run)
{
    const LinkSettings& link = run.settings.link;
    return terminalText(portName(link.ScanCommNo) + " " + run.portMap.devicePath(link.ScanCommNo).value_or("") + " " +
                        link.ScanBaudRate + " " + panelValue(run.controls.serialText) + " " + run.controls.idCaption +
                        " " + panelValue(run.controls.versionText) + ": " + run.controls.message);
}

} // namespace

int runAll(const Request& request, const PortMap& ports, const SettingsStore& store, const Settings& settings,
           const RunOptions& options, const std::string& configFolder)
{
    const CommandEntry& entry = *findCommand(request.command);
    std::vector<int> chosen = request.ports;
    if (chosen.empty())
        for (int port = firstSweepPort; port <= lastSweepPort; ++port)
            chosen.push_back(port);

    static const UnsavedStore unsaved;
    std::vector<PortRun> runs;
    for (int port : chosen) {
        if (!ports.devicePath(port))
            continue;
        Settings own = settings;
        own.link.ScanCommNo = 0;   // straight to the sweep, which on this run reaches this port alone
        PortRun portRun{port, std::make_unique<ReaderRun>(ports, port, unsaved, own, options)};
        portRun.run->apply(entry, request.arguments.empty() ? std::string() : request.arguments.front());
        runs.push_back(std::move(portRun));
    }

    std::vector<std::thread> threads;
    for (PortRun& portRun : runs) {
        threads.emplace_back([&portRun, &entry] {
            ReaderRun& run = *portRun.run;
            portRun.found = run.scan();
            if (portRun.found && entry.operation)
                portRun.outcome = run.set(entry);
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    bool anyFound = false, allAccepted = true, namedUnopened = false;
    std::string json;
    PortRun* first = nullptr;
    UnopenedPorts unopened;
    for (PortRun& portRun : runs) {
        ReaderRun& run = *portRun.run;
        if (!run.controls.readerAnswered()) {
            // A port that would not open may hold a reader all the same: it is named.
            for (const ReaderLink::UnopenedPort& port : unopenedPorts(run.link)) {
                unopened.push_back(port);
                namedUnopened = namedUnopened || !request.ports.empty();
                json += (json.empty() ? "" : ",") + jsonObject({{"command", jsonString(request.command)},
                                                                {"outcome", jsonString("not-opened")},
                                                                {"port", std::to_string(port.port)},
                                                                {"device", jsonString(port.device)},
                                                                {"error", jsonString(describe(port.failure))}});
            }
            continue;
        }
        if (!first)
            first = &portRun;
        anyFound = anyFound || portRun.found;
        std::vector<std::pair<std::string, std::string>> report;
        if (entry.operation && portRun.found) {
            report = run.setReport(request.command, portRun.outcome);
            const bool refused = portRun.outcome != OperationOutcome::accepted ||
                                 (request.strict && run.wire.failsStrict());
            allAccepted = allAccepted && !refused;
            if (!request.json)
                std::cout << run.setLine(portRun.outcome) << "\n";
        } else {
            report = run.scanReport("scan", portRun.found);
            allAccepted = allAccepted && portRun.found;
            if (!request.json)
                std::cout << scanLine(run) << "\n";
        }
        json += (json.empty() ? "" : ",") + jsonObject(report);
    }
    if (request.json)
        std::cout << "[" << json << "]\n";
    else if (!first)
        std::cout << text(txtReaderNotFound, settings.uiLanguage) << "\n";
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
    if (namedUnopened)
        return exitPortClosed;   // a port named by --ports that could not be opened
    if (entry.operation == nullptr)
        return anyFound ? exitOk : exitRefused;
    return anyFound && allAccepted ? exitOk : exitRefused;
}

} // namespace tempik::ctl
