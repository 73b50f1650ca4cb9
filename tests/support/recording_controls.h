#pragma once
// A front end for the reader operations in tests: controls are plain fields, and every call the
// operations make on the window is recorded, in order, as one short line ("lamp red",
// "message Set Ok", "beep 1000 300").
#include "reader/value_controls.h"

#include <algorithm>
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

class RecordingControls final : public ValueControls {
public:
    void setWaitCursor(bool on) override { log(on ? "cursor wait" : "cursor default"); }
    void setWindowEnabled(bool enabled) override { log(enabled ? "enable" : "disable"); }
    void setLamp(LampColour colour) override
    {
        ValueControls::setLamp(colour);
        log(colour == LampColour::red ? "lamp red" : "lamp yellow");
    }
    void setMessage(const std::string& text) override
    {
        ValueControls::setMessage(text);
        log("message " + text);
    }
    void beep(int frequencyHz, int durationMs) override
    {
        log("beep " + std::to_string(frequencyHz) + " " + std::to_string(durationMs));
    }
    void processEvents() override { ++eventPasses; }
    void setBusy(bool on) override { log(on ? "busy on" : "busy off"); }
    void setIdPosition(int position) override
    {
        ValueControls::setIdPosition(position);
        log("id position " + std::to_string(std::clamp(position, 1, 9999)));
    }
    void selectTitleMode(int index) override
    {
        ValueControls::selectTitleMode(index);
        log("title mode " + std::to_string(index));
    }
    std::optional<std::string> chooseIconFile(const std::string& initialFolder) override
    {
        dialogFolder = initialFolder;
        log("dialog");
        return iconFile;
    }
    PreviewCanvas& iconPreview() override { return canvas; }

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
