#pragma once
// Whether tempikctl's last scan found a reader, kept between runs beside the settings: the
// command line's readerFound. A set command after a scan that found none is refused, as the
// window refuses it, until a scan finds a reader.
#include <string>

namespace tempik::ctl {

enum class LastScan { unknown, found, notFound };

LastScan readLastScan(const std::string& configFolder);
// False when it could not be written.
bool writeLastScan(const std::string& configFolder, bool found);

} // namespace tempik::ctl
