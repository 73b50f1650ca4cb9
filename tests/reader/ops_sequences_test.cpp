// What goes over the wire, when, and what the operator sees, for the set operations whose
// flow has a twist: texts not waited for, the title text's mode command, settle pauses, the
// clock read once, and the operations that change the link settings.
#include "tests/reader/ops_fixture.h"

#include "reader/control_values.h"

namespace tempik::testing {
namespace {

using Operation = OperationOutcome (ReaderOperations::*)();

struct NamedOperation {
    const char* name;
    Operation operation;
    const char* textCommand;   // the first seven characters of its text payload
};

const NamedOperation textOperations[] = {
    {"title clear", &ReaderOperations::btnTitleClearClick, "0000BA1"},
    {"install", &ReaderOperations::btnInstallClick, "0000BA3"},
    {"install clear", &ReaderOperations::btnClrInstallClick, "0000BA3"},
    {"title message", &ReaderOperations::btnTitleMessageClick, "0000BA4"},
    {"title message clear", &ReaderOperations::btnClrTitleClick, "0000BA4"},
    {"show message", &ReaderOperations::btnShowMessageClick, "0000BI"},
};

class TextSequenceTest : public OperationsTest {};

TEST_F(TextSequenceTest, TitleTextThenModeCommandAwaitedAfter200Ms)
{
    controls.titleMode = 0;
    EXPECT_EQ(operations.btnTitleClick(), OperationOutcome::accepted);

    const std::vector<std::string> wire = {"open COM3 19200,e,8,1", "send 0000AS", "send 0000BA1KESTO Technology",
                                           "send 0000BA1", "close"};
    EXPECT_EQ(device.wire(), wire);
    // 100 ms, status exchange, 100 ms, text and its 10 ms spin, 200 ms, mode exchange.
    const uint32_t status = 100;
    const uint32_t text = status + frameMs + 100;
    const uint32_t mode = text + frameMs + unawaitedSpinMs + 200;
    EXPECT_EQ(frameStarts(), (std::vector<uint32_t>{status, text, mode}));
    EXPECT_EQ(closedAfter(), mode + frameMs);
    // The selection is painted once before the window greys out.
    EXPECT_EQ(controls.titleMode, 1);
    EXPECT_EQ(controls.eventPasses, 1);
    const std::vector<std::string> shown = {"title mode 1", "lamp yellow", "message Set Ok", "beep 1000 300"};
    EXPECT_EQ(controls.shown(), shown);
}

TEST_F(TextSequenceTest, TitleTextFailsWhenTheModeCommandIsNeverAnswered)
{
    reader.textsAnswered = false;
    reader.silences["0000BA1"] = 4;   // neither texts nor mode commands get an answer
    EXPECT_EQ(operations.btnTitleClick(), OperationOutcome::failed);
    const std::vector<std::string> sentExpected = {"0000AS", "0000BA1KESTO Technology", "0000BA1",
                                                   "0000AS", "0000BA1KESTO Technology", "0000BA1"};
    EXPECT_EQ(sent(), sentExpected);
    EXPECT_EQ(controls.message, "Set Error");
}

TEST_F(TextSequenceTest, ReaderSilentToTextsStillAcceptsEveryOtherTextOperation)
{
    for (const NamedOperation& op : textOperations) {
        SCOPED_TRACE(op.name);
        device.events.clear();
        reader.textsAnswered = false;
        EXPECT_EQ((operations.*op.operation)(), OperationOutcome::accepted);
        const std::vector<std::string> payloads = sent();
        ASSERT_EQ(payloads.size(), 2u);
        EXPECT_EQ(payloads[0], "0000AS");
        EXPECT_EQ(payloads[1].rfind(op.textCommand, 0), 0u);
        EXPECT_EQ(controls.message, "Set Ok");
        EXPECT_EQ(controls.calls.back(), "cursor default");
    }
}

TEST_F(TextSequenceTest, FirstStatusCheckFailsSoTheTextGoesOutOnceInTheSecondAttempt)
{
    for (const NamedOperation& op : textOperations) {
        SCOPED_TRACE(op.name);
        device.events.clear();
        reader.silences["0000AS"] = 1;
        EXPECT_EQ((operations.*op.operation)(), OperationOutcome::accepted);
        const std::vector<std::string> payloads = sent();
        ASSERT_EQ(payloads.size(), 3u);
        EXPECT_EQ(payloads[0], "0000AS");
        EXPECT_EQ(payloads[1], "0000AS");
        EXPECT_EQ(payloads[2].rfind(op.textCommand, 0), 0u);
    }
    device.events.clear();
    reader.silences["0000AS"] = 1;
    EXPECT_EQ(operations.btnTitleClick(), OperationOutcome::accepted);
    EXPECT_EQ(sent(), (std::vector<std::string>{"0000AS", "0000AS", "0000BA1KESTO Technology", "0000BA1"}));
}

TEST_F(TextSequenceTest, NoReaderSendsNothingButTheTitleSelectionStays)
{
    session.readerFound = false;
    controls.titleMode = 0;
    EXPECT_EQ(operations.btnTitleClick(), OperationOutcome::noReader);
    EXPECT_TRUE(device.events.empty());
    EXPECT_EQ(controls.titleMode, 1);
    EXPECT_EQ(controls.message, "Start Scan Punch-card Reader!");

    EXPECT_EQ(operations.btnInstallClick(), OperationOutcome::noReader);
    EXPECT_TRUE(device.events.empty());
    EXPECT_EQ(controls.titleMode, 2);
}

TEST_F(TextSequenceTest, AcceptedInstallMessageTakesTheSerialNumberWithoutEot)
{
    controls.install = "Front door";
    reader.serials = {"SN-77-A9"};
    EXPECT_EQ(operations.btnInstallClick(), OperationOutcome::accepted);
    EXPECT_EQ(controls.install, "SN-77-A9");
    EXPECT_EQ(controls.titleMode, 2);
    EXPECT_EQ(sent()[1], "0000BA3Front door      ");

    // The next press sends that serial number, fitted to the field like any text.
    device.events.clear();
    operations.btnInstallClick();
    EXPECT_EQ(sent()[1], "0000BA3SN-77-A9        ");
}

TEST_F(TextSequenceTest, FailedInstallMessageKeepsTheOperatorsText)
{
    controls.install = "Front door";
    reader.silences["0000AS"] = 2;
    EXPECT_EQ(operations.btnInstallClick(), OperationOutcome::failed);
    EXPECT_EQ(controls.install, "Front door");
}

TEST_F(TextSequenceTest, ClearOperationsLeaveTheEditBoxesAndTitleModeAlone)
{
    controls.titleMode = 0;
    operations.btnTitleClearClick();
    operations.btnClrInstallClick();
    operations.btnClrTitleClick();
    EXPECT_EQ(controls.titleMode, 0);
    EXPECT_EQ(controls.title, controlValues::edTitle.text);
    EXPECT_EQ(controls.install, controlValues::edInstall.text);
    EXPECT_EQ(controls.titleMessage, controlValues::edMessage.text);
}

// How long the channel stays open after the status query began, for an accepted operation.
struct SettleRow : NamedRow {
    Operation operation;
    uint32_t closedAfter;
};

class SettleTest : public OperationsTest, public ::testing::WithParamInterface<SettleRow> {};

TEST_P(SettleTest, ChannelClosesAfterTheSettlePause)
{
    EXPECT_EQ((operations.*GetParam().operation)(), OperationOutcome::accepted);
    EXPECT_EQ(closedAfter(), GetParam().closedAfter);
}

constexpr uint32_t awaitedOnly = 100 + frameMs + 100 + frameMs;
constexpr uint32_t unawaitedOnly = 100 + frameMs + 100 + frameMs + unawaitedSpinMs;

INSTANTIATE_TEST_SUITE_P(
    Operations, SettleTest,
    ::testing::Values(SettleRow{"Volume", &ReaderOperations::btnVolumeClick, awaitedOnly},
                      SettleRow{"CardType", &ReaderOperations::btnCardTypeClick, awaitedOnly + 100},
                      SettleRow{"Idle", &ReaderOperations::btnIdleClick, awaitedOnly + 100},
                      SettleRow{"ShowMessage", &ReaderOperations::btnShowMessageClick, unawaitedOnly},
                      SettleRow{"TitleClear", &ReaderOperations::btnTitleClearClick, unawaitedOnly + 200}),
    rowName);

class DateTimeTest : public OperationsTest {};

TEST_F(DateTimeTest, ClockIsReadOnceBeforeAnythingElse)
{
    int reads = 0;
    size_t callsAtRead = 99;
    operations.setLocalTimeSource([&] {
        ++reads;
        callsAtRead = controls.calls.size();
        std::tm t{};
        t.tm_year = 125;
        t.tm_mon = 0;
        t.tm_mday = 2;
        t.tm_hour = 23;
        t.tm_min = 59;
        t.tm_sec = 58;
        return t;
    });
    controls.hour = 1;
    reader.silences["0000AA"] = 1;

    EXPECT_EQ(operations.btnDateTimeClick(), OperationOutcome::accepted);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(callsAtRead, 0u);
    const std::vector<std::string> expected = {"0000AS", "0000BD1", "0000AA20250102235958",
                                               "0000AS", "0000BD1", "0000AA20250102235958"};
    EXPECT_EQ(sent(), expected);
}

TEST_F(DateTimeTest, NoReaderStillReadsTheClockButSendsNothing)
{
    int reads = 0;
    operations.setLocalTimeSource([&] {
        ++reads;
        return std::tm{};
    });
    session.readerFound = false;
    EXPECT_EQ(operations.btnDateTimeClick(), OperationOutcome::noReader);
    EXPECT_EQ(reads, 1);
    EXPECT_TRUE(device.events.empty());
}

class LinkSettingsTest : public OperationsTest {
protected:
    Settings stored()
    {
        Settings read;
        store.loadSettings(read);
        return read;
    }
};

TEST_F(LinkSettingsTest, AcceptedLineSpeedIsSavedAndUsedByTheNextOperation)
{
    controls.baudRate = 7;
    EXPECT_EQ(operations.btnBaudRateClick(), OperationOutcome::accepted);
    EXPECT_EQ(controls.shown().front(), "message Set BaudRate = 38400,e,8,1");
    EXPECT_EQ(settings.link.ScanBaudRateNo, 7);
    EXPECT_EQ(settings.link.ScanBaudRate, "38400,e,8,1");
    EXPECT_EQ(settings.link.ScanCommNo, 3);
    const Settings saved = stored();
    EXPECT_EQ(saved.link.ScanBaudRateNo, 7);
    EXPECT_EQ(saved.link.ScanBaudRate, "38400,e,8,1");
    EXPECT_EQ(saved.link.ScanCommNo, 3);
    EXPECT_TRUE(session.readerFound);

    // The change was made over the old line; the next operation opens with the new one.
    operations.btnVolumeClick();
    const std::vector<std::string> wire = {"open COM3 19200,e,8,1", "send 0000AS", "send 0000AE7", "close",
                                           "open COM3 38400,e,8,1", "send 0000AS", "send 0000BE9", "close"};
    EXPECT_EQ(device.wire(), wire);
}

TEST_F(LinkSettingsTest, UnansweredLineSpeedChangesNothing)
{
    store.saveLinkSettings(settings.link);
    controls.baudRate = 12;
    reader.silences["0000AE"] = 2;
    EXPECT_EQ(operations.btnBaudRateClick(), OperationOutcome::failed);
    EXPECT_EQ(settings.link.ScanBaudRateNo, 5);
    EXPECT_EQ(settings.link.ScanBaudRate, "19200,e,8,1");
    EXPECT_EQ(stored().link.ScanBaudRate, "19200,e,8,1");
    EXPECT_EQ(controls.baudRate, 12);
}

TEST_F(LinkSettingsTest, FactoryDefaultWithoutReplyResetsControlsButNotSettings)
{
    settings.link = LinkSettings{3, "38400,e,8,1", 7};
    store.saveLinkSettings(settings.link);
    controls.idPosition = 42;
    controls.idCaption = "0042";
    controls.baudRate = 7;
    reader.silences["0000AI"] = 2;

    EXPECT_EQ(operations.btnFactoryDefaultClick(), OperationOutcome::failed);

    EXPECT_EQ(controls.idPosition, 1);
    EXPECT_EQ(controls.idCaption, "0001");
    EXPECT_EQ(controls.baudRate, 5);
    EXPECT_EQ(settings.link.ScanBaudRate, "38400,e,8,1");
    EXPECT_EQ(settings.link.ScanBaudRateNo, 7);
    EXPECT_EQ(stored().link.ScanBaudRate, "38400,e,8,1");
    EXPECT_EQ(stored().link.ScanBaudRateNo, 7);
    EXPECT_EQ(sent(), (std::vector<std::string>{"0000AS", "0000AI", "0000AS", "0000AI"}));
    const std::vector<std::string> shown = {"id position 1", "message Set &Factory Default", "lamp red",
                                            "message Set Error", "beep 300 300"};
    EXPECT_EQ(controls.shown(), shown);
}

TEST_F(LinkSettingsTest, AcceptedFactoryDefaultSavesTheFactoryLine)
{
    settings.link = LinkSettings{4, "38400,e,8,1", 7};
    EXPECT_EQ(operations.btnFactoryDefaultClick(), OperationOutcome::accepted);
    EXPECT_EQ(settings.link.ScanBaudRate, "19200,e,8,1");
    EXPECT_EQ(settings.link.ScanBaudRateNo, 5);
    const Settings saved = stored();
    EXPECT_EQ(saved.link.ScanBaudRate, "19200,e,8,1");
    EXPECT_EQ(saved.link.ScanBaudRateNo, 5);
    EXPECT_EQ(saved.link.ScanCommNo, 4);
    EXPECT_EQ(device.wire().front(), "open COM4 38400,e,8,1");
}

TEST_F(LinkSettingsTest, FactoryDefaultWithoutReaderTouchesNoControl)
{
    session.readerFound = false;
    controls.idPosition = 42;
    controls.idCaption = "0042";
    controls.baudRate = 7;
    EXPECT_EQ(operations.btnFactoryDefaultClick(), OperationOutcome::noReader);
    EXPECT_EQ(controls.idCaption, "0042");
    EXPECT_EQ(controls.baudRate, 7);
    EXPECT_EQ(controls.shown(), (std::vector<std::string>{"lamp red", "message Start Scan Punch-card Reader!",
                                                          "beep 300 300"}));
}

} // namespace
} // namespace tempik::testing
