// The operations that change how the reader is reached: its identifier, its line definition,
// and the reset to factory defaults.
#include "reader/operations.h"

#include "link/line_definition.h"
#include "reader/commands.h"
#include "reader/operation_values.h"
#include "texts/text_table.h"

namespace tempik {

namespace {

// The reader now talks at this definition: remember it, so the next operation opens with it.
void adoptLineDefinition(ReaderSession& session, int index)
{
    LinkSettings& link = session.linkSettings();
    link.ScanBaudRateNo = index;
    link.ScanBaudRate = lineDefinitions[static_cast<size_t>(index)];
    session.saveLinkSettings();
}

} // namespace

OperationOutcome ReaderOperations::btnIDClick()
{
    CommandStep setIdentifier;
    // The serial number comes from the status reply this attempt has just received, so a
    // second attempt uses its own.
    setIdentifier.payload = [this] {
        return payload::setIdentifier(statusSerialNumber(session_.link.replyText()), controls_.idText());
    };
    OperationOptions options;
    options.progressText = [this] { return text(txtSetId, session_.uiLanguage()) + " = " + controls_.idText(); };
    return runSetOperation(session_, controls_, {setIdentifier}, options);
}

OperationOutcome ReaderOperations::btnBaudRateClick()
{
    // The index the reader was told, so the settings saved are the ones it now uses.
    int sentIndex = factoryLineDefinitionIndex;
    CommandStep setLineSpeed;
    setLineSpeed.payload = [this, &sentIndex] {
        sentIndex = lineDefinitionIndexOrDefault(controls_.baudRateIndex());
        return payload::setLineSpeed(sentIndex);
    };
    OperationOptions options;
    options.progressText = [this] {
        const int index = lineDefinitionIndexOrDefault(controls_.baudRateIndex());
        return text(txtSetBaudRate, session_.uiLanguage()) + " = " + lineDefinitions[static_cast<size_t>(index)];
    };
    options.onAccepted = [this, &sentIndex] { adoptLineDefinition(session_, sentIndex); };
    return runSetOperation(session_, controls_, {setLineSpeed}, options);
}

OperationOutcome ReaderOperations::btnFactoryDefaultClick()
{
    CommandStep reset;
    reset.payload = [] { return payload::factoryDefault(); };
    OperationOptions options;
    // The window shows the factory values whatever the reader answers.
    options.preparation = [this] {
        controls_.setIdPosition(1);
        controls_.selectBaudRate(factoryLineDefinitionIndex);
    };
    options.progressText = [this] { return text(txtSetFactoryDefault, session_.uiLanguage()); };
    options.onAccepted = [this] { adoptLineDefinition(session_, factoryLineDefinitionIndex); };
    return runSetOperation(session_, controls_, {reset}, options);
}

} // namespace tempik
