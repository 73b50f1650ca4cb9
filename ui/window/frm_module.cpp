#include "ui/window/frm_module.h"

#include "link/line_definition.h"
#include "texts/text_table.h"
#include "ui/window/accessible_names.h"
#include "ui/window/application.h"
#include "ui/window/code_page_validator.h"
#include "ui/window/control_table.h"
#include "ui/window/focus_aids.h"
#include "ui/window/icon_file_chooser.h"
#include "ui/window/preview_image.h"
#include "ui/window/status_lamp.h"
#include "ui/window/tone.h"
#include "ui/window/window_builder.h"
#include "ui/window/window_placement.h"
#include "ui/window/window_texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QScrollBar>

#include <exception>
#include <utility>

namespace tempik {

namespace {

// System menu and minimise only: no maximise, and no close button (the Close entry removed).
constexpr Qt::WindowFlags fixedWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                             | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;

// The reader display language item matching each window language: English, Simplified, Traditional.
constexpr int matchingDisplayLanguage[uiLanguageCount] = {0, 2, 1};

// Not a reader's text: a port the system refused to open for lack of permission is this
// platform's matter, and the remedy must reach the operator in the window's language. %1 lists
// the ports, one a line.
constexpr const char* portsRefusedText[uiLanguageCount] = {
    "No reader was found. These ports could not be opened for lack of permission:\n%1\nAdd your user to the group of the device (usually dialout):\n    sudo usermod -aG dialout $USER\nthen log out and in again.",
    "\u672a\u627e\u5230\u6253\u5361\u949f\u3002\u4ee5\u4e0b\u4e32\u53e3\u56e0\u6743\u9650\u4e0d\u8db3\u65e0\u6cd5\u6253\u5f00\uff1a\n%1\n\u8bf7\u5c06\u60a8\u7684\u7528\u6237\u52a0\u5165\u8bbe\u5907\u6240\u5c5e\u7684\u7ec4\uff08\u901a\u5e38\u4e3a dialout\uff09\uff1a\n    sudo usermod -aG dialout $USER\n\u7136\u540e\u6ce8\u9500\u5e76\u91cd\u65b0\u767b\u5f55\u3002",
    "\u672a\u627e\u5230\u6253\u5361\u9418\u3002\u4ee5\u4e0b\u4e32\u53e3\u56e0\u6b0a\u9650\u4e0d\u8db3\u7121\u6cd5\u958b\u555f\uff1a\n%1\n\u8acb\u5c07\u60a8\u7684\u4f7f\u7528\u8005\u52a0\u5165\u88dd\u7f6e\u6240\u5c6c\u7684\u7fa4\u7d44\uff08\u901a\u5e38\u70ba dialout\uff09\uff1a\n    sudo usermod -aG dialout $USER\n\u7136\u5f8c\u767b\u51fa\u4e26\u91cd\u65b0\u767b\u5165\u3002",
};

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

void setControlText(QWidget* widget, const QString& value)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(value);
}

} // namespace

TfrmModule::TfrmModule(const WindowSeams& seams, QWidget* parent)
    : QWidget(parent, fixedWindowFlags | Qt::WindowCloseButtonHint),
      seams_(seams),
      link_(seams.device, seams.clock, seams.ports),
      session_{link_, settings_, seams.store},
      operations_(session_, *this)
{
    prepareWindowResources();
    buildControls();
    wireHandlers();
    link_.setMessagePump([] { QCoreApplication::processEvents(); });
    FormCreate();
}

TfrmModule::~TfrmModule()
{
    setWaitCursor(false);
}

