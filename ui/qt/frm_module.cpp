#include "ui/qt/frm_module.h"

#include "texts/text_table.h"
#include "ui/form/control_table.h"
#include "ui/form/window_placement.h"
#include "ui/qt/application.h"
#include "ui/qt/focus_aids.h"
#include "ui/qt/icon_file_chooser.h"
#include "ui/qt/preview_image.h"
#include "ui/qt/status_lamp.h"
#include "ui/qt/window_builder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tempik {

namespace {

// System menu and minimise only: no maximise, and no close button (the Close entry removed).
constexpr Qt::WindowFlags fixedWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                             | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// Mouse and keyboard input, swallowed while installed.
class InputSink final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

TfrmModule::TfrmModule(const WindowSeams& seams, QWidget* parent)
    : QWidget(parent, fixedWindowFlags | Qt::WindowCloseButtonHint),
      seams_(seams),
      form_({seams.device, seams.clock, seams.ports, seams.store, seams.tone}, *this)
{
    prepareWindowResources();
    buildControls();
    setWindowFlags(fixedWindowFlags);
    form_.FormCreate();
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

QWidget* TfrmModule::widget(const char* name) const
{
    if (std::string(name) == "frmModule")
        return const_cast<TfrmModule*>(this);
    if (QWidget* found = control(name))
        return found;
    throw std::logic_error(std::string("the window has no control ") + name);
}

void TfrmModule::buildControls()
{
    BuiltControls built = buildControlsFromTable(
        *this, [this] { return form_.language(); },
        [this](bool refused) { refused ? form_.pasteRefused() : form_.pasteCut(); });
    controls_ = std::move(built.widgets);
    tmrBusy = built.timer;
    new FocusMark(*this);
    shComm = qobject_cast<StatusLamp*>(control("shComm"));
    imgTitle = qobject_cast<PreviewImage*>(control("imgTitle"));
    for (const auto& [name, widget] : controls_) {
        if (auto* button = qobject_cast<QPushButton*>(widget))
            connect(button, &QPushButton::clicked, this, [this, name = name] { form_.click(name); });
    }
    connect(qobject_cast<QScrollBar*>(control("sbID")), &QScrollBar::valueChanged, this,
            [this](int position) { form_.sbIDChange(position); });
    connect(tmrBusy, &QTimer::timeout, this, [this] { form_.tmrBusyTimer(); });
}

void TfrmModule::placeFrame()
{
    if (QScreen* desktop = screen())
        placeFrameOn(desktop->availableGeometry(), desktop->devicePixelRatio());
}

void TfrmModule::placeFrameOn(const QRect& area, double devicePixelRatio)
{
    // The frame's own width and height, nothing until the window manager has framed it.
    const QSize frameExtra = frameGeometry().size() - size();
    const ControlRow& window = *findControl("frmModule");
    const auto devicePixels = [devicePixelRatio](int length) { return static_cast<int>(length * devicePixelRatio); };
    const double scale = scaleThatFits({0, 0, devicePixels(area.width()), devicePixels(area.height())}, window.width,
                                       window.height, devicePixels(frameExtra.width()),
                                       devicePixels(frameExtra.height()), devicePixelRatio);
    const double zoom = std::min(1.0, scale / devicePixelRatio);
    if (zoom != zoom_) {
        zoom_ = zoom;
        zoomControls(*this, controls_, zoom);
    }
    const ScreenPoint at = placeOnScreen({area.x(), area.y(), area.width(), area.height()},
                                         width() + frameExtra.width(), height() + frameExtra.height());
    // move() places the frame's top left corner.
    move(at.x, at.y);
}

void TfrmModule::showEvent(QShowEvent* event)
{
    if (!shownOnce_ && !event->spontaneous()) {
        shownOnce_ = true;
        placeFrame();
        form_.FormShow();
    }
    QWidget::showEvent(event);
}

void TfrmModule::moveEvent(QMoveEvent* event)
{
    // Before the window manager has framed the window its frame is the client area: place it
    // again once the title bar is known, so that the title bar too is on the screen.
    if (shownOnce_ && !framePlaced_ && frameGeometry().size() != size()) {
        framePlaced_ = true;
        placeFrame();
    }
    QWidget::moveEvent(event);
}

void TfrmModule::followLanguage()
{
    const int language = form_.language();
    if (language == translatedLanguage_)
        return;
    translatedLanguage_ = language;
    if (qtTexts_)
        QCoreApplication::removeTranslator(qtTexts_.get());
    qtTexts_.reset();
    if (language == english)
        return;
    auto translator = std::make_unique<QTranslator>();
    const QString name = language == simplifiedChinese ? QStringLiteral("qtbase_zh_CN") : QStringLiteral("qtbase_zh_TW");
    if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator.get());
        qtTexts_ = std::move(translator);
    }
}

