#pragma once
// The command line's stand-in for the window: the controls hold the values given on the command
// line, and what the operations show is kept for the final report.
#include "reader/feedback.h"

#include <optional>
#include <string>

namespace tempik::ctl {

class NullCanvas final : public PreviewCanvas {
public:
    void setPenBlack(bool) override {}
    void rectangle(int, int, int, int) override {}
};

class CtlControls final : public ReaderControls {
public:
    void setWaitCursor(bool) override {}
    void setWindowEnabled(bool) override {}
    void setLamp(LampColour colour) override { lamp = colour; }
    void setMessage(const std::string& text) override { message = text; }
    // A terminal has no tone to wait for; the outcome is in the message and the exit code.
    void beep(int, int) override {}
    void processEvents() override {}

    void setBusy(bool) override {}
    void setSerialText(const std::string& text) override { serialText = text; }
    void setVersionText(const std::string& text) override { versionText = text; }
    void setIdText(const std::string& text) override { idCaption = text; }
    void selectBaudRate(int index) override { baudRate = index; }
    bool lockTicked() override { return lock; }
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
    PreviewCanvas& iconPreview() override { return canvas_; }

    LampColour lamp = LampColour::red;
    std::string message;
    std::string serialText, versionText;
    std::string idCaption = "0000";
    int idPosition = 1;
    int baudRate = 5;
    bool lock = true;
    int hour = 0, language = 0, sound = 9, cardType = 0, idle = 0, titleMode = 0;
    std::string password = "6082", backLight = "120", work = "010";
    std::string title = "KESTO Technology", install = "Office", titleMessage = "Welcome", show = "Hello!";
    std::optional<std::string> iconFile;

private:
    NullCanvas canvas_;
};

} // namespace tempik::ctl
