// What the scan makes of the reader's replies once it has found it: identifier, serial number
// and version in the panels, the version read and its failures, and stored values that do not
// fit the list of line definitions.
#include "tests/support/reader_rig.h"

#include <gtest/gtest.h>

namespace tempik::testing {
namespace {

using Lines = std::vector<std::string>;

const Lines readInfoOk = {"busy on", "message Scan COM : #1", "message Get Reader Info Ok. (COM : #1)", "busy off",
                          "lamp yellow", "beep 1000 300"};

TEST(ScanReply, theIdentifierIsShownAsItStandsAndMovesTheScrollBar)
{
    struct Row {
        const char* name;
        std::string identifier;
        std::string position;    // what the scroll bar was asked, after its own range check
        std::string caption;     // pnID at the end
    };
    const Row rows[] = {
        {"0042", "0042", "id position 42", "0042"},
        {"9999", "9999", "id position 9999", "9999"},
        // Out of the scroll bar's range: it stays at 1 and does not rewrite the caption.
        {"0000", "0000", "id position 1", "0000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ReaderRig rig;
        rig.device.responder = readerOn("COM1", "19200,e,8,1", statusReply(row.identifier, "SN\x11\x13" "5678"));

        EXPECT_TRUE(rig.operations.btnScanClick());

        Lines shown = readInfoOk;
        shown.insert(shown.begin() + 2, row.position);
        EXPECT_EQ(rig.controls.shown(), shown);
        EXPECT_EQ(rig.controls.idCaption, row.caption);
        EXPECT_EQ(rig.controls.serialText, "S/N : SN\x11\x13" "5678");
    }
}

TEST(ScanReply, anIdentifierThatIsNotFourDigitsEndsTheScanAsAFailedRead)
{
    struct Row {
        const char* name;
        std::string identifier;
        std::string caption;
        std::string serialText;
    };
    const Row rows[] = {
        {"a letter", "00A2", "00A2", "S/N : 12345678"},
        {"a leading space", " 042", " 042", "S/N : 12345678"},
        {"a sign", "+042", "+042", "S/N : 12345678"},
        // A zero byte cuts the reply text right after the ETX: nothing of it can be shown.
        {"a zero byte", std::string("\0" "042", 4), "", "S/N : "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ReaderRig rig;
        rig.device.responder = readerOn("COM1", "19200,e,8,1", statusReply(row.identifier));

        EXPECT_FALSE(rig.operations.btnScanClick());

        Lines wire;
        appendTry(wire, 1, "19200,e,8,1", 1);
        EXPECT_EQ(rig.device.wire(), wire);   // no version query
        EXPECT_EQ(rig.controls.calls, (Lines{"cursor wait", "busy on", "message Scan COM : #1",
                                             "message Get Reader Info Error. (COM : #1)", "busy off", "lamp red",
                                             "beep 300 300", "cursor default"}));
        EXPECT_EQ(rig.controls.idCaption, row.caption);
        EXPECT_EQ(rig.controls.serialText, row.serialText);
        EXPECT_FALSE(rig.session.readerFound);
    }
}

TEST(ScanReply, aVersionNotReadEndsWithTheErrorButKeepsWhatTheSweepFound)
{
    struct Row {
        const char* name;
        bool reopenRefused;
        Lines tail;   // the wire after the status query that found the reader
    };
    const Row rows[] = {
        {"never answered", false,
         {"close @314", "open COM2 19200,e,8,1 @314", "send 0000AV @414", "send 0000AV @659", "close @804"}},
        {"port not opened again", true, {"close @314", "open-failed COM2 @314"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ReaderRig rig;
        const Responder reader = readerOn("COM2", "19200,e,8,1", statusReply(), {});
        FakeDevice& device = rig.device;
        device.responder = [&, reader](const std::string& path, const std::string& line, const std::string& payload) {
            std::vector<uint8_t> reply = reader(path, line, payload);
            if (row.reopenRefused && !reply.empty())
                device.refusing[path] = DeviceFailure::busy;
            return reply;
        };

        EXPECT_FALSE(rig.operations.btnScanClick());

        Lines timeline = {"open COM1 19200,e,8,1 @0", "send 0000AS @0", "send 0000AS @145", "close @290",
                          "open COM2 19200,e,8,1 @290", "send 0000AS @290"};
        timeline.insert(timeline.end(), row.tail.begin(), row.tail.end());
        EXPECT_EQ(rig.timeline(), timeline);
        EXPECT_EQ(rig.controls.shown(), (Lines{"busy on", "message Scan COM : #1", "message Scan COM : #2", "id position 42",
                                               "message Get Reader Info Error. (COM : #2)", "busy off", "lamp red",
                                               "beep 300 300"}));
        EXPECT_EQ(rig.controls.serialText, "S/N : 12345678");
        EXPECT_EQ(rig.controls.idCaption, "0042");
        EXPECT_EQ(rig.controls.versionText, "VER : __.__-__");
        EXPECT_FALSE(rig.session.readerFound);
        const LinkSettings stored = rig.storedLinkSettings();
        EXPECT_EQ(stored.ScanCommNo, 2);
        EXPECT_EQ(stored.ScanBaudRate, "19200,e,8,1");
        EXPECT_EQ(stored.ScanBaudRateNo, 5);
    }
}

TEST(ScanReply, theVersionIsReadInTheSecondQueryAndAShortReplyGivesWhatItHas)
{
    struct Row {
        const char* name;
        std::vector<uint8_t> version;
        int versionQueries;
        std::string shown;
    };
    const std::vector<uint8_t> shortReply = buildReplyFrame("0042001");
    const Row rows[] = {
        {"answered the second time", versionReply("02.10-\x11\x13"), 2, "VER : 02.10-\x11\x13"},
        // Position 8 on: "1", then the EOT, the check digits and the CR, seven characters.
        {"short reply", shortReply, 1, "VER : " + bytesText(shortReply).substr(7)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ReaderRig rig;
        const Responder reader = readerOn("COM1", "19200,e,8,1", statusReply(), row.version);
        int versionQueries = 0;
        rig.device.responder = [&, reader](const std::string& path, const std::string& line, const std::string& payload) {
            if (payload == "0000AV" && ++versionQueries < row.versionQueries)
                return std::vector<uint8_t>();
            return reader(path, line, payload);
        };

        EXPECT_TRUE(rig.operations.btnScanClick());
        EXPECT_EQ(versionQueries, row.versionQueries);
        EXPECT_EQ(rig.controls.versionText, row.shown);
        EXPECT_TRUE(rig.session.readerFound);
    }
}

// A stored index outside 0..13 is taken as the factory index 5 wherever it picks from the list;
// the stored definition text is still what the remembered port is opened with.
TEST(ScanReply, aStoredIndexOutsideTheListCountsAsTheFactoryIndex)
{
    struct Row {
        const char* name;
        LinkSettings stored;
        std::string readerPath;
        std::string readerLine;
        Lines wire;
        LinkSettings after;
        bool saved;
    };
    const Row rows[] = {
        {"remembered port", {3, "9600,e,8,1", 14}, "COM3", "9600,e,8,1",
         {"open COM3 9600,e,8,1", "send 0000AS", "close", "open COM3 9600,e,8,1", "send 0000AV", "close"},
         {3, "9600,e,8,1", 14}, false},
        {"locked sweep", {0, "9600,e,8,1", -1}, "COM2", "19200,e,8,1",
         {"open COM1 19200,e,8,1", "send 0000AS", "send 0000AS", "close", "open COM2 19200,e,8,1", "send 0000AS", "close",
          "open COM2 19200,e,8,1", "send 0000AV", "close"},
         {2, "19200,e,8,1", 5}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ReaderRig rig;
        rig.settings.link = row.stored;
        rig.device.responder = readerOn(row.readerPath, row.readerLine);

        EXPECT_TRUE(rig.operations.btnScanClick());
        EXPECT_EQ(rig.device.wire(), row.wire);
        EXPECT_EQ(rig.controls.baudRate, 5);
        EXPECT_EQ(rig.settings.link.ScanCommNo, row.after.ScanCommNo);
        EXPECT_EQ(rig.settings.link.ScanBaudRate, row.after.ScanBaudRate);
        EXPECT_EQ(rig.settings.link.ScanBaudRateNo, row.after.ScanBaudRateNo);
        EXPECT_EQ(rig.storeText().empty(), !row.saved);
    }
}

TEST(ScanReply, aStoredIndexOutsideTheListSelectsTheFactoryItemWhenNothingIsFound)
{
    ReaderRig rig;
    rig.ports.ports = {1, 2};
    rig.settings.link = {0, "4800,n,8,1", 1000};
    EXPECT_FALSE(rig.operations.btnScanClick());
    Lines wire;
    appendTry(wire, 1, "19200,e,8,1", 2);
    appendTry(wire, 2, "19200,e,8,1", 2);
    EXPECT_EQ(rig.device.wire(), wire);
    EXPECT_EQ(rig.settings.link.ScanBaudRateNo, 1000);
    EXPECT_EQ(rig.storeText(), "");
}

} // namespace
} // namespace tempik::testing
