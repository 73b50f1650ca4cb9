// The set operations end to end: the scan, then the identifier, the line speed (and an
// operation at the new speed), the title text and an icon, against tempik-sim over a real
// pseudo-terminal, each change read back from the simulator's state file.
#include "tests/support/live_reader.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tempik::testing {
namespace {

// The title picture the test draws: a frame around the whole picture and a diagonal, as rows
// of '#' (black) and '.' (white).
std::vector<std::string> drawnPicture()
{
    std::vector<std::string> rows(16, std::string(128, '.'));
    for (int x = 0; x < 128; ++x) {
        rows[0][static_cast<size_t>(x)] = '#';
        rows[15][static_cast<size_t>(x)] = '#';
    }
    for (int y = 0; y < 16; ++y) {
        rows[static_cast<size_t>(y)][0] = '#';
        rows[static_cast<size_t>(y)][127] = '#';
        rows[static_cast<size_t>(y)][static_cast<size_t>(3 * y + 20)] = '#';
    }
    return rows;
}

// The picture as a one-image, 1-bit, 128 x 16 icon: 70 bytes of headers, then the rows bottom
// first, a 0 bit for black.
void writeIcon(const std::string& path, const std::vector<std::string>& rows)
{
    std::vector<uint8_t> bytes(70 + 256, 0xFF);
    const uint8_t header[] = {0, 0, 1, 0, 1, 0, 128, 16, 2, 0, 1, 0, 1, 0};
    std::copy(std::begin(header), std::end(header), bytes.begin());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 128; ++x)
            if (rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#')
                bytes[static_cast<size_t>(70 + (15 - y) * 16 + x / 8)] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(SetOperationsEndToEnd, IdentifierLineSpeedTitleTextAndIconReachTheReader)
{
    SimSetup setup;
    setup.port = 3;
    setup.args = {"--line", "4800,n,8,1", "--id", "0042", "--serial", "E2ESN042"};
    LiveReader live(setup);
    SimProcess& sim = live.sim;
    ASSERT_TRUE(sim.ready()) << sim.failure();
    SettingsFileStore& store = live.store;
    RecordingControls& controls = live.controls;
    ReaderOperations& operations = live.operations;
    TempFolder icons;
    operations.setWorkingFolderSource([&] { return icons.path(); });

    ASSERT_TRUE(operations.btnScanClick()) << sim.errorOutput();
    ASSERT_EQ(controls.idCaption, "0042");

    // Identifier: the reader takes it only with its own serial number.
    controls.idCaption = "0777";
    EXPECT_EQ(operations.btnIDClick(), OperationOutcome::accepted) << sim.errorOutput();
    EXPECT_EQ(sim.stateField("identifier"), std::optional<std::string>("0777"));

    // Line speed: the reader moves to 38400 after its answer; the tool saves the new line
    // and the next operation talks at it.
    controls.baudRate = 7;
    EXPECT_EQ(operations.btnBaudRateClick(), OperationOutcome::accepted) << sim.errorOutput();
    EXPECT_EQ(sim.stateField("line"), std::optional<std::string>("38400,e,8,1"));
    Settings stored;
    store.loadSettings(stored);
    EXPECT_EQ(stored.link.ScanBaudRate, "38400,e,8,1");
    EXPECT_EQ(stored.link.ScanBaudRateNo, 7);
    controls.sound = 3;
    EXPECT_EQ(operations.btnVolumeClick(), OperationOutcome::accepted) << sim.errorOutput();
    EXPECT_EQ(sim.stateField("volume"), std::optional<std::string>("3"));

    // Title text, in Windows-1252 bytes, and the title mode after it.
    controls.title = "Caf\xC3\xA9 Hall";
    EXPECT_EQ(operations.btnTitleClick(), OperationOutcome::accepted) << sim.errorOutput();
    EXPECT_EQ(sim.stateField("titleText"), std::optional<std::string>("Caf\xE9 Hall       "));
    EXPECT_EQ(sim.stateField("titleMode"), std::optional<std::string>("1"));

    // The icon: the reader's picture is the one drawn here, and so is the preview.
    const std::vector<std::string> picture = drawnPicture();
    writeIcon(icons.path() + "/title.ico", picture);
    controls.iconFile = icons.path() + "/title.ico";
    EXPECT_EQ(operations.btnTitleIconClick(), OperationOutcome::accepted) << sim.errorOutput();
    EXPECT_EQ(controls.dialogFolder, icons.path());
    EXPECT_EQ(sim.statePicture(), picture);
    EXPECT_EQ(sim.stateField("titleMode"), std::optional<std::string>("2"));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 128; ++x)
            ASSERT_EQ(controls.canvas.at(2 * x + 1, 2 * y + 1), picture[static_cast<size_t>(y)][static_cast<size_t>(x)])
                << x << ", " << y;
    EXPECT_EQ(controls.message, "Set Ok");
}

} // namespace
} // namespace tempik::testing
