#pragma once
// The edit boxes' input rule on top of fitsEditBox (reader/control_values.h): no control
// characters, none the window language's code page lacks, and a limit counted in bytes of that
// page, so what is shown is what is sent and no double-byte character is cut in half. Texts are
// UTF-8 and cursors byte offsets into them, always at a whole character.
#include <cstddef>
#include <optional>
#include <string>

namespace tempik {

// The longest start of text, in whole characters and without those the box does not take, that
// fits limitBytes in the code page of uiLanguage.
std::string fittedText(const std::string& text, size_t limitBytes, int uiLanguage);

struct EditBoxText {
    std::string text;
    size_t cursor;
    bool operator==(const EditBoxText& other) const { return text == other.text && cursor == other.cursor; }
};

// A box's text after typing or an insertion, the cursor just after what was inserted. nullopt:
// refused whole (a character the box does not take). Otherwise what was just inserted loses whole
// characters from its end, before the cursor, until the text fits: a paste longer than the room
// left is cut at the limit.
std::optional<EditBoxText> acceptEdit(const EditBoxText& proposed, size_t limitBytes, int uiLanguage);

} // namespace tempik