void TfrmModule::closeEvent(QCloseEvent* event)
{
    if (form_.mayClose())
        event->accept();
    else
        event->ignore();
}

void TfrmModule::keyPressEvent(QKeyEvent* event)
{
    // Qt honours a default button only in dialogs: Enter that no focused button took presses it.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        for (size_t i = 0; i < controlCount; ++i) {
            if (controlTable[i].flags & defaultButton) {
                qobject_cast<QAbstractButton*>(widget(controlTable[i].name))->click();
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

// --- FormView ---

void TfrmModule::setText(const char* control, const std::string& text)
{
    QWidget* target = widget(control);
    if (target == this) {
        setWindowTitle(fromUtf8(text));
        followLanguage();   // FormShow writes the caption first, in every language switch
    }
    else if (auto* label = qobject_cast<QLabel*>(target))
        label->setText(fromUtf8(text));
    else if (auto* button = qobject_cast<QAbstractButton*>(target))
        button->setText(fromUtf8(text));
    else if (auto* box = qobject_cast<QLineEdit*>(target))
        box->setText(fromUtf8(text));
}

std::string TfrmModule::text(const char* control)
{
    QWidget* target = widget(control);
    if (auto* label = qobject_cast<QLabel*>(target))
        return label->text().toStdString();
    if (auto* box = qobject_cast<QLineEdit*>(target))
        return box->text().toStdString();
    return {};
}

void TfrmModule::setItems(const char* control, const std::vector<std::string>& items)
{
    auto* list = qobject_cast<QComboBox*>(widget(control));
    list->clear();
    for (const std::string& item : items)
        list->addItem(fromUtf8(item));
}

void TfrmModule::select(const char* control, int index)
{
    QWidget* target = widget(control);
    if (auto* list = qobject_cast<QComboBox*>(target))
        list->setCurrentIndex(index);
    else if (auto* bar = qobject_cast<QScrollBar*>(target))
        bar->setValue(index);
    else if (auto* box = qobject_cast<QCheckBox*>(target))
        box->setChecked(index != 0);
}

int TfrmModule::selected(const char* control)
{
    QWidget* target = widget(control);
    if (auto* list = qobject_cast<QComboBox*>(target))
        return list->currentIndex();
    if (auto* bar = qobject_cast<QScrollBar*>(target))
        return bar->value();
    if (auto* box = qobject_cast<QCheckBox*>(target))
        return box->isChecked() ? 1 : 0;
    return -1;
}

void TfrmModule::setAccessibleName(const char* control, const std::string& name)
{
    widget(control)->setAccessibleName(fromUtf8(name));
}

void TfrmModule::setToolTip(const char* control, const std::string& tip)
{
    widget(control)->setToolTip(fromUtf8(tip));
}

void TfrmModule::setWindowEnabled(bool enabled) { setEnabled(enabled); }
void TfrmModule::setLamp(LampColour colour) { shComm->setColour(colour); }

void TfrmModule::focus(const char* control)
{
    QWidget* target = widget(control);
    if (target->isEnabled())
        target->setFocus();
}

std::string TfrmModule::focusedControl()
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused || focused->window() != this)
        return {};
    for (const auto& [name, widget] : controls_)
        if (widget == focused)
            return name;
    return {};
}

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

void TfrmModule::showMessageBox(MessageBoxKind kind, const std::string& text)
{
    if (kind == MessageBoxKind::error)
        showError(this, fromUtf8(text));
    else
        QMessageBox::warning(this, QString::fromLatin1(applicationTitle), fromUtf8(text));
}

std::optional<std::string> TfrmModule::chooseFile(const std::string& initialFolder, const std::string&)
{
    // The dialog takes its filter from the same row of the control table.
    return seams_.iconFiles.chooseIconFile(this, initialFolder);
}

PreviewImage& TfrmModule::preview() { return *imgTitle; }

void TfrmModule::startTimer(const char*, int intervalMs)
{
    tmrBusy->start(intervalMs);
}

void TfrmModule::stopTimer(const char*) { tmrBusy->stop(); }
void TfrmModule::processEvents() { QCoreApplication::processEvents(); }

void TfrmModule::discardPendingInput()
{
    InputSink sink;
    QCoreApplication::instance()->installEventFilter(&sink);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&sink);
}

void TfrmModule::closeWindow() { close(); }

} // namespace tempik
