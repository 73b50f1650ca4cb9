#pragma once
// The reader's command set: address "0000", a two-letter code, the argument. Arguments that come
// from edit boxes arrive here already as code-page bytes. Also the fields of the replies read.
#include <array>
#include <cstdint>
#include <string>

namespace tempik {

namespace payload {
std::string statusQuery();                                   // "0000AS"
std::string versionQuery();                                  // "0000AV"
std::string setIdentifier(const std::string& serialNumber, const std::string& identifier); // AD
std::string setLineSpeed(int lineDefinitionIndex);           // AE + "0".."9","A".."D"
std::string factoryDefault();                                // AI
std::string setHourMode(int hourIndex);                      // BD
std::string setDateTime(int year, int month, int day, int hour, int minute, int second); // AA
std::string setDisplayLanguage(int index);                   // BC
std::string setPassword(const std::string& bytes);           // BF
std::string setVolume(int index);                            // BE
std::string setCardType(int index);                          // AH
std::string setBackLight(const std::string& bytes);          // BH
std::string setWorkTime(const std::string& bytes);           // BJ
std::string setIdleScreen(int index);                        // AG
std::string setTitleMode(int index);                         // BA + index
std::string titleText(const std::string& bytes);             // BA1 + 16-byte field
std::string installMessage(const std::string& bytes);        // BA3 + 16-byte field
std::string titleMessage(const std::string& bytes);          // BA4 + 128-byte field
std::string showMessage(const std::string& bytes);           // BI + 64-byte field
std::string pictureBlock(int block, const uint8_t* bytes32); // BB + digit + 64 hex digits
} // namespace payload

// Spaces appended and the result cut to exactly width bytes.
std::string fixedField(const std::string& bytes, size_t width);

// A field of a reply by its 1-based position in replyText, position 1 being the ETX.
struct ReplyField {
    size_t position;
    size_t length;
};

// The fields of the status reply (to "0000AS") and of the version reply (to "0000AV").
constexpr ReplyField identifierField{2, 4};
constexpr ReplyField serialNumberField{8, 8};
constexpr ReplyField versionField{8, 8};

// The characters of field that exist in reply, at most its length: a reply cut short (or cut
// at a zero byte) yields fewer, never a read past its end.
std::string replyField(const std::string& reply, ReplyField field);

constexpr size_t titleFieldWidth = 16;
constexpr size_t installFieldWidth = 16;
constexpr size_t messageFieldWidth = 128;
constexpr size_t showFieldWidth = 64;

} // namespace tempik
