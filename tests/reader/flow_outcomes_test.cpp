// The common flow of the set operations: what reaches the wire and what the operator is shown,
// for each way an operation can end.
#include "reader/set_operation.h"
#include "tests/support/reader_rig.h"
#include "texts/text_table.h"

#include <gtest/gtest.h>

namespace tempik::testing {
namespace {

using Lines = std::vector<std::string>;

const Lines setOkShown = {"lamp yellow", "message Set Ok", "beep 1000 300"};
const Lines setErrorShown = {"lamp red", "message Set Error", "beep 300 300"};

std::vector<CommandStep> passwordStep(int* built = nullptr)
{
    CommandStep step;
    step.payload = [built] {
        if (built)
            ++*built;
        return std::string("0000BF6082");
    };
    return {step};
}

Lines framed(const Lines& shown)
{
    Lines calls = {"cursor wait", "disable"};
    calls.insert(calls.end(), shown.begin(), shown.end());
    calls.push_back("enable");
    calls.push_back("cursor default");
    return calls;
}

TEST(SetOperationFlow, withoutReaderFoundNothingIsOpenedAndTheOperatorIsToldToScan)
{
    ReaderRig rig;
    rig.readerReady();
    rig.session.readerFound = false;
    bool prepared = false;
    OperationOptions options;
    options.preparation = [&] { prepared = true; };
    options.progressText = [] { return std::string("progress"); };

    const OperationOutcome outcome = runSetOperation(rig.session, rig.controls, passwordStep(), options);

    EXPECT_EQ(outcome, OperationOutcome::noReader);
    EXPECT_TRUE(rig.device.events.empty());
    EXPECT_TRUE(rig.clock.sleeps.empty());
    EXPECT_FALSE(prepared);
    EXPECT_EQ(rig.controls.calls, framed({"lamp red", "message Start Scan Punch-card Reader!", "beep 300 300"}));
}

TEST(SetOperationFlow, aPortThatDoesNotOpenFailsAtOnceWithoutPauseOrClose)
{
    struct Row {
        const char* name;
        DeviceFailure refusal;
    };
    for (const Row& row : {Row{"busy", DeviceFailure::busy}, Row{"denied", DeviceFailure::accessDenied}}) {
        SCOPED_TRACE(row.name);
        ReaderRig rig;
        rig.readerReady();
        rig.device.refusing["COM3"] = row.refusal;

        EXPECT_EQ(runSetOperation(rig.session, rig.controls, passwordStep()), OperationOutcome::failed);
        EXPECT_EQ(rig.device.wire(), Lines{"open-failed COM3"});
        EXPECT_TRUE(rig.clock.sleeps.empty());
        EXPECT_EQ(rig.controls.calls, framed(setErrorShown));
    }
}

TEST(SetOperationFlow, aStatusReplyOfAnyOtherLengthThan21IsNoAnswer)
{
    struct Row {
        const char* name;
        size_t dataLength;
        size_t frameLength;
    };
    for (const Row& row : {Row{"twenty bytes", 13, 20}, Row{"twenty-two bytes", 15, 22}}) {
        SCOPED_TRACE(row.name);
        ReaderRig rig;
        rig.readerReady();
        const std::vector<uint8_t> reply = statusReply("0042", "12345678", row.dataLength);
        ASSERT_EQ(reply.size(), row.frameLength);
        rig.device.responder = ReplyScript().then("0000AS", reply).then("0000AS", reply).then("0000BF6082", ackReply()).responder();

        EXPECT_EQ(runSetOperation(rig.session, rig.controls, passwordStep()), OperationOutcome::failed);
        EXPECT_EQ(rig.device.wire(), (Lines{"open COM3 9600,e,8,1", "send 0000AS", "send 0000AS", "close"}));
        EXPECT_EQ(rig.controls.calls, framed(setErrorShown));
    }
}

TEST(SetOperationFlow, aCommandNeverAnsweredIsSentInBothAttemptsAfterAFreshStatusQuery)
{
    ReaderRig rig;
    rig.readerReady();
    rig.device.responder = ReplyScript().then("0000AS", statusReply()).then("0000AS", statusReply()).responder();
    int built = 0;

    EXPECT_EQ(runSetOperation(rig.session, rig.controls, passwordStep(&built)), OperationOutcome::failed);
    EXPECT_EQ(rig.device.wire(), (Lines{"open COM3 9600,e,8,1", "send 0000AS", "send 0000BF6082", "send 0000AS",
                                        "send 0000BF6082", "close"}));
    EXPECT_EQ(built, 2);   // the payload is read from the control in every attempt
    EXPECT_EQ(rig.controls.calls, framed(setErrorShown));
}

TEST(SetOperationFlow, aCommandAnsweredOnlyInTheSecondAttemptSucceeds)
{
    ReaderRig rig;
    rig.readerReady();
    rig.device.responder = ReplyScript()
                               .then("0000AS", statusReply())
                               .then("0000AS", statusReply())
                               .silence("0000BF6082")
                               .then("0000BF6082", ackReply())
                               .responder();

    EXPECT_EQ(runSetOperation(rig.session, rig.controls, passwordStep()), OperationOutcome::accepted);
    // The second attempt starts with its own pause after the first command's failed reply wait.
    EXPECT_EQ(rig.timeline(), (Lines{"open COM3 9600,e,8,1 @0", "send 0000AS @100", "send 0000BF6082 @224",
                                     "send 0000AS @469", "send 0000BF6082 @593", "close @617"}));
    EXPECT_EQ(rig.controls.calls, framed(setOkShown));
}

TEST(SetOperationFlow, anyWellFormedReplyToACommandIsAcceptanceButABadCheckIsNot)
{
    struct Row {
        const char* name;
        std::vector<uint8_t> reply;
        OperationOutcome outcome;
    };
    std::vector<uint8_t> badCheck = ackReply();
    badCheck[badCheck.size() - 2] = badCheck[badCheck.size() - 2] == '0' ? '1' : '0';
    const Row rows[] = {
        {"acknowledgement", ackReply(), OperationOutcome::accepted},
        {"a status reply", statusReply("9999", "ABCDEFGH"), OperationOutcome::accepted},
        {"a refusal text", buildReplyFrame("0000NO\x11\x13"), OperationOutcome::accepted},
        {"wrong check digits", badCheck, OperationOutcome::failed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ReaderRig rig;
        rig.readerReady();
        rig.device.responder = ReplyScript()
                                   .then("0000AS", statusReply())
                                   .then("0000BF6082", row.reply)
                                   .then("0000AS", statusReply())
                                   .then("0000BF6082", row.reply)
                                   .responder();
        EXPECT_EQ(runSetOperation(rig.session, rig.controls, passwordStep()), row.outcome);
        EXPECT_EQ(rig.device.requests().size(), row.outcome == OperationOutcome::accepted ? 2u : 4u);
    }
}

TEST(SetOperationFlow, theOutcomeReportIsInTheWindowLanguage)
{
    ReaderRig rig;
    rig.readerReady();
    rig.settings.uiLanguage = 1;
    reportOutcome(rig.session, rig.controls, OperationOutcome::accepted);
    reportOutcome(rig.session, rig.controls, OperationOutcome::cancelled);
    EXPECT_EQ(rig.controls.calls,
              (Lines{"lamp yellow", "message " + text(txtSetOk, 1), "beep 1000 300"}));
    EXPECT_NE(text(txtSetOk, 1), "Set Ok");
}

} // namespace
} // namespace tempik::testing
