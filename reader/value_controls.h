#pragma once
// Controls held as plain values, starting as the window starts: for front ends without widgets
// (the command line) and for tests, which override what they want to watch.
#include "reader/control_values.h"
#include "reader/feedback.h"
#include "texts/text_table.h"

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
    std::string message = text(txtStartScan, english);
    std::string serialText = text(txtSerialNumber, english) + controlValues::pnSerial.text;
    std::string versionText = text(txtVersion, english) + controlValues::pnVersion.text;
    std::string idCaption = controlValues::pnID.text;
    int idPosition = controlValues::sbID.position;
    int baudRate = controlValues::cmbBaudRate.selected;
    bool lock = controlValues::chkLock.ticked;
    int hour = controlValues::cmbHour.selected;
    int language = controlValues::cmbLanguage.selected;
    std::string password = controlValues::edPassword.text;
    int sound = controlValues::cmbSound.selected;
    int cardType = controlValues::cmbCardType.selected;
    std::string backLight = controlValues::edBackLight.text;
    std::string work = controlValues::edWork.text;
    int idle = controlValues::cmbIdle.selected;
    int titleMode = controlValues::cmbTitle.selected;
    std::string title = controlValues::edTitle.text;
    std::string install = controlValues::edInstall.text;
    std::string titleMessage = controlValues::edMessage.text;
    std::string show = controlValues::edShow.text;
    std::optional<std::string> iconFile;   // nullopt: the operator cancels

private:
    NullCanvas nullCanvas_;
};

} // namespace tempik
