// Where the scan looks for the reader: the remembered port first, then ports 1 to 32 with one
// or all fourteen line definitions; what it stores when it finds the reader there.
#include "link/line_definition.h"
#include "tests/support/reader_rig.h"
#include "texts/text_table.h"

#include <gtest/gtest.h>

namespace tempik::testing {
namespace {

using Lines = std::vector<std::string>;

bool sameLink(const LinkSettings& a, const LinkSettings& b)
{
    return a.ScanCommNo == b.ScanCommNo && a.ScanBaudRate == b.ScanBaudRate && a.ScanBaudRateNo == b.ScanBaudRateNo;
}

TEST(ScanSweep, withNothingRememberedItStartsAtPortOneAndReadsTheReader)
{
    ReaderRig rig;   // ScanCommNo 0, chkLock ticked, "19200,e,8,1" stored
    rig.device.responder = readerOn("COM1", "19200,e,8,1");

    EXPECT_TRUE(rig.operations.btnScanClick());

    EXPECT_EQ(rig.timeline(), (Lines{"open COM1 19200,e,8,1 @0", "send 0000AS @0", "close @24",
                                     "open COM1 19200,e,8,1 @24", "send 0000AV @124", "close @248"}));
    EXPECT_EQ(rig.controls.calls, (Lines{"cursor wait", "busy on", "message Scan COM : #1", "id position 42",
                                         "message Get Reader Info Ok. (COM : #1)", "busy off", "lamp yellow",
                                         "beep 1000 300", "cursor default"}));
    EXPECT_EQ(rig.controls.serialText, "S/N : 12345678");
    EXPECT_EQ(rig.controls.versionText, "VER : 01.40-01");
    EXPECT_EQ(rig.controls.idCaption, "0042");
    EXPECT_EQ(rig.controls.baudRate, 5);
    EXPECT_EQ(rig.controls.eventPasses, 1);
    EXPECT_TRUE(rig.session.readerFound);
    EXPECT_TRUE(sameLink(rig.storedLinkSettings(), {1, "19200,e,8,1", 5}));
}

TEST(ScanSweep, aReaderOnTheRememberedPortAnswersTheFirstQueryAndNothingIsSaved)
{
    struct Row {
        const char* name;
        bool storeFileBefore;
        bool lockTicked;
    };
    for (const Row& row : {Row{"no store file, lock ticked", false, true}, Row{"store file present, lock off", true, false}}) {
        SCOPED_TRACE(row.name);
        ReaderRig rig;
        rig.settings.link = {3, "9600,e,8,1", 3};
        rig.controls.lock = row.lockTicked;
        if (row.storeFileBefore)
            rig.store.saveLinkSettings(rig.settings.link);
        const std::string before = rig.storeText();
        rig.device.responder = readerOn("COM3", "9600,e,8,1");

        EXPECT_TRUE(rig.operations.btnScanClick());

        Lines wire;
        appendTry(wire, 3, "9600,e,8,1", 1);
        appendVersionRead(wire, 3, "9600,e,8,1");
        EXPECT_EQ(rig.device.wire(), wire);
        EXPECT_EQ(rig.storeText(), before);
        EXPECT_EQ(rig.controls.baudRate, 3);
        EXPECT_EQ(rig.controls.message, "Get Reader Info Ok. (COM : #3)");
    }
}

TEST(ScanSweep, aSilentRememberedPortGetsThreeQueriesBackToBackThenTheSweep)
{
    ReaderRig rig;
    rig.ports.ports = {3};
    rig.settings.link = {3, "19200,e,8,1", 5};

    EXPECT_FALSE(rig.operations.btnScanClick());

    // 24 ms of writing and 121 ms of waiting per unanswered query.
    EXPECT_EQ(rig.timeline(), (Lines{"open COM3 19200,e,8,1 @0", "send 0000AS @0", "send 0000AS @145", "send 0000AS @290",
                                     "close @435", "open COM3 19200,e,8,1 @435", "send 0000AS @435", "send 0000AS @580",
                                     "close @725"}));
    EXPECT_EQ(rig.clock.sleeps.size(), 5u * 8u);   // write pacing only, no pause
    EXPECT_EQ(rig.controls.shown(), (Lines{"busy on", "message Scan COM : #3", "message Scan COM : #3",
                                           "message Reader Not Find", "busy off", "lamp red", "beep 300 300"}));
}

TEST(ScanSweep, withTheLockTickedEveryPortIsTriedOnceWithTheStoredDefinitionOnly)
{
    ReaderRig rig;
    rig.settings.link = {0, "9600,e,8,1", 3};
    rig.device.responder = readerOn("COM2", "19200,e,8,1");   // the reader runs at another speed
    rig.controls.serialText = "S/N : 87654321";                // left from an earlier scan
    rig.controls.versionText = "VER : 01.00-00";
    rig.controls.idCaption = "0007";
    const uint32_t start = rig.clock.nowMs();

    EXPECT_FALSE(rig.operations.btnScanClick());

    Lines wire;
    Lines shown = {"busy on"};
    for (int port = 1; port <= 32; ++port) {
        appendTry(wire, port, "9600,e,8,1", 2);
        shown.push_back("message Scan COM : #" + std::to_string(port));
    }
    shown.insert(shown.end(), {"message Reader Not Find", "busy off", "lamp red", "beep 300 300"});
    EXPECT_EQ(rig.device.wire(), wire);
    EXPECT_EQ(rig.controls.shown(), shown);
    EXPECT_EQ(rig.clock.nowMs() - start, 32u * 2u * (24u + 121u));
    EXPECT_EQ(rig.controls.serialText, "S/N : ________");
    EXPECT_EQ(rig.controls.versionText, "VER : __.__-__");
    EXPECT_EQ(rig.controls.idCaption, "___");
    EXPECT_EQ(rig.controls.baudRate, 5);
    EXPECT_FALSE(rig.session.readerFound);
    EXPECT_TRUE(sameLink(rig.settings.link, {0, "9600,e,8,1", 3}));
    EXPECT_EQ(rig.storeText(), "");
}

TEST(ScanSweep, withTheLockOffEachPortGetsEveryDefinitionUntilTheReaderAnswers)
{
    ReaderRig rig;
    rig.controls.lock = false;
    rig.device.responder = readerOn("COM2", "9600,e,8,1");

    EXPECT_TRUE(rig.operations.btnScanClick());

    Lines wire;
    for (int i = 0; i < lineDefinitionCount; ++i)
        appendTry(wire, 1, lineDefinitions[static_cast<size_t>(i)], 2);
    for (int i = 0; i < 3; ++i)
        appendTry(wire, 2, lineDefinitions[static_cast<size_t>(i)], 2);
    appendTry(wire, 2, "9600,e,8,1", 1);
    appendVersionRead(wire, 2, "9600,e,8,1");
    EXPECT_EQ(rig.device.wire(), wire);
    EXPECT_TRUE(sameLink(rig.settings.link, {2, "9600,e,8,1", 3}));
    EXPECT_TRUE(sameLink(rig.storedLinkSettings(), {2, "9600,e,8,1", 3}));
    EXPECT_EQ(rig.controls.baudRate, 3);
}

TEST(ScanSweep, portsThatDoNotOpenAreLeftAfterOneTry)
{
    ReaderRig rig;
    rig.controls.lock = false;
    rig.ports.ports = {2, 3, 4, 9};          // 1 is not a port at all
    rig.device.existing = {"COM2", "COM4"};  // 3 and 9 have no device
    rig.device.refusing["COM2"] = DeviceFailure::busy;
    rig.settings.link = {9, "19200,e,8,1", 5};
    rig.device.responder = readerOn("COM4", "4800,e,8,1");

    EXPECT_TRUE(rig.operations.btnScanClick());

    Lines wire = {"open-failed COM9", "open-failed COM2", "open-failed COM3"};
    appendTry(wire, 4, "4800,n,8,1", 2);
    appendTry(wire, 4, "4800,e,8,1", 1);
    appendVersionRead(wire, 4, "4800,e,8,1");
    EXPECT_EQ(rig.device.wire(), wire);
    // Nothing is shown for the ports that did not open.
    EXPECT_EQ(rig.controls.shown(), (Lines{"busy on", "message Scan COM : #4", "message Scan COM : #4", "id position 42",
                                           "message Get Reader Info Ok. (COM : #4)", "busy off", "lamp yellow",
                                           "beep 1000 300"}));
    EXPECT_TRUE(sameLink(rig.storedLinkSettings(), {4, "4800,e,8,1", 1}));
}

TEST(ScanSweep, aDeviceThatWentGoneIsNotTriedAgain)
{
    ReaderRig rig;
    rig.controls.lock = false;
    rig.ports.ports = {2, 3, 4};
    rig.device.goneAt = {"COM2", "COM3"};
    rig.settings.link = {2, "19200,e,8,1", 5};
    rig.device.responder = readerOn("COM4", "4800,n,8,1");

    EXPECT_TRUE(rig.operations.btnScanClick());

    Lines wire;
    appendTry(wire, 2, "19200,e,8,1", 1);   // nothing more is sent to a gone device
    appendTry(wire, 3, "4800,n,8,1", 1);
    appendTry(wire, 4, "4800,n,8,1", 1);
    appendVersionRead(wire, 4, "4800,n,8,1");
    EXPECT_EQ(rig.device.wire(), wire);
}

TEST(ScanSweep, theFixedPiecesFollowTheEntriesInEveryLanguage)
{
    for (int language : {0, 1, 2}) {
        SCOPED_TRACE(language);
        ReaderRig rig;
        rig.settings.uiLanguage = language;
        rig.ports.ports = {1};

        EXPECT_FALSE(rig.operations.btnScanClick());

        EXPECT_EQ(rig.controls.shown(), (Lines{"busy on", "message " + text(txtScanCom, language) + " : #1",
                                               "message " + text(txtReaderNotFound, language), "busy off", "lamp red",
                                               "beep 300 300"}));
        EXPECT_EQ(rig.controls.serialText, text(txtSerialNumber, language) + " : ________");
        EXPECT_EQ(rig.controls.versionText, text(txtVersion, language) + " : __.__-__");
    }
}

TEST(ScanSweep, aFailureInsideTheScanStillClosesThePortAndGivesTheWindowBack)
{
    ReaderRig rig;
    rig.device.responder = [](const std::string&, const std::string&, const std::string&) -> std::vector<uint8_t> {
        throw std::runtime_error("device driver fault");
    };

    EXPECT_THROW(rig.operations.btnScanClick(), std::runtime_error);
    EXPECT_FALSE(rig.device.isOpen());
    EXPECT_EQ(rig.device.wire(), (Lines{"open COM1 19200,e,8,1", "send 0000AS", "close"}));
    EXPECT_EQ(rig.controls.calls, (Lines{"cursor wait", "busy on", "message Scan COM : #1", "busy off", "cursor default"}));
}

} // namespace
} // namespace tempik::testing
