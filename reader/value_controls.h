#pragma once
// Controls held as plain values, starting as the window starts: for front ends without widgets
// (the command line) and for tests, which override what they want to watch.
#include "reader/feedback.h"

#include <optional>
#include <string>

namespace tempik {

class NullCanvas final : public PreviewCanvas {
public:
    void setPenBlack(bool) override {}
    void rectangle(int, int, int, int) override {}
};

class ValueControls : public ReaderControls {
public:
    void setWaitCursor(bool) override {}
    void setWindowEnabled(bool) override {}
    void setLamp(LampColour colour) override { lamp = colour; }
    void setMessage(const std::string& text) override { message = text; }
    void beep(int, int) override {}
    void processEvents() override {}

    void setBusy(bool) override {}
    void setSerialText(const std::string& text) override { serialText = text; }
    void setVersionText(const std::string& text) override { versionText = text; }
    void setIdText(const std::string& text) override { idCaption = text; }
    void selectBaudRate(int index) override { baudRate = index; }
    bool lockTicked() override { return lock; }
    // As a scroll bar: kept within 1..9999, and only a real change rewrites the caption.
    void setIdPosition(int position) override;

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
    void selectTitleMode(int index) override { titleMode = index; }
    std::string titleText() override { return title; }
    std::string installText() override { return install; }
    void setInstallText(const std::string& text) override { install = text; }
    std::string messageText() override { return titleMessage; }
    std::string showText() override { return show; }
    std::optional<std::string> chooseIconFile(const std::string&) override { return iconFile; }
    PreviewCanvas& iconPreview() override { return nullCanvas_; }

    LampColour lamp = LampColour::red;
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

private:
    NullCanvas nullCanvas_;
};

} // namespace tempik
