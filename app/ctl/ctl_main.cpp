// tempikctl: the reader operations of the configuration window from a shell.
#include "app/ctl/ctl_commands.h"
#include "app/ctl/ctl_controls.h"
#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_request.h"
#include "app/platform.h"
#include "reader/operations.h"
#include "texts/text_table.h"

#include <chrono>
#include <cstdio>
#include <iostream>

using namespace tempik;
using namespace tempik::ctl;

namespace {

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

bool isOpenFailure(DeviceFailure failure)
{
    return failure != DeviceFailure::none && failure != DeviceFailure::gone;
}

int printSettings(const Settings& settings, bool json)
{
    const LinkSettings& link = settings.link;
    if (json) {
        std::cout << jsonObject({{"command", jsonString("settings")},
                                 {"ScanCommNo", std::to_string(link.ScanCommNo)},
                                 {"ScanBaudRateNo", std::to_string(link.ScanBaudRateNo)},
                                 {"ScanBaudRate", jsonString(link.ScanBaudRate)},
                                 {"LanguageFlag", jsonString(settings.LanguageFlag)}})
                  << "\n";
    } else {
        std::cout << "ScanCommNo=" << link.ScanCommNo << "\n"
                  << "ScanBaudRateNo=" << link.ScanBaudRateNo << "\n"
                  << "ScanBaudRate=" << link.ScanBaudRate << "\n"
                  << "LanguageFlag=" << settings.LanguageFlag << "\n";
    }
    return exitOk;
}

int run(const Request& request)
{
    PlatformServices platform;
    const SettingsStore& store = *platform.store;
    const PortMap& ports = *platform.ports;
    Settings settings;
    store.loadSettings(settings);
    if (request.command == "settings")
        return printSettings(settings, request.json);

    if (request.language)
        settings.uiLanguage = *request.language;   // for this run only: the window's choice stays stored
    if (request.port)
        settings.link.ScanCommNo = *request.port;
    if (request.lineIndex) {
        settings.link.ScanBaudRateNo = *request.lineIndex;
        settings.link.ScanBaudRate = lineDefinitions[static_cast<size_t>(*request.lineIndex)];
    }

    const CommandEntry& entry = *findCommand(request.command);
    CtlControls controls;
    controls.lock = !request.unlock;
    controls.baudRate = lineDefinitionIndexOrDefault(settings.link.ScanBaudRateNo);
    if (request.hour)
        controls.hour = *request.hour;
    entry.apply(request.arguments.empty() ? std::string() : request.arguments.front(), controls, settings.uiLanguage);

    ReaderLink link(*platform.device, platform.clock, ports);
    const auto started = std::chrono::steady_clock::now();
    if (request.trace) {
        link.setFrameObserver([started](ReaderLink::Direction direction, const std::vector<uint8_t>& bytes) {
            const std::chrono::duration<double, std::milli> at = std::chrono::steady_clock::now() - started;
            std::cerr << traceLine(at.count(), direction, bytes) << std::endl;
        });
    }
    ReaderSession session{link, settings, store};
    ReaderOperations operations(session, controls);

    std::vector<std::pair<std::string, std::string>> report{{"command", jsonString(request.command)}};
    int code = exitOk;
    if (entry.operation == nullptr) {
        const bool found = operations.btnScanClick();
        code = found ? exitOk : exitRefused;
        report.emplace_back("outcome", jsonString(found ? "found" : "not-found"));
        report.emplace_back("message", jsonString(controls.message));
        if (found) {
            const int port = settings.link.ScanCommNo;
            report.emplace_back("port", std::to_string(port));
            report.emplace_back("device", jsonString(ports.devicePath(port).value_or("")));
            report.emplace_back("line", jsonString(settings.link.ScanBaudRate));
            report.emplace_back("serial", jsonString(panelValue(controls.serialText)));
            report.emplace_back("identifier", jsonString(controls.idCaption));
            report.emplace_back("version", jsonString(panelValue(controls.versionText)));
        }
    } else {
        // The command line knows a reader once a scan has remembered its port.
        session.readerFound = settings.link.ScanCommNo > 0;
        const OperationOutcome outcome = (operations.*entry.operation)();
        if (outcome == OperationOutcome::noReader)
            code = exitUsage;
        else if (outcome == OperationOutcome::failed && isOpenFailure(link.lastFailure()))
            code = exitPortClosed;
        else if (outcome != OperationOutcome::accepted)
            code = exitRefused;
        report.emplace_back("outcome", jsonString(outcomeName(outcome)));
        report.emplace_back("message", jsonString(controls.message));
        if (code == exitPortClosed) {
            report.emplace_back("port", std::to_string(settings.link.ScanCommNo));
            report.emplace_back("error", jsonString(describe(link.lastFailure())));
        }
    }

    if (session.settingsUnsaved) {
        // The operation itself worked; only its remembering did not.
        report.emplace_back("settingsSaved", "false");
        std::cerr << "tempikctl: the settings could not be saved in " << terminalText(store.location())
                  << "; the port and line will not be remembered\n";
    }
    if (request.json) {
        std::cout << jsonObject(report) << "\n";
        return code;
    }
    std::cout << controls.message << "\n";
    if (entry.operation == nullptr && code == exitOk) {
        // What the reader sent, and the configuration path, may hold anything: never raw escapes.
        std::cout << terminalText(controls.serialText) << "\n"
                  << text(txtId, settings.uiLanguage) << ": " << controls.idCaption << "\n"
                  << terminalText(controls.versionText) << "\n"
                  << portName(settings.link.ScanCommNo) << " ("
                  << terminalText(ports.devicePath(settings.link.ScanCommNo).value_or("")) << ") "
                  << settings.link.ScanBaudRate << "\n";
    }
    if (code == exitPortClosed)
        std::cerr << "tempikctl: " << portName(settings.link.ScanCommNo) << ": " << describe(link.lastFailure())
                  << "\n";
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const Request request = parseRequest(std::vector<std::string>(argv + 1, argv + argc));
        if (request.help) {
            std::cout << usageText();
            return exitOk;
        }
        return run(request);
    } catch (const UsageError& error) {
        std::cerr << "tempikctl: " << error.message << "\nTry 'tempikctl --help'.\n";
        return exitUsage;
    }
}
