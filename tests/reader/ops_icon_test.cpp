// The icon title: icon files written here, the preview as drawn on a recording canvas, the
// eight blocks on the wire, and the ways the operation can end.
#include "tests/reader/ops_fixture.h"

#include "reader/icon_title.h"

#include <cstdio>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tempik::testing {
namespace {

std::string hexOf(const std::array<uint8_t, 32>& block)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : block) {
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

struct IconRow : NamedRow {
    std::function<IconBytes()> file;
    std::set<std::pair<int, int>> onPixels;            // what the preview must show black
    std::function<uint8_t(int block, int byte)> block;  // what the reader must get
    bool allOn = false;
};

const IconRow iconRows[] = {
    {"AllWhite", [] { return IconBytes(); }, {}, [](int, int) { return uint8_t{0x00}; }},
    {"AllBlack",
     [] {
         IconBytes icon;
         std::fill(icon.bytes.begin() + 70, icon.bytes.end(), 0x00);
         return icon;
     },
     {}, [](int, int) { return uint8_t{0xFF}; }, true},
    {"OnlyTopLeft",
     [] {
         IconBytes icon;
         icon.bytes[310] = 0x7F;   // the first byte of the last row in the file
         return icon;
     },
     {{0, 0}}, [](int block, int byte) { return uint8_t(block == 0 && byte == 0 ? 0x01 : 0x00); }},
    {"OnlyBottomRight",
     [] {
         IconBytes icon;
         icon.bytes[85] = 0xFE;   // the last byte of the first row in the file
         return icon;
     },
     {{127, 15}}, [](int block, int byte) { return uint8_t(block == 7 && byte == 31 ? 0x80 : 0x00); }},
    {"OnlyX16Y8", [] { return IconBytes().on(16, 8); }, {{16, 8}},
     [](int block, int byte) { return uint8_t(block == 1 && byte == 16 ? 0x01 : 0x00); }},
    {"ColumnX33RowsY0ToY9",
     [] {
         IconBytes icon;
         for (int y = 0; y < 10; ++y)
             icon.on(33, y);
         return icon;
     },
     {{33, 0}, {33, 1}, {33, 2}, {33, 3}, {33, 4}, {33, 5}, {33, 6}, {33, 7}, {33, 8}, {33, 9}},
     [](int block, int byte) { return uint8_t(block != 2 ? 0x00 : byte == 1 ? 0xFF : byte == 17 ? 0x03 : 0x00); }},
    {"ShorterThan326Bytes",
     [] {
         // The file ends after 30 pixel bytes, all black: the first row (y = 15) and the
         // first 14 bytes of the second (y = 14, x 0 to 111); the rest reads as white.
         IconBytes icon;
         icon.bytes.resize(100);
         std::fill(icon.bytes.begin() + 70, icon.bytes.end(), 0x00);
         return icon;
     },
     [] {
         std::set<std::pair<int, int>> on;
         for (int x = 0; x < 128; ++x)
             on.insert({x, 15});
         for (int x = 0; x < 112; ++x)
             on.insert({x, 14});
         return on;
     }(),
     [](int block, int byte) {
         if (byte < 16)
             return uint8_t{0x00};
         const int x = 16 * block + byte - 16;
         return uint8_t(x < 112 ? 0xC0 : 0x80);
     }},
};

class IconTest : public OperationsTest {
protected:
    IconTest()
    {
        operations.setWorkingFolderSource([this] { return folder.path(); });
        controls.iconFile = folder.path() + "/title.ico";
    }

    std::vector<std::string> blocks() const
    {
        std::vector<std::string> found;
        for (const std::string& payload : sent())
            if (payload.rfind("0000BB", 0) == 0)
                found.push_back(payload);
        return found;
    }

    void expectPreview(const std::set<std::pair<int, int>>& on, bool allOn)
    {
        int wrong = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < RecordingCanvas::width; ++x) {
                const bool black = x < 256 && (allOn || on.count({x / 2, y / 2}) == 1);
                // The white ground ends at row 30; right of the picture below it, nothing is drawn.
                const char expected = x >= 256 && y >= 30 ? '?' : black ? '#' : '.';
                if (controls.canvas.at(x, y) != expected && ++wrong < 5)
                    ADD_FAILURE() << "preview pixel (" << x << ", " << y << ") is " << controls.canvas.at(x, y);
            }
        EXPECT_EQ(wrong, 0);
        // Below the picture nothing was drawn.
        EXPECT_EQ(controls.canvas.at(0, 32), '?');
    }
};

