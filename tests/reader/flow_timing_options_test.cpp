// The common flow's pauses on the fake clock, and each of its options in its place.
#include "reader/set_operation.h"
#include "tests/support/reader_rig.h"

#include <gtest/gtest.h>

namespace tempik::testing {
namespace {

using Lines = std::vector<std::string>;

CommandStep step(const std::string& payload, uint32_t pauseMs = 100, bool awaitReply = true)
{
    CommandStep s;
    s.pauseMs = pauseMs;
    s.payload = [payload] { return payload; };
    s.awaitReply = awaitReply;
    return s;
}

// A request takes 24 ms of write pauses (seven bytes at 2 ms, the block at 10 ms); a reply that
// never comes costs 121 ms more, the first empty read past the 120 ms deadline.
TEST(SetOperationTiming, pausesBeforeStatusAndStepsAndTheSettlePauseBeforeClose)
{
    ReaderRig rig;
    rig.readerReady();
    rig.device.responder = ReplyScript().then("0000AS", statusReply()).then("0000BF6082", ackReply()).responder();
    uint32_t acceptedAt = 0;
    OperationOptions options;
    options.onAccepted = [&] { acceptedAt = rig.clock.nowMs() - rig.device.events.front().timeMs; };
    options.settlePauseMs = 200;

    EXPECT_EQ(runSetOperation(rig.session, rig.controls, {step("0000BF6082")}, options), OperationOutcome::accepted);
    EXPECT_EQ(rig.timeline(), (Lines{"open COM3 9600,e,8,1 @0", "send 0000AS @100", "send 0000BF6082 @224", "close @448"}));
    EXPECT_EQ(acceptedAt, 248u);
}

TEST(SetOperationTiming, stepsNotAwaitedAndOwnRoutinesCannotFailAndKeepTheirPauses)
{
    ReaderRig rig;
    rig.readerReady();
    rig.device.responder = ReplyScript().then("0000AS", statusReply()).then("0000BA2", ackReply()).responder();
    CommandStep upload;
    upload.pauseMs = 200;
    upload.routine = [&] { rig.link.sendCommand("0000BB0FF", false); };

    const std::vector<CommandStep> steps = {step("0000BA1KESTO", 100, false), upload, step("0000BA2", 200)};
    EXPECT_EQ(runSetOperation(rig.session, rig.controls, steps), OperationOutcome::accepted);
    // Unanswered requests cost their 24 ms of writing and a 10 ms spin, no reply wait.
    EXPECT_EQ(rig.timeline(), (Lines{"open COM3 9600,e,8,1 @0", "send 0000AS @100", "send 0000BA1KESTO @224",
                                     "send 0000BB0FF @458", "send 0000BA2 @692", "close @716"}));
}

TEST(SetOperationOptions, eachOptionRunsInItsPlace)
{
    ReaderRig rig;
    rig.readerReady();
    rig.device.responder = ReplyScript().then("0000AS", statusReply()).then("0000AI", ackReply()).responder();
    Lines order;
    OperationOptions options;
    options.earlyPreparation = [&] {
        rig.controls.selectTitleMode(2);
        order.push_back("early, passes " + std::to_string(rig.controls.eventPasses));
    };
    options.preparation = [&] { order.push_back("preparation, passes " + std::to_string(rig.controls.eventPasses)); };
    options.progressText = [&] {
        order.push_back("progress");
        return std::string("Set &Factory Default");
    };
    options.operatorChoice = [&] {
        order.push_back(rig.link.isOpen() ? "choice, open" : "choice, closed");
        return true;
    };
    options.onAccepted = [&] { order.push_back(rig.link.isOpen() ? "accepted, open" : "accepted, closed"); };

    EXPECT_EQ(runSetOperation(rig.session, rig.controls, {step("0000AI")}, options), OperationOutcome::accepted);
    // One pass of events between the early preparation and the disabling of the window.
    EXPECT_EQ(order, (Lines{"early, passes 0", "preparation, passes 1", "progress", "choice, closed", "accepted, open"}));
    EXPECT_EQ(rig.controls.eventPasses, 1);
    EXPECT_EQ(rig.controls.calls, (Lines{"cursor wait", "title mode 2", "disable", "message Set &Factory Default", "lamp yellow",
                                         "message Set Ok", "beep 1000 300", "enable", "cursor default"}));
}

TEST(SetOperationOptions, aCancelledChoiceEndsSilentlyWithTheWindowBack)
{
    ReaderRig rig;
    rig.readerReady();
    OperationOptions options;
    options.progressText = [] { return std::string("Icon Title"); };
    options.operatorChoice = [&] {
        rig.controls.chooseIconFile("/tmp");
        return false;
    };
    bool accepted = false;
    options.onAccepted = [&] { accepted = true; };

    EXPECT_EQ(runSetOperation(rig.session, rig.controls, {step("0000BA2")}, options), OperationOutcome::cancelled);
    EXPECT_TRUE(rig.device.events.empty());
    EXPECT_TRUE(rig.clock.sleeps.empty());
    EXPECT_FALSE(accepted);
    EXPECT_EQ(rig.controls.calls, (Lines{"cursor wait", "disable", "message Icon Title", "dialog", "enable", "cursor default"}));
}

TEST(SetOperationOptions, theEarlyPreparationRunsEvenWithoutAReaderButNothingAfterIt)
{
    ReaderRig rig;
    Lines order;
    OperationOptions options;
    options.earlyPreparation = [&] { rig.controls.selectTitleMode(1); };
    options.preparation = [&] { order.push_back("preparation"); };
    options.operatorChoice = [&] {
        order.push_back("choice");
        return true;
    };

    EXPECT_EQ(runSetOperation(rig.session, rig.controls, {step("0000BA1")}, options), OperationOutcome::noReader);
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(rig.controls.eventPasses, 1);
    EXPECT_EQ(rig.controls.calls, (Lines{"cursor wait", "title mode 1", "disable", "lamp red",
                                         "message Start Scan Punch-card Reader!", "beep 300 300", "enable", "cursor default"}));
}

TEST(SetOperationOptions, anExceptionFromAStepStillClosesThePortAndGivesTheWindowBack)
{
    ReaderRig rig;
    rig.readerReady();
    rig.device.responder = ReplyScript().then("0000AS", statusReply()).responder();
    CommandStep failing;
    failing.routine = [] { throw std::runtime_error("out of memory"); };

    EXPECT_THROW(runSetOperation(rig.session, rig.controls, {failing}), std::runtime_error);
    EXPECT_FALSE(rig.device.isOpen());
    EXPECT_EQ(rig.device.wire().back(), "close");
    EXPECT_EQ(rig.controls.calls, (Lines{"cursor wait", "disable", "enable", "cursor default"}));
}

} // namespace
} // namespace tempik::testing
