#include "ui/form/module_form.h"

#include "link/line_definition.h"
#include "link/network_url.h"
#include "link/port_map.h"
#include "reader/control_values.h"
#include "reader/operation_table.h"
#include "texts/text_table.h"
#include "ui/form/accessible_names.h"
#include "ui/form/control_table.h"
#include "ui/form/edit_box_rule.h"
#include "ui/form/window_texts.h"

#include <exception>
#include <optional>
#include <utility>
#include <vector>

namespace tempik {

namespace {

// The reader display language item matching each window language: English, Simplified, Traditional.
constexpr int matchingDisplayLanguage[uiLanguageCount] = {0, 2, 1};

int busyTimerInterval()
{
    return findControl("tmrBusy")->limit;
}

} // namespace

ModuleForm::ModuleForm(const FormSeams& seams, FormView& view)
    : seams_(seams),
      view_(view),
      link_(seams.device, seams.clock, seams.ports),
      session_{link_, settings_, seams.store},
      operations_(session_, *this)
{
    link_.setMessagePump([this] { view_.processEvents(); });
}

ModuleForm::~ModuleForm() = default;

void ModuleForm::FormCreate()
{
    seams_.store.loadSettings(settings_);
    session_.readerFound = false;
    view_.select("cmbBaudRate", lineDefinitionIndexOrDefault(settings_.link.ScanBaudRateNo));
    view_.focus("btnScan");
}

void ModuleForm::FormShow()
{
    const int language = settings_.uiLanguage;
    for (size_t i = 0; i < formShowCount; ++i)
        view_.setText(formShowOrder[i], shownText(formShowOrder[i], language));
    for (const AccessibleName& named : accessibleNames(language))
        view_.setAccessibleName(named.control, named.name);
    view_.setToolTip("chkLock", windowText(WindowText::lockTip, language));
}

void ModuleForm::click(const std::string& button)
{
    // A click that reached the form through an event pass inside a running operation (the pass
    // after an early preparation runs before the window is disabled) starts nothing.
    if (handlerRunning_)
        return;
    handlerRunning_ = true;
    // Disabling the window takes the focus away; the operator goes on where they were.
    const std::string focused = view_.focusedControl();
    std::optional<std::string> error;
    bool scanFoundNothing = false;
    try {
        scanFoundNothing = runHandler(button);
    } catch (const std::exception& escaped) {
        recoverFromError();
        error = escaped.what();
    } catch (...) {
        recoverFromError();
        error = "Unknown error";
    }
    // What the operator clicked or typed while the window was busy waited in the system's queue
    // (during pauses and the beep nobody passes over events): it is dropped, not run now, and
    // cannot dismiss a message box below unread.
    view_.discardPendingInput();
    if (error)
        view_.showMessageBox(MessageBoxKind::error, *error);
    if (scanFoundNothing)
        tellRefusedPorts();
    tellUnsavedSettings();
    tellLineNotFollowed();
    if (!focused.empty())
        view_.focus(focused.c_str());
    handlerRunning_ = false;
}

bool ModuleForm::runHandler(const std::string& button)
{
    if (button == "btnScan") {
        link_.forgetRefusedPorts();
        return !operations_.btnScanClick();
    }
    if (button == "btnExit")
        btnExitClick();
    else if (button == "btnEng")
        switchLanguage(english);
    else if (button == "btnGB")
        switchLanguage(simplifiedChinese);
    else if (button == "btnBIG5")
        switchLanguage(traditionalChinese);
    else
        runOperation(button);
    return false;
}

void ModuleForm::runOperation(const std::string& button)
{
    // The operations' one table names the button that starts each.
    for (const OperationRow& row : operationTable()) {
        if (button == row.button) {
            const OperationOutcome outcome = (operations_.*row.operation)();
            lineNotFollowed_ = outcome == OperationOutcome::accepted && movesReaderLine(row)
                               && isRawNetworkUrl(link_.lastDevicePath());
            return;
        }
    }
}

void ModuleForm::recoverFromError()
{
    // Whatever the operation left behind: the program goes on with a usable window.
    if (link_.isOpen())
        link_.closeChannel();
    view_.stopTimer("tmrBusy");
    view_.setWindowEnabled(true);
    setWaitCursor(false);
}

void ModuleForm::tellRefusedPorts()
{
    std::vector<std::string> lines;
    for (const auto& [port, device] : link_.refusedForPermission()) {
        std::string line = portName(port) + " (" + device + ")";
        bool seen = false;   // the remembered port is tried again in the sweep
        for (const std::string& earlier : lines)
            seen = seen || earlier == line;
        if (!seen)
            lines.push_back(std::move(line));
    }
    if (lines.empty())
        return;
    std::string ports;
    for (const std::string& line : lines)
        ports += (ports.empty() ? "" : "\n") + line;
    view_.showMessageBox(MessageBoxKind::warning, windowText(WindowText::portsRefused, settings_.uiLanguage, ports));
}

void ModuleForm::tellUnsavedSettings()
{
    if (!session_.settingsUnsaved)
        return;
    // The operation itself went through; the operator must know it will not be remembered.
    session_.settingsUnsaved = false;
    view_.showMessageBox(MessageBoxKind::warning,
                         windowText(WindowText::settingsUnsaved, settings_.uiLanguage, seams_.store.location()));
}

void ModuleForm::tellLineNotFollowed()
{
    if (!lineNotFollowed_)
        return;
    // The reader took it, but a raw network port cannot change the server's line: the next
    // exchange would meet silence without a word why.
    lineNotFollowed_ = false;
    view_.showMessageBox(MessageBoxKind::warning,
                         windowText(WindowText::rawPortKeepsLine, settings_.uiLanguage, settings_.link.ScanBaudRate));
}

void ModuleForm::switchLanguage(int language)
{
    settings_.uiLanguage = language;
    settings_.LanguageFlag = languageFlagFor(language);
    const auto items = displayLanguageItems(language);
    view_.setItems("cmbLanguage", std::vector<std::string>(items.begin(), items.end()));
    view_.select("cmbLanguage", matchingDisplayLanguage[language]);
    if (!seams_.store.saveLanguageFlag(settings_.LanguageFlag))
        session_.settingsUnsaved = true;   // told when the click's handler ends
    FormShow();
    if (fitEditBoxesToLanguage())
        setMessage(windowText(WindowText::textsShortened, language));
}

bool ModuleForm::fitEditBoxesToLanguage()
{
    // The limits count bytes of the new code page: a text that no longer fits loses whole
    // characters from its end, so the box never holds more than it can send. A character the
    // new page lacks goes too: it would be sent as "?".
    bool shortened = false;
    for (size_t i = 0; i < controlCount; ++i) {
        const ControlRow& row = controlTable[i];
        if (row.kind != ControlKind::editBox)
            continue;
        const std::string text = view_.text(row.name);
        if (!fitsEditBox(text, static_cast<size_t>(row.limit), settings_.uiLanguage)) {
            view_.setText(row.name, fittedText(text, static_cast<size_t>(row.limit), settings_.uiLanguage));
            shortened = true;
        }
    }
    return shortened;
}

void ModuleForm::pasteRefused()
{
    setMessage(windowText(WindowText::pasteRefused, settings_.uiLanguage));
}

void ModuleForm::pasteCut()
{
    setMessage(windowText(WindowText::pasteCut, settings_.uiLanguage));
}

void ModuleForm::btnExitClick()
{
    closeAllowed_ = true;
    view_.closeWindow();
}

void ModuleForm::tmrBusyTimer()
{
    if (busyTag_ == 1) {
        busyTag_ = 0;
        setLamp(LampColour::yellow);
    } else {
        busyTag_ = 1;
        setLamp(LampColour::red);
    }
}

void ModuleForm::sbIDChange(int position)
{
    // Also while the scan moves the bar: not one of the exclusive handlers.
    view_.setText("pnID", ReaderOperations::sbIDChange(position));
}

// --- OperationFeedback ---

void ModuleForm::setWaitCursor(bool on)
{
    if (on == waitCursor_)
        return;
    waitCursor_ = on;
    view_.setWaitCursor(on);
}

void ModuleForm::setWindowEnabled(bool enabled) { view_.setWindowEnabled(enabled); }
void ModuleForm::setLamp(LampColour colour) { view_.setLamp(colour); }
void ModuleForm::setMessage(const std::string& text) { view_.setText("pnMsg", text); }
void ModuleForm::beep(int frequencyHz, int durationMs) { seams_.tone.playTone(frequencyHz, durationMs); }
void ModuleForm::processEvents() { view_.processEvents(); }

// --- ScanFeedback ---

void ModuleForm::setBusy(bool on)
{
    if (on) {
        view_.startTimer("tmrBusy", busyTimerInterval());
        view_.setWindowEnabled(false);
    } else {
        view_.setWindowEnabled(true);
        view_.stopTimer("tmrBusy");
    }
}

void ModuleForm::setSerialText(const std::string& text) { view_.setText("pnSerial", text); }
void ModuleForm::setVersionText(const std::string& text) { view_.setText("pnVersion", text); }
void ModuleForm::setIdText(const std::string& text) { view_.setText("pnID", text); }
void ModuleForm::selectBaudRate(int index) { view_.select("cmbBaudRate", lineDefinitionIndexOrDefault(index)); }
bool ModuleForm::lockTicked() { return view_.selected("chkLock") != 0; }
void ModuleForm::setIdPosition(int position) { view_.select("sbID", position); }

// --- ReaderControls ---

std::string ModuleForm::idText() { return view_.text("pnID"); }
int ModuleForm::baudRateIndex() { return view_.selected("cmbBaudRate"); }
int ModuleForm::hourIndex() { return view_.selected("cmbHour"); }
int ModuleForm::languageIndex() { return view_.selected("cmbLanguage"); }
std::string ModuleForm::passwordText() { return view_.text("edPassword"); }
int ModuleForm::soundIndex() { return view_.selected("cmbSound"); }
int ModuleForm::cardTypeIndex() { return view_.selected("cmbCardType"); }
std::string ModuleForm::backLightText() { return view_.text("edBackLight"); }
std::string ModuleForm::workText() { return view_.text("edWork"); }
int ModuleForm::idleIndex() { return view_.selected("cmbIdle"); }
int ModuleForm::titleModeIndex() { return view_.selected("cmbTitle"); }
void ModuleForm::selectTitleMode(int index) { view_.select("cmbTitle", index); }
std::string ModuleForm::titleText() { return view_.text("edTitle"); }
std::string ModuleForm::installText() { return view_.text("edInstall"); }
void ModuleForm::setInstallText(const std::string& text) { view_.setText("edInstall", text); }
std::string ModuleForm::messageText() { return view_.text("edMessage"); }
std::string ModuleForm::showText() { return view_.text("edShow"); }

std::optional<std::string> ModuleForm::chooseIconFile(const std::string& initialFolder)
{
    return view_.chooseFile(initialFolder, findControl("odFile")->text);
}

PreviewCanvas& ModuleForm::iconPreview() { return view_.preview(); }

} // namespace tempik
