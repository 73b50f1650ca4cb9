// The graphic title: the operator picks an icon file, its picture is shown at double size and
// sent to the reader in eight blocks, then the reader is switched to "Text & Icon Title".
#include "reader/operations.h"

#include "reader/commands.h"
#include "reader/icon_title.h"

namespace tempik {

namespace {

constexpr int textIconTitleMode = 2;    // "Text & Icon Title"
constexpr uint32_t blockPauseMs = 200;  // after every block, the last one too
constexpr uint32_t modePauseMs = 200;   // between the upload and the mode command
constexpr int blockCount = 8;
constexpr int blockBytes = 32;

} // namespace

void ReaderOperations::uploadIconTitle(const std::string& iconFile)
{
    const std::optional<IconSource> source = readIconSource(iconFile);
    if (!source) {
        controls_.setMessage("File open error!");
        return;
    }
    // The whole preview is drawn before the first block goes out.
    drawPreview(*source, controls_.iconPreview());
    const std::array<uint8_t, 256> bytes = readerPictureBytes(pictureFromSource(*source));
    for (int n = 0; n < blockCount; ++n) {
        session_.link.sendCommand(payload::pictureBlock(n, bytes.data() + n * blockBytes), false);
        session_.link.clock().sleepMs(blockPauseMs);
    }
}

OperationOutcome ReaderOperations::btnTitleIconClick()
{
    std::string iconFile;
    CommandStep upload;
    upload.awaitReply = false;
    // The file is read again in every attempt.
    upload.routine = [this, &iconFile] { uploadIconTitle(iconFile); };
    CommandStep mode;
    mode.pauseMs = modePauseMs;
    mode.payload = [this] { return payload::setTitleMode(controls_.titleModeIndex()); };

    OperationOptions options;
    options.earlyPreparation = [this] { controls_.selectTitleMode(textIconTitleMode); };
    options.operatorChoice = [this, &iconFile] {
        const std::optional<std::string> chosen = controls_.chooseIconFile(workingFolder_());
        if (!chosen)
            return false;
        iconFile = *chosen;
        return true;
    };
    return runSetOperation(session_, controls_, {upload, mode}, options);
}

} // namespace tempik
