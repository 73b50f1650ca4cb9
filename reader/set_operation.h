#pragma once
// The common flow of every set operation: reader found, open, up to two attempts of status
// query then the operation's steps, close, and the outcome shown by lamp, message and beep.
#include "reader/feedback.h"
#include "reader/session.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tempik {

enum class OperationOutcome {
    accepted,
    failed,
    noReader,
    cancelled,   // the operator cancelled the choice; nothing was reported
};

struct CommandStep {
    uint32_t pauseMs = 100;
    // Builds the payload from the control's current value, once in every attempt.
    std::function<std::string()> payload;
    bool awaitReply = true;
    // A step that sends its own frames (the picture upload) instead of one payload; it cannot fail.
    std::function<void()> routine;
};

struct OperationOptions {
    std::function<void()> earlyPreparation;          // then one pass of event processing
    std::function<void()> preparation;               // after the readerFound test
    std::function<std::string()> progressText;       // pnMsg before the open
    std::function<bool()> operatorChoice;            // false: cancelled, ends silently
    std::function<void()> onAccepted;                // before the channel is closed
    uint32_t settlePauseMs = 0;                      // after onAccepted, before the close
};

constexpr int statusReplyLength = 21;

// The beeps that end an operation: high on success, low on failure.
constexpr int highToneHz = 1000;
constexpr int lowToneHz = 300;
constexpr int beepMs = 300;
constexpr int setAttempts = 2;

OperationOutcome runSetOperation(ReaderSession& session, OperationFeedback& feedback,
                                 const std::vector<CommandStep>& steps,
                                 const OperationOptions& options = {});

// Lamp, then message, then beep.
void reportOutcome(ReaderSession& session, OperationFeedback& feedback, OperationOutcome outcome);

} // namespace tempik
