// Conversions between UTF-8 and the 8-bit pages through glibc iconv. A character that the
// target cannot hold, or a byte sequence the source does not define, becomes one "?": the
// conversion never fails and never stops early.
#include "texts/code_page_iconv.h"

#include "texts/code_page.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace tempik {

namespace {

class Converter {
public:
    Converter(const char* from, const char* to) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return cd_; }

private:
    iconv_t cd_;
};

bool isUtf8Name(const char* name)
{
    return strcasecmp(name, "UTF-8") == 0 || strcasecmp(name, "UTF8") == 0;
}

// Length of the UTF-8 character at p (1 for a byte that starts no valid character), so that
// one "?" stands for one character the target cannot hold.
size_t utf8CharacterLength(const unsigned char* p, size_t left)
{
    size_t length = 1;
    if (p[0] >= 0xC2 && p[0] <= 0xDF)
        length = 2;
    else if (p[0] >= 0xE0 && p[0] <= 0xEF)
        length = 3;
    else if (p[0] >= 0xF0 && p[0] <= 0xF4)
        length = 4;
    if (length > left)
        return 1;
    for (size_t i = 1; i < length; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return 1;
    return length;
}

// In the double-byte pages a lead byte and a trail byte make one character.
size_t doubleByteCharacterLength(const unsigned char* p, size_t left)
{
    if (p[0] >= 0x81 && p[0] <= 0xFE && left >= 2 && p[1] >= 0x40 && p[1] <= 0xFE)
        return 2;
    return 1;
}

} // namespace

std::string convertText(const std::string& bytes, const char* from, const char* to)
{
    Converter converter(from, to);
    if (!converter.ok())
        return {};
    const bool fromUtf8 = isUtf8Name(from);
    const bool fromSingleByte = strcasecmp(from, "CP1252") == 0 || strcasecmp(from, "ASCII") == 0;

    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter.handle(), &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (result != static_cast<size_t>(-1) || error == E2BIG)
            continue;
        if (error != EILSEQ && error != EINVAL)
            break;
        // Not representable, not defined in the source, or cut off at the end: one "?" for
        // the character (every page here is ASCII-compatible), then go on after it.
        const auto* p = reinterpret_cast<const unsigned char*>(in);
        const size_t skip = error == EINVAL  ? inLeft  // one character cut off at the end
                            : fromUtf8       ? utf8CharacterLength(p, inLeft)
                            : fromSingleByte ? 1
                                             : doubleByteCharacterLength(p, inLeft);
        out += '?';
        in += skip;
        inLeft -= skip;
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(converter.handle(), nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    return out;
}

std::string toCodePage(const std::string& utf8, int uiLanguage)
{
    return convertText(utf8, "UTF-8", codePageName(uiLanguage));
}

std::string fromCodePage(const std::string& bytes, int uiLanguage)
{
    return convertText(bytes, codePageName(uiLanguage), "UTF-8");
}

} // namespace tempik