class IconPictureTest : public IconTest, public ::testing::WithParamInterface<IconRow> {};

TEST_P(IconPictureTest, PreviewAndBlocks)
{
    const IconRow& row = GetParam();
    row.file().write(folder.path() + "/title.ico");

    EXPECT_EQ(operations.btnTitleIconClick(), OperationOutcome::accepted);

    expectPreview(row.onPixels, row.allOn);
    const std::vector<std::string> sentBlocks = blocks();
    ASSERT_EQ(sentBlocks.size(), 8u);
    for (int n = 0; n < 8; ++n) {
        std::array<uint8_t, 32> expected{};
        for (int i = 0; i < 32; ++i)
            expected[static_cast<size_t>(i)] = row.block(n, i);
        EXPECT_EQ(sentBlocks[static_cast<size_t>(n)], "0000BB" + std::to_string(n) + hexOf(expected)) << "block " << n;
        EXPECT_EQ(sentBlocks[static_cast<size_t>(n)].size(), 71u);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, IconPictureTest, ::testing::ValuesIn(iconRows),
                         rowName);

TEST_F(IconTest, StatusBlocksThenModeCommandWithTheirPauses)
{
    IconBytes().on(5, 5).write(folder.path() + "/title.ico");
    int rectanglesAtFirstBlock = -1;
    link.setFrameObserver([&](ReaderLink::Direction direction, const std::vector<uint8_t>& frame) {
        const std::string text(frame.begin(), frame.end());
        if (direction == ReaderLink::Direction::sent && text.find("0000BB0") != std::string::npos)
            rectanglesAtFirstBlock = controls.canvas.rectangles;
    });

    EXPECT_EQ(operations.btnTitleIconClick(), OperationOutcome::accepted);

    std::vector<std::string> expected = {"0000AS"};
    for (const std::string& block : blocks())
        expected.push_back(block);
    expected.push_back("0000BA2");
    EXPECT_EQ(sent(), expected);
    // The white ground and all 2048 pixel squares, before the first block went out.
    EXPECT_EQ(rectanglesAtFirstBlock, 1 + 2048);

    std::vector<uint32_t> starts = {100};
    uint32_t t = 100 + frameMs + 100;
    for (int n = 0; n < 8; ++n) {
        starts.push_back(t);
        t += frameMs + unawaitedSpinMs + 200;
    }
    starts.push_back(t + 200);
    EXPECT_EQ(frameStarts(), starts);
    EXPECT_EQ(controls.dialogFolder, folder.path());
    EXPECT_EQ(controls.titleMode, 2);
    EXPECT_EQ(controls.shown(), (std::vector<std::string>{"title mode 2", "dialog", "lamp yellow", "message Set Ok",
                                                          "beep 1000 300"}));
}

TEST_F(IconTest, FileThatCannotBeOpenedSendsNoBlockButStillTheModeCommand)
{
    controls.iconFile = folder.path() + "/missing.ico";
    EXPECT_EQ(operations.btnTitleIconClick(), OperationOutcome::accepted);
    EXPECT_EQ(sent(), (std::vector<std::string>{"0000AS", "0000BA2"}));
    EXPECT_EQ(frameStarts(), (std::vector<uint32_t>{100, 100 + frameMs + 100 + 200}));
    EXPECT_EQ(controls.canvas.rectangles, 0);
    EXPECT_EQ(controls.shown(), (std::vector<std::string>{"title mode 2", "dialog", "message File open error!",
                                                          "lamp yellow", "message Set Ok", "beep 1000 300"}));
}

// What is not a regular file is refused at once: never a blank picture sent as if read from
// it, never an open that waits for a writer.
TEST_F(IconTest, WhatIsNotARegularFileIsAFileOpenError)
{
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const std::string fifo = folder.path() + "/fifo.ico";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::pair<const char*, std::string>> rows = {
        {"a folder", folder.path()},
        {"a pipe, as <(cat icon.ico) gives", "/dev/fd/" + std::to_string(pipeFds[0])},
        {"a device", "/dev/null"},
        {"a FIFO nobody writes to", fifo},
    };
    for (const auto& [name, path] : rows) {
        SCOPED_TRACE(name);
        device.events.clear();
        controls.calls.clear();
        controls.iconFile = path;
        EXPECT_EQ(operations.btnTitleIconClick(), OperationOutcome::accepted);
        EXPECT_EQ(sent(), (std::vector<std::string>{"0000AS", "0000BA2"}));
        EXPECT_EQ(controls.canvas.rectangles, 0);
        EXPECT_EQ(controls.shown(), (std::vector<std::string>{"title mode 2", "dialog", "message File open error!",
                                                              "lamp yellow", "message Set Ok", "beep 1000 300"}));
    }
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}

TEST_F(IconTest, CancelEndsSilently)
{
    controls.iconFile = std::nullopt;
    controls.titleMode = 0;
    EXPECT_EQ(operations.btnTitleIconClick(), OperationOutcome::cancelled);
    EXPECT_TRUE(device.events.empty());
    EXPECT_EQ(controls.titleMode, 2);
    EXPECT_EQ(controls.message, "Start Scan Punch-card Reader!");
    EXPECT_EQ(controls.shown(), (std::vector<std::string>{"title mode 2", "dialog"}));
    EXPECT_EQ(controls.calls.back(), "cursor default");
}

TEST_F(IconTest, NoReaderShowsNoDialog)
{
    session.readerFound = false;
    EXPECT_EQ(operations.btnTitleIconClick(), OperationOutcome::noReader);
    EXPECT_TRUE(device.events.empty());
    EXPECT_EQ(controls.titleMode, 2);
    EXPECT_EQ(controls.shown(), (std::vector<std::string>{"title mode 2", "lamp red",
                                                          "message Start Scan Punch-card Reader!", "beep 300 300"}));
}

TEST_F(IconTest, ModeAnsweredOnlyInTheSecondAttemptUploadsTwice)
{
    IconBytes().on(0, 0).write(folder.path() + "/title.ico");
    reader.textsAnswered = false;   // so no block answer stands in for the mode command's reply
    reader.silences["0000BA2"] = 1;

    EXPECT_EQ(operations.btnTitleIconClick(), OperationOutcome::accepted);

    const std::vector<std::string> payloads = sent();
    ASSERT_EQ(payloads.size(), 20u);
    EXPECT_EQ(payloads[0], "0000AS");
    EXPECT_EQ(payloads[9], "0000BA2");
    EXPECT_EQ(payloads[10], "0000AS");
    EXPECT_EQ(payloads[19], "0000BA2");
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(payloads[static_cast<size_t>(1 + n)], payloads[static_cast<size_t>(11 + n)]);
    EXPECT_EQ(controls.canvas.rectangles, 2 * (1 + 2048));
    EXPECT_EQ(controls.message, "Set Ok");
}

TEST_F(IconTest, ModeNeverAnsweredFailsAfterTwoUploads)
{
    IconBytes().write(folder.path() + "/title.ico");
    reader.textsAnswered = false;
    reader.silences["0000BA2"] = 2;
    EXPECT_EQ(operations.btnTitleIconClick(), OperationOutcome::failed);
    EXPECT_EQ(blocks().size(), 16u);
    EXPECT_EQ(controls.message, "Set Error");
}

TEST(IconSource, MissingBytesReadAsWhiteAndNothingBeforeOffset70IsUsed)
{
    TempFolder folder;
    const std::string path = folder.path() + "/tiny.ico";
    IconBytes icon;
    icon.bytes.resize(72);
    icon.bytes[70] = 0x12;
    icon.bytes[71] = 0x34;
    icon.write(path);
    const std::optional<IconSource> source = readIconSource(path);
    ASSERT_TRUE(source.has_value());
    EXPECT_EQ((*source)[0], 0x12);
    EXPECT_EQ((*source)[1], 0x34);
    for (size_t i = 2; i < iconSourceSize; ++i)
        EXPECT_EQ((*source)[i], 0xFF) << i;

    // A file that ends before the pixel rows gives a white picture.
    IconBytes header;
    header.bytes.resize(40);
    header.write(path);
    const std::optional<IconSource> empty = readIconSource(path);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(std::all_of(empty->begin(), empty->end(), [](uint8_t b) { return b == 0xFF; }));
    EXPECT_FALSE(readIconSource(folder.path() + "/absent.ico").has_value());
}

} // namespace
} // namespace tempik::testing
