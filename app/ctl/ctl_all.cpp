#include "app/ctl/ctl_all.h"

#include "app/ctl/ctl_apply.h"
#include "app/ctl/ctl_last_scan.h"
#include "app/ctl/ctl_port_list.h"
#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_unsaved_store.h"
#include "texts/text_table.h"

#include <iostream>
#include <memory>
#include <thread>

namespace tempik::ctl {

namespace {

struct PortRun {
    int port;
    std::unique_ptr<ReaderRun> run;
    bool found = false;
    OperationOutcome outcome = OperationOutcome::failed;
    std::vector<SettingResult> applied = {};
};

std::string scanLine(ReaderRun& run)
{
    const LinkSettings& link = run.settings.link;
    return portName(link.ScanCommNo) + " " + run.portMap.devicePath(link.ScanCommNo).value_or("") + " " +
           link.ScanBaudRate + " " + panelValue(run.controls.serialText) + " " + run.controls.idCaption + " " +
           panelValue(run.controls.versionText) + ": " + run.controls.message;
}

} // namespace

int runAll(const Request& request, const PortMap& ports, const SettingsStore& store, const Settings& settings,
           const RunOptions& options, const std::string& configFolder, const Profile* profile)
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
        threads.emplace_back([&portRun, &entry, profile] {
            ReaderRun& run = *portRun.run;
            portRun.found = run.scan();
            if (portRun.found && profile)
                portRun.applied = applyProfile(*profile, run);
            else if (portRun.found && entry.operation)
                portRun.outcome = run.set(entry);
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    bool anyFound = false, allAccepted = true;
    Report json = Report::array();
    PortRun* first = nullptr;
    for (PortRun& portRun : runs) {
        ReaderRun& run = *portRun.run;
        if (!run.controls.readerAnswered())
            continue;
        if (!first)
            first = &portRun;
        anyFound = anyFound || portRun.found;
        Report report;
        if (profile && portRun.found) {
            report = applyReport(run, portRun.applied);
            allAccepted = allAccepted && ctl::allAccepted(portRun.applied, request.strict);
            if (!request.json)
                std::cout << applyText(run, portRun.applied);
        } else if (entry.operation && portRun.found) {
            report = run.setReport(request.command, portRun.outcome);
            const bool refused = portRun.outcome != OperationOutcome::accepted ||
                                 (request.strict && run.wire.replyVerdict() == "NG");
            allAccepted = allAccepted && !refused;
            if (!request.json)
                std::cout << run.setLine(portRun.outcome) << "\n";
        } else {
            report = run.scanReport("scan", portRun.found);
            allAccepted = allAccepted && portRun.found;
            if (!request.json)
                std::cout << scanLine(run) << "\n";
        }
        json.push_back(report);
    }
    if (request.json)
        std::cout << dumpJson(json) << "\n";
    else if (!first)
        std::cout << text(txtReaderNotFound, settings.uiLanguage) << "\n";
    if (!anyFound) {
        std::vector<std::pair<int, std::string>> refused;
        for (PortRun& portRun : runs)
            for (const auto& port : portRun.run->link.refusedForPermission())
                refused.push_back(port);
        tellRefusedPorts(refused, std::cerr);
    }

    // As a sweep would have found them: the first reader in port order, after its operation.
    if (first) {
        Settings stored;
        store.loadSettings(stored);
        if (!sameLink(stored.link, first->run->settings.link) && !store.saveLinkSettings(first->run->settings.link))
            std::cerr << "tempikctl: the settings could not be saved in " << store.location()
                      << "; the port and line will not be remembered\n";
    }
    if (!writeLastScan(configFolder, anyFound))
        std::cerr << "tempikctl: could not record the scan's outcome in " << configFolder << "\n";
    if (entry.operation == nullptr && !profile)
        return anyFound ? exitOk : exitRefused;
    return anyFound && allAccepted ? exitOk : exitRefused;
}

} // namespace tempik::ctl
