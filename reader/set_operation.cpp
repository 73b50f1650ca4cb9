#include "reader/set_operation.h"

#include "reader/channel_guard.h"
#include "reader/commands.h"
#include "texts/text_table.h"

namespace tempik {

namespace {

constexpr uint32_t statusPauseMs = 100;

// Whatever happens inside the operation, the operator gets the window and the normal cursor
// back; on the normal path this runs after the outcome has been shown.
class WindowRestore {
public:
    explicit WindowRestore(OperationFeedback& feedback) : feedback_(feedback) {}
    ~WindowRestore()
    {
        feedback_.setWindowEnabled(true);
        feedback_.setWaitCursor(false);
    }
    WindowRestore(const WindowRestore&) = delete;
    WindowRestore& operator=(const WindowRestore&) = delete;

private:
    OperationFeedback& feedback_;
};

// One attempt: pause, status query judged by its length, then every step in order.
bool attempt(ReaderLink& link, const std::vector<CommandStep>& steps)
{
    link.clock().sleepMs(statusPauseMs);
    if (!link.sendCommand(payload::statusQuery(), true) || link.replyLength() != statusReplyLength)
        return false;
    for (const CommandStep& step : steps) {
        link.clock().sleepMs(step.pauseMs);
        if (step.routine) {
            step.routine();
            if (link.deviceLost())
                return false;
            continue;
        }
        const bool answered = link.sendCommand(step.payload ? step.payload() : std::string(), step.awaitReply);
        // Blocks sent without a reply still fail on a device that went while they were sent.
        if (!answered && (step.awaitReply || link.deviceLost()))
            return false;
    }
    return true;
}

} // namespace

OperationOutcome runSetOperation(ReaderSession& session, OperationFeedback& feedback,
                                 const std::vector<CommandStep>& steps, const OperationOptions& options)
{
    feedback.setWaitCursor(true);
    if (options.earlyPreparation) {
        options.earlyPreparation();
        // Paint what the preparation changed before the window greys out.
        feedback.processEvents();
    }
    feedback.setWindowEnabled(false);
    WindowRestore restore(feedback);

    OperationOutcome outcome = OperationOutcome::noReader;
    if (session.readerFound) {
        if (options.preparation)
            options.preparation();
        if (options.progressText)
            feedback.setMessage(options.progressText());
        if (options.operatorChoice && !options.operatorChoice())
            return OperationOutcome::cancelled;

        outcome = OperationOutcome::failed;
        ReaderLink& link = session.link;
        const LinkSettings& settings = session.linkSettings();
        if (link.openChannel(settings.ScanCommNo, settings.ScanBaudRate)) {
            ChannelGuard channel(link);
            for (int i = 0; i < setAttempts; ++i) {
                if (!attempt(link, steps)) {
                    if (link.deviceLost())
                        break;
                    continue;
                }
                outcome = OperationOutcome::accepted;
                if (options.onAccepted)
                    options.onAccepted();
                if (options.settlePauseMs > 0)
                    link.clock().sleepMs(options.settlePauseMs);
                break;
            }
            channel.close();
        }
    }
    reportOutcome(session, feedback, outcome);
    return outcome;
}

void reportOutcome(ReaderSession& session, OperationFeedback& feedback, OperationOutcome outcome)
{
    switch (outcome) {
    case OperationOutcome::accepted:
        feedback.setLamp(LampColour::yellow);
        feedback.setMessage(text(txtSetOk, session.uiLanguage()));
        feedback.beep(highToneHz, beepMs);
        break;
    case OperationOutcome::failed:
        feedback.setLamp(LampColour::red);
        feedback.setMessage(text(txtSetError, session.uiLanguage()));
        feedback.beep(lowToneHz, beepMs);
        break;
    case OperationOutcome::noReader:
        feedback.setLamp(LampColour::red);
        feedback.setMessage(text(txtStartScan, session.uiLanguage()));
        feedback.beep(lowToneHz, beepMs);
        break;
    case OperationOutcome::cancelled:
        break;   // the operator chose to stop; nothing to tell
    }
}

} // namespace tempik
