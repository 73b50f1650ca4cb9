#include "app/ctl/ctl_apply.h"

#include "link/port_map.h"

namespace tempik::ctl {

namespace {

constexpr const char* notListed = "not-listed";

// The serial number of the reader: from the last status reply, or a scan of the run's port.
std::string readerSerial(ReaderRun& run)
{
    if (run.wire.serialNumber().empty())
        run.scan();
    return run.wire.serialNumber();
}

} // namespace

std::vector<SettingResult> applyProfile(const Profile& profile, ReaderRun& run)
{
    std::vector<SettingResult> results;
    for (const ProfileSetting& setting : profile.settings) {
        std::string value = setting.value;
        if (setting.row == findOperation("set-id")) {
            const auto listed = profile.ids.find(readerSerial(run));
            if (listed == profile.ids.end()) {
                results.push_back({"id", notListed, "none"});
                continue;
            }
            value = listed->second;
        }
        if (setting.row->from != ValueFrom::none)
            setting.row->take(value, run.controls, run.settings.uiLanguage);   // checked when loaded
        const OperationOutcome outcome = (run.operations.*setting.row->operation)();
        results.push_back({settingName(setting), outcomeName(outcome), run.wire.replyVerdict()});
        if (outcome == OperationOutcome::noReader)
            break;   // nothing was sent, and nothing will be
    }
    return results;
}

bool allAccepted(const std::vector<SettingResult>& results, bool strict)
{
    for (const SettingResult& result : results)
        if (result.verdict != notListed && (result.verdict != "accepted" || (strict && result.reply == "NG")))
            return false;
    return true;
}

Report applyReport(ReaderRun& run, const std::vector<SettingResult>& results)
{
    Report settings = Report::array();
    for (const SettingResult& result : results)
        settings.push_back({{"setting", result.setting}, {"verdict", result.verdict}, {"reply", result.reply}});
    return {{"command", "apply"},
            {"port", run.settings.link.ScanCommNo},
            {"device", jsonText(run.link.lastDevicePath())},
            {"serial", jsonText(run.wire.serialNumber())},
            {"settings", settings}};
}

std::string applyText(ReaderRun& run, const std::vector<SettingResult>& results)
{
    const std::string serial = run.wire.serialNumber().empty() ? "-" : terminalText(run.wire.serialNumber());
    std::string text = portName(run.settings.link.ScanCommNo) + " " + terminalText(run.link.lastDevicePath()) +
                       ", S/N " + serial + "\n";
    for (const SettingResult& result : results)
        text += "  " + result.setting + ": " +
                (result.verdict == notListed ? "S/N " + serial + " is not in [ids]; the identifier is kept"
                                             : result.verdict + " (reply " + result.reply + ")") +
                "\n";
    return text;
}

} // namespace tempik::ctl
