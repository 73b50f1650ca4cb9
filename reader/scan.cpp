// The scan: the remembered port first, then the sweep over ports 1 to 32, then the reader's
// serial number, identifier and version, and readerFound.
#include "reader/channel_guard.h"
#include "reader/commands.h"
#include "reader/control_values.h"
#include "reader/operations.h"
#include "texts/code_page.h"
#include "texts/text_table.h"

#include <string>

namespace tempik {

namespace {

constexpr int firstPort = 1;
constexpr int lastPort = 32;
constexpr int rememberedPortQueries = 3;
constexpr int sweepQueries = 2;
constexpr int versionQueries = 2;
constexpr uint32_t versionPauseMs = 100;

// The identifier as the reader sends it: exactly four decimal digits, or nothing.
bool identifierValue(const std::string& identifier, int& value)
{
    if (identifier.size() != identifierField.length)
        return false;
    value = 0;
    for (char c : identifier) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool statusAnswered(ReaderLink& link)
{
    return link.sendCommand(payload::statusQuery(), true) && link.replyLength() == statusReplyLength;
}

// Should the scan be left by an unexpected exception, the window must not stay disabled and
// blinking under a wait cursor.
class ScanRestore {
public:
    explicit ScanRestore(ScanFeedback& feedback) : feedback_(feedback) {}
    ~ScanRestore()
    {
        if (!finished_) {
            feedback_.setBusy(false);
            feedback_.setWaitCursor(false);
        }
    }
    ScanRestore(const ScanRestore&) = delete;
    ScanRestore& operator=(const ScanRestore&) = delete;
    void finish() { finished_ = true; }

private:
    ScanFeedback& feedback_;
    bool finished_ = false;
};

} // namespace

bool ReaderOperations::btnScanClick()
{
    ReaderControls& window = controls_;
    ReaderLink& link = session_.link;
    LinkSettings& settings = session_.linkSettings();
    const int language = session_.uiLanguage();
    // Reply bytes are 8-bit text in the page of the window language; the panels take UTF-8.
    auto shown = [language](const std::string& bytes) { return fromCodePage(bytes, language); };
    auto portMessage = [language](TextEntry entry, int port) {
        return text(entry, language) + " : #" + std::to_string(port);
    };

    // 1. Preparation.
    window.setWaitCursor(true);
    window.setBusy(true);
    ScanRestore restore(window);
    window.setSerialText(text(txtSerialNumber, language) + controlValues::pnSerial.text);
    window.setVersionText(text(txtVersion, language) + controlValues::pnVersion.text);
    window.setIdText("___");
    window.processEvents();   // so that the reset panels are painted
    bool found = false;
    session_.readerFound = false;
    // A device that went away (or whose output never drains) is not tried again in this scan.
    int gonePort = 0;

    // 2. The remembered port, with the definition text as it was stored. Nothing is saved here.
    if (settings.ScanCommNo > 0) {
        window.selectBaudRate(lineDefinitionIndexOrDefault(settings.ScanBaudRateNo));
        if (link.openChannel(settings.ScanCommNo, settings.ScanBaudRate)) {
            ChannelGuard channel(link);
            window.setMessage(portMessage(txtScanCom, settings.ScanCommNo));
            for (int query = 0; query < rememberedPortQueries && !found; ++query)
                found = statusAnswered(link);
            channel.close();
            if (link.deviceLost())
                gonePort = settings.ScanCommNo;
        }
    }

    // 3. The sweep; a stored index outside the list is taken as the factory definition.
    for (int port = firstPort; port <= lastPort && !found; ++port) {
        for (int i = 0; i < lineDefinitionCount && port != gonePort; ++i) {
            if (window.lockTicked())
                i = lineDefinitionIndexOrDefault(settings.ScanBaudRateNo);
            window.selectBaudRate(i);
            const std::string definition = lineDefinitions[static_cast<size_t>(i)];
            if (!link.openChannel(port, definition))
                break;   // a port that does not open is not tried with other definitions
            ChannelGuard channel(link);
            window.setMessage(portMessage(txtScanCom, port));
            for (int query = 0; query < sweepQueries; ++query) {
                if (statusAnswered(link)) {
                    found = true;
                    settings.ScanCommNo = port;
                    settings.ScanBaudRate = definition;
                    settings.ScanBaudRateNo = i;
                    session_.saveLinkSettings();
                    break;
                }
            }
            channel.close();
            if (found || window.lockTicked() || link.deviceLost())
                break;
        }
    }

    if (found) {
        // 4. The reader answered; replyText holds its status reply.
        const std::string status = link.replyText();
        window.selectBaudRate(lineDefinitionIndexOrDefault(settings.ScanBaudRateNo));
        window.setSerialText(text(txtSerialNumber, language) + " : " + shown(replyField(status, serialNumberField)));
        const std::string identifier = replyField(status, identifierField);
        window.setIdText(shown(identifier));

        int position = 0;
        found = false;
        // An identifier that is not four digits leaves nothing to set the scroll bar to; the
        // reader is not usable as found, so the scan ends as a failed version read does.
        if (identifierValue(identifier, position)) {
            window.setIdPosition(position);
            if (link.openChannel(settings.ScanCommNo, settings.ScanBaudRate)) {
                ChannelGuard channel(link);
                for (int query = 0; query < versionQueries; ++query) {
                    link.clock().sleepMs(versionPauseMs);
                    if (!link.sendCommand(payload::versionQuery(), true))
                        continue;
                    window.setVersionText(text(txtVersion, language) + " : " +
                                          shown(replyField(link.replyText(), versionField)));
                    link.clock().sleepMs(versionPauseMs);
                    found = true;
                    window.setMessage(portMessage(txtReaderInfoOk, settings.ScanCommNo) + ")");
                    session_.readerFound = true;
                    window.setBusy(false);
                    window.setLamp(LampColour::yellow);
                    break;
                }
                channel.close();
            }
        }
        if (found) {
            window.beep(highToneHz, beepMs);
        } else {
            window.setMessage(portMessage(txtReaderInfoError, settings.ScanCommNo) + ")");
            window.setBusy(false);
            window.setLamp(LampColour::red);
            window.beep(lowToneHz, beepMs);
        }
    } else {
        // 5. No reader anywhere; the stored settings stay as they were.
        window.selectBaudRate(factoryLineDefinitionIndex);
        window.setMessage(text(txtReaderNotFound, language));
        window.setBusy(false);
        window.setLamp(LampColour::red);
        window.beep(lowToneHz, beepMs);
    }

    // 6.
    window.setWaitCursor(false);
    restore.finish();
    return session_.readerFound;
}

} // namespace tempik
