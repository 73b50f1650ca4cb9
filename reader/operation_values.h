#pragma once
// How the set operations turn what the operator typed into payload bytes, and the one field of
// the status reply they read back: the reader's serial number.
#include <cstddef>
#include <string>

namespace tempik {

// The typed text as bytes of the window language's code page. No control character enters a
// payload (one below 0x20 would end or split the frame on the reader's side): a control byte
// (isControlByte) goes out as "?", like a character the page cannot hold.
std::string typedTextBytes(const std::string& utf8, int uiLanguage);

// The same, keeping only the whole characters that fit in width bytes: a display text longer
// than its field loses its tail, never half of a double-byte character. Not filled.
std::string fieldTextBytes(const std::string& utf8, size_t width, int uiLanguage);

// The 8-character serial number of a status reply (serialNumberField: positions 8 to 15, the
// ETX at position 1), with any control byte as "?"; shorter, or empty, when the reply is.
std::string statusSerialNumber(const std::string& replyText);

} // namespace tempik
