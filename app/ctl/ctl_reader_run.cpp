#include "app/ctl/ctl_reader_run.h"

#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_request.h"
#include "link/port_device.h"
#include "texts/text_table.h"

namespace tempik::ctl {

std::optional<std::string> RunPortMap::devicePath(int portNumber) const
{
    last_ = portNumber;
    if (only_ && portNumber != *only_)
        return std::nullopt;
    return ports_.devicePath(portNumber);
}

bool sameLink(const LinkSettings& a, const LinkSettings& b)
{
    return a.ScanCommNo == b.ScanCommNo && a.ScanBaudRate == b.ScanBaudRate && a.ScanBaudRateNo == b.ScanBaudRateNo;
}

const char* outcomeName(OperationOutcome outcome)
{
    switch (outcome) {
    case OperationOutcome::accepted: return "accepted";
    case OperationOutcome::failed: return "failed";
    case OperationOutcome::noReader: return "no-reader";
    case OperationOutcome::cancelled: return "cancelled";
    }
    return "failed";
}

ReaderRun::ReaderRun(const PortMap& ports, std::optional<int> onlyPort, const SettingsStore& store, Settings settingsIn,
                     const RunOptions& options)
    : device(makePortDevice()),
      portMap(ports, onlyPort),
      settings(std::move(settingsIn)),
      link(*device, clock, portMap),
      session{link, settings, store},
      operations(session, controls),
      wire(options.trace, options.started, options.log)
{
    controls.lock = options.lock;
    controls.baudRate = lineDefinitionIndexOrDefault(settings.link.ScanBaudRateNo);
    if (options.hour)
        controls.hour = *options.hour;
    wire.attach(link, [this] { return portName(portMap.lastPort()); });
}

void ReaderRun::apply(const CommandEntry& entry, const std::string& argument)
{
    if (!entry.row || entry.row->from != ValueFrom::argument)
        return;
    try {
        entry.row->take(argument, controls, settings.uiLanguage);
    } catch (const ValueRefused& refused) {
        throw UsageError{refused.message};
    }
}

std::vector<std::pair<std::string, std::string>> ReaderRun::scanReport(const std::string& command, bool found)
{
    std::vector<std::pair<std::string, std::string>> report{{"command", jsonString(command)},
                                                            {"outcome", jsonString(found ? "found" : "not-found")},
                                                            {"message", jsonString(controls.message)}};
    if (found) {
        const int port = settings.link.ScanCommNo;
        report.emplace_back("port", std::to_string(port));
        report.emplace_back("device", jsonString(portMap.devicePath(port).value_or("")));
        report.emplace_back("line", jsonString(settings.link.ScanBaudRate));
        report.emplace_back("serial", jsonString(panelValue(controls.serialText)));
        report.emplace_back("identifier", jsonString(controls.idCaption));
        report.emplace_back("version", jsonString(panelValue(controls.versionText)));
    }
    return report;
}

std::vector<std::pair<std::string, std::string>> ReaderRun::setReport(const std::string& command,
                                                                      OperationOutcome outcome)
{
    std::vector<std::pair<std::string, std::string>> report{{"command", jsonString(command)},
                                                            {"outcome", jsonString(outcomeName(outcome))},
                                                            {"message", jsonString(controls.message)}};
    if (outcome == OperationOutcome::noReader)
        return report;   // nothing was sent anywhere
    report.emplace_back("port", std::to_string(settings.link.ScanCommNo));
    report.emplace_back("device", jsonString(link.lastDevicePath()));
    report.emplace_back("serial", jsonString(wire.serialNumber()));
    report.emplace_back("reply", jsonString(wire.replyVerdict()));
    return report;
}

std::string ReaderRun::setLine(OperationOutcome outcome)
{
    if (outcome == OperationOutcome::noReader)
        return controls.message;
    const std::string serial = wire.serialNumber().empty() ? "-" : wire.serialNumber();
    return controls.message + " (" + portName(settings.link.ScanCommNo) + " " + link.lastDevicePath() + ", S/N " +
           serial + ", reply " + wire.replyVerdict() + ")";
}

} // namespace tempik::ctl