QWidget* TfrmModule::control(const char* name) const
{
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

void TfrmModule::buildControls()
{
    BuiltControls built = buildControlsFromTable(*this, [this] { return settings_.uiLanguage; });
    controls_ = std::move(built.widgets);
    tmrBusy = built.timer;
    new FocusMark(*this);
    btnScan = qobject_cast<QPushButton*>(control("btnScan"));
    pnSerial = qobject_cast<QLabel*>(control("pnSerial"));
    sbID = qobject_cast<QScrollBar*>(control("sbID"));
    cmbBaudRate = qobject_cast<QComboBox*>(control("cmbBaudRate"));
    pnVersion = qobject_cast<QLabel*>(control("pnVersion"));
    pnID = qobject_cast<QLabel*>(control("pnID"));
    pnMsg = qobject_cast<QLabel*>(control("pnMsg"));
    shComm = qobject_cast<StatusLamp*>(control("shComm"));
    cmbLanguage = qobject_cast<QComboBox*>(control("cmbLanguage"));
    edTitle = qobject_cast<QLineEdit*>(control("edTitle"));
    edPassword = qobject_cast<QLineEdit*>(control("edPassword"));
    cmbSound = qobject_cast<QComboBox*>(control("cmbSound"));
    cmbHour = qobject_cast<QComboBox*>(control("cmbHour"));
    cmbCardType = qobject_cast<QComboBox*>(control("cmbCardType"));
    edBackLight = qobject_cast<QLineEdit*>(control("edBackLight"));
    cmbTitle = qobject_cast<QComboBox*>(control("cmbTitle"));
    imgTitle = qobject_cast<PreviewImage*>(control("imgTitle"));
    edWork = qobject_cast<QLineEdit*>(control("edWork"));
    chkLock = qobject_cast<QCheckBox*>(control("chkLock"));
    edInstall = qobject_cast<QLineEdit*>(control("edInstall"));
    edMessage = qobject_cast<QLineEdit*>(control("edMessage"));
    edShow = qobject_cast<QLineEdit*>(control("edShow"));
    cmbIdle = qobject_cast<QComboBox*>(control("cmbIdle"));
}

void TfrmModule::onClick(const char* button, std::function<void()> handler)
{
    auto* widget = qobject_cast<QAbstractButton*>(control(button));
    connect(widget, &QAbstractButton::clicked, this, [this, handler = std::move(handler)] { runHandler(handler); });
}

void TfrmModule::wireHandlers()
{
    ReaderOperations& op = operations_;
    onClick("btnScan", [this, &op] {
        link_.forgetRefusedPorts();
        if (!op.btnScanClick())
            tellRefusedPorts();
    });
    onClick("btnID", [&op] { op.btnIDClick(); });
    onClick("btnBaudRate", [&op] { op.btnBaudRateClick(); });
    onClick("btnFactoryDefault", [&op] { op.btnFactoryDefaultClick(); });
    onClick("btnDateTime", [&op] { op.btnDateTimeClick(); });
    onClick("btnLanguage", [&op] { op.btnLanguageClick(); });
    onClick("btnPassword", [&op] { op.btnPasswordClick(); });
    onClick("btnVolume", [&op] { op.btnVolumeClick(); });
    onClick("btnCardType", [&op] { op.btnCardTypeClick(); });
    onClick("btnBackLight", [&op] { op.btnBackLightClick(); });
    onClick("btnWorkMode", [&op] { op.btnWorkModeClick(); });
    onClick("btnIdle", [&op] { op.btnIdleClick(); });
    onClick("btnSetTitleMode", [&op] { op.btnSetTitleModeClick(); });
    onClick("btnTitle", [&op] { op.btnTitleClick(); });
    onClick("btnTitleClear", [&op] { op.btnTitleClearClick(); });
    onClick("btnInstall", [&op] { op.btnInstallClick(); });
    onClick("btnClrInstall", [&op] { op.btnClrInstallClick(); });
    onClick("btnTitleMessage", [&op] { op.btnTitleMessageClick(); });
    onClick("btnClrTitle", [&op] { op.btnClrTitleClick(); });
    onClick("btnShowMessage", [&op] { op.btnShowMessageClick(); });
    onClick("btnTitleIcon", [&op] { op.btnTitleIconClick(); });
    onClick("btnExit", [this] { btnExitClick(); });
    onClick("btnEng", [this] { btnEngClick(); });
    onClick("btnGB", [this] { btnGBClick(); });
    onClick("btnBIG5", [this] { btnBIG5Click(); });

    // sbIDChange also runs while the scan moves the bar, so it is not one of the exclusive handlers.
    connect(sbID, &QScrollBar::valueChanged, this,
            [this](int position) { pnID->setText(fromUtf8(ReaderOperations::sbIDChange(position))); });
    connect(tmrBusy, &QTimer::timeout, this, [this] { tmrBusyTimer(); });
}

void TfrmModule::tellRefusedPorts()
{
    QStringList ports;
    for (const auto& [port, device] : link_.refusedForPermission()) {
        const QString line = QString::fromStdString(portName(port) + " (" + device + ")");
        if (!ports.contains(line))   // the remembered port is tried again in the sweep
            ports << line;
    }
    if (!ports.isEmpty())
        QMessageBox::warning(this, QString::fromLatin1(applicationTitle),
                             QString::fromUtf8(portsRefusedText[settings_.uiLanguage]).arg(ports.join('\n')));
}

void TfrmModule::runHandler(const std::function<void()>& handler)
{
    // A click that reached the window through an event pass inside a running operation (the
    // pass after an early preparation runs before the window is disabled) starts nothing.
    if (handlerRunning_)
        return;
    handlerRunning_ = true;
    // Disabling the window takes the focus away; the operator goes on where they were.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    try {
        handler();
    } catch (const std::exception& error) {
        recoverFromError();
        showError(this, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        recoverFromError();
        showError(this, QStringLiteral("Unknown error"));
    }
    if (session_.settingsUnsaved) {
        // The operation itself went through; the operator must know it will not be remembered.
        session_.settingsUnsaved = false;
        QMessageBox::warning(this, QString::fromLatin1(applicationTitle),
                             windowText(WindowText::settingsUnsaved, settings_.uiLanguage)
                                 .arg(QString::fromStdString(seams_.store.location())));
    }
    if (focused && focused->window() == this && focused->isEnabled() && isVisible())
        focused->setFocus();
    handlerRunning_ = false;
}

void TfrmModule::recoverFromError()
{
    // Whatever the operation left behind: the program goes on with a usable window.
    if (link_.isOpen())
        link_.closeChannel();
    tmrBusy->stop();
    setEnabled(true);
    setWaitCursor(false);
}

void TfrmModule::FormCreate()
{
    seams_.store.loadSettings(settings_);
    setWindowFlags(fixedWindowFlags);
    session_.readerFound = false;
    cmbBaudRate->setCurrentIndex(lineDefinitionIndexOrDefault(settings_.link.ScanBaudRateNo));
    btnScan->setFocus();
}

void TfrmModule::FormShow()
{
    const int language = settings_.uiLanguage;
    for (size_t i = 0; i < formShowCount; ++i) {
        const ControlRow* row = findControl(formShowOrder[i]);
        const QString value = fromUtf8(text(row->entry, language) + row->text);
        if (row->kind == ControlKind::form)
            setWindowTitle(value);
        else
            setControlText(control(row->name), value);
    }
    nameControls(controls_, language);
}

void TfrmModule::switchLanguage(int language)
{
    settings_.uiLanguage = language;
    settings_.LanguageFlag = languageFlagFor(language);
    cmbLanguage->clear();
    for (const std::string& item : displayLanguageItems(language))
        cmbLanguage->addItem(fromUtf8(item));
    cmbLanguage->setCurrentIndex(matchingDisplayLanguage[language]);
    if (!seams_.store.saveLanguageFlag(settings_.LanguageFlag))
        session_.settingsUnsaved = true;   // told when the click's handler ends
    FormShow();
    if (fitEditBoxesToLanguage())
        pnMsg->setText(windowText(WindowText::textsShortened, language));
}

bool TfrmModule::fitEditBoxesToLanguage()
{
    // The limits count bytes of the new code page: a text that no longer fits loses whole
    // characters from its end, so the box never holds more than it can send. A character the
    // new page lacks goes too: it would be sent as "?".
    bool shortened = false;
    for (QLineEdit* box : {edTitle, edPassword, edBackLight, edWork, edInstall, edMessage, edShow}) {
        const auto* validator = qobject_cast<const CodePageValidator*>(box->validator());
        if (!validator->fits(box->text())) {
            box->setText(validator->fitted(box->text()));
            shortened = true;
        }
    }
    return shortened;
}

void TfrmModule::btnExitClick()
{
    closeAllowed_ = true;
    close();
}

void TfrmModule::tmrBusyTimer()
{
    if (tmrBusy->Tag == 1) {
        tmrBusy->Tag = 0;
        setLamp(LampColour::yellow);
    } else {
        tmrBusy->Tag = 1;
        setLamp(LampColour::red);
    }
}

void TfrmModule::showEvent(QShowEvent* event)
{
    if (!shownOnce_ && !event->spontaneous()) {
        shownOnce_ = true;
        if (QScreen* desktop = screen())
            move(placeOnScreen(desktop->availableGeometry(), frameGeometry().size()));
        FormShow();
    }
    QWidget::showEvent(event);
}

void TfrmModule::closeEvent(QCloseEvent* event)
{
    // Only btnExit closes the window; a close request from the desktop is refused.
    if (closeAllowed_)
        event->accept();
    else
        event->ignore();
}

void TfrmModule::keyPressEvent(QKeyEvent* event)
{
    // Enter that no focused button took presses the default button.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        btnScan->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// --- OperationFeedback ---

void TfrmModule::setWaitCursor(bool on)
{
    if (on == waitCursor_)
        return;
    waitCursor_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TfrmModule::setWindowEnabled(bool enabled) { setEnabled(enabled); }
void TfrmModule::setLamp(LampColour colour) { shComm->setColour(colour); }
void TfrmModule::setMessage(const std::string& text) { pnMsg->setText(fromUtf8(text)); }
void TfrmModule::beep(int frequencyHz, int durationMs) { seams_.tone.playTone(frequencyHz, durationMs); }
void TfrmModule::processEvents() { QCoreApplication::processEvents(); }

// --- ScanFeedback ---

void TfrmModule::setBusy(bool on)
{
    if (on) {
        tmrBusy->start();
        setEnabled(false);
    } else {
        setEnabled(true);
        tmrBusy->stop();
    }
}

void TfrmModule::setSerialText(const std::string& text) { pnSerial->setText(fromUtf8(text)); }
void TfrmModule::setVersionText(const std::string& text) { pnVersion->setText(fromUtf8(text)); }
void TfrmModule::setIdText(const std::string& text) { pnID->setText(fromUtf8(text)); }
void TfrmModule::selectBaudRate(int index) { cmbBaudRate->setCurrentIndex(lineDefinitionIndexOrDefault(index)); }
bool TfrmModule::lockTicked() { return chkLock->isChecked(); }
void TfrmModule::setIdPosition(int position) { sbID->setValue(position); }

// --- ReaderControls ---

std::string TfrmModule::editText(QLineEdit* box) const { return box->text().toStdString(); }

std::string TfrmModule::idText() { return pnID->text().toStdString(); }
int TfrmModule::baudRateIndex() { return cmbBaudRate->currentIndex(); }
int TfrmModule::hourIndex() { return cmbHour->currentIndex(); }
int TfrmModule::languageIndex() { return cmbLanguage->currentIndex(); }
std::string TfrmModule::passwordText() { return editText(edPassword); }
int TfrmModule::soundIndex() { return cmbSound->currentIndex(); }
int TfrmModule::cardTypeIndex() { return cmbCardType->currentIndex(); }
std::string TfrmModule::backLightText() { return editText(edBackLight); }
std::string TfrmModule::workText() { return editText(edWork); }
int TfrmModule::idleIndex() { return cmbIdle->currentIndex(); }
int TfrmModule::titleModeIndex() { return cmbTitle->currentIndex(); }
void TfrmModule::selectTitleMode(int index) { cmbTitle->setCurrentIndex(index); }
std::string TfrmModule::titleText() { return editText(edTitle); }
std::string TfrmModule::installText() { return editText(edInstall); }
void TfrmModule::setInstallText(const std::string& text) { edInstall->setText(fromUtf8(text)); }
std::string TfrmModule::messageText() { return editText(edMessage); }
std::string TfrmModule::showText() { return editText(edShow); }

std::optional<std::string> TfrmModule::chooseIconFile(const std::string& initialFolder)
{
    return seams_.iconFiles.chooseIconFile(this, initialFolder);
}

PreviewCanvas& TfrmModule::iconPreview() { return *imgTitle; }

} // namespace tempik
