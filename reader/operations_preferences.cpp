// The operations that set one preference of the reader from one control, and its clock.
#include "reader/operations.h"

#include "reader/commands.h"
#include "reader/operation_values.h"

namespace tempik {

namespace {

// Card type and idle screen keep the channel open a little longer after the reply.
constexpr uint32_t settleAfterModeChangeMs = 100;

CommandStep awaitedStep(std::function<std::string()> payload)
{
    CommandStep step;
    step.payload = std::move(payload);
    return step;
}

} // namespace

OperationOutcome ReaderOperations::btnDateTimeClick()
{
    // Read once, before anything else: a second attempt sends the same time.
    const std::tm now = localTime_();
    const std::vector<CommandStep> steps = {
        awaitedStep([this] { return payload::setHourMode(controls_.hourIndex()); }),
        awaitedStep([now] {
            return payload::setDateTime(now.tm_year + 1900, now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min,
                                        now.tm_sec);
        }),
    };
    return runSetOperation(session_, controls_, steps);
}

OperationOutcome ReaderOperations::btnLanguageClick()
{
    return runSetOperation(session_, controls_,
                           {awaitedStep([this] { return payload::setDisplayLanguage(controls_.languageIndex()); })});
}

OperationOutcome ReaderOperations::btnPasswordClick()
{
    return runSetOperation(session_, controls_, {awaitedStep([this] {
                               return payload::setPassword(typedTextBytes(controls_.passwordText(), session_.uiLanguage()));
                           })});
}

OperationOutcome ReaderOperations::btnVolumeClick()
{
    return runSetOperation(session_, controls_,
                           {awaitedStep([this] { return payload::setVolume(controls_.soundIndex()); })});
}

OperationOutcome ReaderOperations::btnCardTypeClick()
{
    OperationOptions options;
    options.settlePauseMs = settleAfterModeChangeMs;
    return runSetOperation(session_, controls_,
                           {awaitedStep([this] { return payload::setCardType(controls_.cardTypeIndex()); })}, options);
}

OperationOutcome ReaderOperations::btnBackLightClick()
{
    return runSetOperation(session_, controls_, {awaitedStep([this] {
                               return payload::setBackLight(typedTextBytes(controls_.backLightText(), session_.uiLanguage()));
                           })});
}

OperationOutcome ReaderOperations::btnWorkModeClick()
{
    return runSetOperation(session_, controls_, {awaitedStep([this] {
                               return payload::setWorkTime(typedTextBytes(controls_.workText(), session_.uiLanguage()));
                           })});
}

OperationOutcome ReaderOperations::btnIdleClick()
{
    OperationOptions options;
    options.settlePauseMs = settleAfterModeChangeMs;
    return runSetOperation(session_, controls_,
                           {awaitedStep([this] { return payload::setIdleScreen(controls_.idleIndex()); })}, options);
}

OperationOutcome ReaderOperations::btnSetTitleModeClick()
{
    return runSetOperation(session_, controls_,
                           {awaitedStep([this] { return payload::setTitleMode(controls_.titleModeIndex()); })});
}

} // namespace tempik
