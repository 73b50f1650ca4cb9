#pragma once
// What the reader operations need of a front end: the window implements it with its real
// controls, the command-line tool with its arguments, the tests with a recorder. All texts are
// UTF-8; the operations turn typed texts into code-page bytes themselves.
#include <optional>
#include <string>

namespace tempik {

enum class LampColour { red, yellow };

class OperationFeedback {
public:
    virtual ~OperationFeedback() = default;
    virtual void setWaitCursor(bool on) = 0;         // hourglass on, or back to the default
    virtual void setWindowEnabled(bool enabled) = 0;
    virtual void setLamp(LampColour colour) = 0;     // shComm
    virtual void setMessage(const std::string& text) = 0;  // pnMsg, replaced whole
    virtual void beep(int frequencyHz, int durationMs) = 0;  // returns when the tone has ended
    virtual void processEvents() = 0;                // one pass over pending events
};

// What the scan needs on top of that.
class ScanFeedback : public OperationFeedback {
public:
    virtual void setBusy(bool on) = 0;                   // blink timer and window disabled
    virtual void setSerialText(const std::string& text) = 0;   // pnSerial
    virtual void setVersionText(const std::string& text) = 0;  // pnVersion
    virtual void setIdText(const std::string& text) = 0;       // pnID
    virtual void selectBaudRate(int index) = 0;                // cmbBaudRate
    virtual bool lockTicked() = 0;                             // chkLock
    // sbID; the control keeps it within 1..9999 and, when the position changes, its change
    // handler rewrites pnID as four digits.
    virtual void setIdPosition(int position) = 0;
};

// The image box the icon preview is drawn on; the fill stays white.
class PreviewCanvas {
public:
    virtual ~PreviewCanvas() = default;
    virtual void setPenBlack(bool black) = 0;
    // Outline from (left, top) to (right, bottom), right and bottom edges excluded.
    virtual void rectangle(int left, int top, int right, int bottom) = 0;
};

// Everything the set operations read or write in the window, read at the moment of sending.
class ReaderControls : public ScanFeedback {
public:
    virtual std::string idText() = 0;            // pnID caption
    virtual int baudRateIndex() = 0;             // cmbBaudRate
    virtual int hourIndex() = 0;                 // cmbHour: 0 "12H", 1 "24H"
    virtual int languageIndex() = 0;             // cmbLanguage
    virtual std::string passwordText() = 0;      // edPassword
    virtual int soundIndex() = 0;                // cmbSound
    virtual int cardTypeIndex() = 0;             // cmbCardType
    virtual std::string backLightText() = 0;     // edBackLight
    virtual std::string workText() = 0;          // edWork
    virtual int idleIndex() = 0;                 // cmbIdle
    virtual int titleModeIndex() = 0;            // cmbTitle
    virtual void selectTitleMode(int index) = 0;
    virtual std::string titleText() = 0;         // edTitle
    virtual std::string installText() = 0;       // edInstall
    virtual void setInstallText(const std::string& text) = 0;
    virtual std::string messageText() = 0;       // edMessage
    virtual std::string showText() = 0;          // edShow
    // The open-file dialog for icon files, starting in initialFolder; nullopt on cancel.
    virtual std::optional<std::string> chooseIconFile(const std::string& initialFolder) = 0;
    virtual PreviewCanvas& iconPreview() = 0;    // imgTitle
};

} // namespace tempik
