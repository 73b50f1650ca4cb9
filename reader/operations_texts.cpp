// The operations that write the reader's display texts: the title text, the install message,
// the title message and the show message, and the three that blank them. The text commands
// are written without waiting for a reply; only the title text's mode command is awaited.
#include "reader/operations.h"

#include "reader/commands.h"
#include "reader/operation_values.h"
#include "texts/code_page.h"

namespace tempik {

namespace {

constexpr int textTitleMode = 1;       // "Text Title"
constexpr int textIconTitleMode = 2;   // "Text & Icon Title"
constexpr uint32_t modePauseMs = 200;  // between the title text and its mode command
constexpr uint32_t titleClearSettleMs = 200;

CommandStep unawaitedStep(std::function<std::string()> payload)
{
    CommandStep step;
    step.payload = std::move(payload);
    step.awaitReply = false;
    return step;
}

} // namespace

OperationOutcome ReaderOperations::btnTitleClick()
{
    CommandStep text = unawaitedStep([this] {
        return payload::titleText(fieldTextBytes(controls_.titleText(), titleFieldWidth, session_.uiLanguage()));
    });
    CommandStep mode;
    mode.pauseMs = modePauseMs;
    mode.payload = [this] { return payload::setTitleMode(controls_.titleModeIndex()); };
    OperationOptions options;
    options.earlyPreparation = [this] { controls_.selectTitleMode(textTitleMode); };
    return runSetOperation(session_, controls_, {text, mode}, options);
}

OperationOutcome ReaderOperations::btnTitleClearClick()
{
    OperationOptions options;
    options.settlePauseMs = titleClearSettleMs;
    return runSetOperation(session_, controls_, {unawaitedStep([] { return payload::titleText(std::string()); })},
                           options);
}

OperationOutcome ReaderOperations::btnInstallClick()
{
    OperationOptions options;
    options.earlyPreparation = [this] { controls_.selectTitleMode(textIconTitleMode); };
    // The text step does not wait for a reply, so replyText still holds this attempt's status
    // reply: the box then shows the reader's serial number, without the EOT byte behind it.
    options.onAccepted = [this] {
        controls_.setInstallText(fromCodePage(statusSerialNumber(session_.link.replyText()), session_.uiLanguage()));
    };
    return runSetOperation(session_, controls_, {unawaitedStep([this] {
                               return payload::installMessage(
                                   fieldTextBytes(controls_.installText(), installFieldWidth, session_.uiLanguage()));
                           })},
                           options);
}

OperationOutcome ReaderOperations::btnClrInstallClick()
{
    return runSetOperation(session_, controls_, {unawaitedStep([] { return payload::installMessage(std::string()); })});
}

OperationOutcome ReaderOperations::btnTitleMessageClick()
{
    return runSetOperation(session_, controls_, {unawaitedStep([this] {
                               return payload::titleMessage(
                                   fieldTextBytes(controls_.messageText(), messageFieldWidth, session_.uiLanguage()));
                           })});
}

OperationOutcome ReaderOperations::btnClrTitleClick()
{
    return runSetOperation(session_, controls_, {unawaitedStep([] { return payload::titleMessage(std::string()); })});
}

OperationOutcome ReaderOperations::btnShowMessageClick()
{
    return runSetOperation(session_, controls_, {unawaitedStep([this] {
                               return payload::showMessage(
                                   fieldTextBytes(controls_.showText(), showFieldWidth, session_.uiLanguage()));
                           })});
}

} // namespace tempik
