#pragma once
// Every operation of the window's buttons, without any window toolkit: the scan and each set
// operation, named after the control and event that start them.
#include "reader/feedback.h"
#include "reader/session.h"
#include "reader/set_operation.h"

#include <ctime>
#include <functional>
#include <string>

namespace tempik {

class ReaderOperations {
public:
    ReaderOperations(ReaderSession& session, ReaderControls& controls);

    // The scan; true when a reader was found and its version read (readerFound).
    bool btnScanClick();

    // pnID caption for a scroll bar position: "%04d".
    static std::string sbIDChange(int position);

    OperationOutcome btnIDClick();
    OperationOutcome btnBaudRateClick();
    OperationOutcome btnFactoryDefaultClick();
    OperationOutcome btnDateTimeClick();
    OperationOutcome btnLanguageClick();
    OperationOutcome btnPasswordClick();
    OperationOutcome btnVolumeClick();
    OperationOutcome btnCardTypeClick();
    OperationOutcome btnBackLightClick();
    OperationOutcome btnWorkModeClick();
    OperationOutcome btnIdleClick();
    OperationOutcome btnSetTitleModeClick();
    OperationOutcome btnTitleClick();
    OperationOutcome btnTitleClearClick();
    OperationOutcome btnInstallClick();
    OperationOutcome btnClrInstallClick();
    OperationOutcome btnTitleMessageClick();
    OperationOutcome btnClrTitleClick();
    OperationOutcome btnShowMessageClick();
    OperationOutcome btnTitleIconClick();

    // Reads the chosen icon file, draws the preview and sends the eight blocks (each unawaited,
    // 200 ms after each). "File open error!" in the message bar when the file cannot be opened.
    void uploadIconTitle(const std::string& iconFile);

    // The PC's local time, read once by the date and time operation; tests replace it.
    void setLocalTimeSource(std::function<std::tm()> source) { localTime_ = std::move(source); }
    // The folder the icon dialog starts in; the process's working folder unless replaced.
    void setWorkingFolderSource(std::function<std::string()> source) { workingFolder_ = std::move(source); }

private:
    ReaderSession& session_;
    ReaderControls& controls_;
    std::function<std::tm()> localTime_;
    std::function<std::string()> workingFolder_;
};

} // namespace tempik
