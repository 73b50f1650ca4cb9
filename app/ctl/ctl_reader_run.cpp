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

Report ReaderRun::scanReport(const std::string& command, bool found)
{
    Report report{{"command", command}, {"outcome", found ? "found" : "not-found"}, {"message", jsonText(controls.message)}};
    if (found) {
        const int port = settings.link.ScanCommNo;
        report["port"] = port;
        report["device"] = jsonText(portMap.devicePath(port).value_or(""));
        report["line"] = jsonText(settings.link.ScanBaudRate);
        report["serial"] = jsonText(panelValue(controls.serialText));
        report["identifier"] = jsonText(controls.idCaption);
        report["version"] = jsonText(panelValue(controls.versionText));
    }
    return report;
}

Report ReaderRun::setReport(const std::string& command, OperationOutcome outcome)
{
    Report report{{"command", command}, {"outcome", outcomeName(outcome)}, {"message", jsonText(controls.message)}};
    if (outcome == OperationOutcome::noReader)
        return report;   // nothing was sent anywhere
    report["port"] = settings.link.ScanCommNo;
    report["device"] = jsonText(link.lastDevicePath());
    report["serial"] = jsonText(wire.serialNumber());
    report["reply"] = jsonText(wire.replyVerdict());
    return report;
}

std::string ReaderRun::setLine(OperationOutcome outcome)
{
    if (outcome == OperationOutcome::noReader)
        return controls.message;
    const std::string serial = wire.serialNumber().empty() ? "-" : wire.serialNumber();
    // The path and what the reader sent may hold anything: escaped, as the scan prints them.
    return terminalText(controls.message + " (" + portName(settings.link.ScanCommNo) + " " + link.lastDevicePath() +
                        ", S/N " + serial + ", reply " + wire.replyVerdict() + ")");
}

} // namespace tempik::ctl
