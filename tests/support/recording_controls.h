#pragma once
// A front end for the reader operations in tests: controls are plain fields, and every call the
// operations make on the window is recorded, in order, as one short line ("lamp red",
// "message Set Ok", "beep 1000 300").
#include "reader/feedback.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tempik::testing {

// The image box as pixels; rectangles are drawn as outline in the pen colour.
class RecordingCanvas final : public PreviewCanvas {
public:
    static constexpr int width = 258;
    static constexpr int height = 36;
    RecordingCanvas() { pixels.fill('?'); }   // '?' = never drawn
    void setPenBlack(bool black) override { penBlack_ = black; }
    void rectangle(int left, int top, int right, int bottom) override;
    char at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }   // '#', '.', '?'
    int rectangles = 0;
    std::array<char, width * height> pixels{};

private:
    bool penBlack_ = false;
};

class RecordingControls final : public ReaderControls {
public:
    // OperationFeedback
    void setWaitCursor(bool on) override { log(on ? "cursor wait" : "cursor default"); }
    void setWindowEnabled(bool enabled) override { log(enabled ? "enable" : "disable"); }
    void setLamp(LampColour colour) override { log(colour == LampColour::red ? "lamp red" : "lamp yellow"); }
    void setMessage(const std::string& text) override { message = text; log("message " + text); }
    void beep(int frequencyHz, int durationMs) override
    {
        log("beep " + std::to_string(frequencyHz) + " " + std::to_string(durationMs));
    }
    void processEvents() override { ++eventPasses; }

    // ScanFeedback
    void setBusy(bool on) override { log(on ? "busy on" : "busy off"); }
    void setSerialText(const std::string& text) override { serialText = text; }
    void setVersionText(const std::string& text) override { versionText = text; }
    void setIdText(const std::string& text) override { idCaption = text; }
    void selectBaudRate(int index) override { baudRate = index; }
    bool lockTicked() override { return lock; }
    void setIdPosition(int position) override;

    // ReaderControls
    std::string idText() override { return idCaption; }
    int baudRateIndex() override { return baudRate; }
    int hourIndex() override { return hour; }
    int languageIndex() override { return language; }
    std::string passwordText() override { return password; }
    int soundIndex() override { return sound; }
    int cardTypeIndex() override { return cardType; }
    std::string backLightText() override { return backLight; }
    std::string workText() override { return work; }
    int idleIndex() override { return idle; }
    int titleModeIndex() override { return titleMode; }
    void selectTitleMode(int index) override { titleMode = index; log("title mode " + std::to_string(index)); }
    std::string titleText() override { return title; }
    std::string installText() override { return install; }
    void setInstallText(const std::string& text) override { install = text; }
    std::string messageText() override { return titleMessage; }
    std::string showText() override { return show; }
    std::optional<std::string> chooseIconFile(const std::string& initialFolder) override
    {
        dialogFolder = initialFolder;
        log("dialog");
        return iconFile;
    }
    PreviewCanvas& iconPreview() override { return canvas; }

    // The window's defaults.
    std::string message = "Start Scan Punch-card Reader!";
    std::string serialText = "S/N : ________";
    std::string versionText = "VER : __.__-__";
    std::string idCaption = "0000";
    int idPosition = 1;
    int baudRate = 5;
    bool lock = true;
    int hour = 0;
    int language = 0;
    std::string password = "6082";
    int sound = 9;
    int cardType = 0;
    std::string backLight = "120";
    std::string work = "010";
    int idle = 0;
    int titleMode = 0;
    std::string title = "KESTO Technology";
    std::string install = "Office";
    std::string titleMessage = "Welcome";
    std::string show = "Hello!";
    std::optional<std::string> iconFile;   // nullopt: the operator cancels
    std::string dialogFolder;
    RecordingCanvas canvas;

    int eventPasses = 0;
    std::vector<std::string> calls;
    // Calls without the cursor/enable bookkeeping, for checks of what the operator sees.
    std::vector<std::string> shown() const;

private:
    void log(const std::string& line) { calls.push_back(line); }
};

} // namespace tempik::testing
