#pragma once
// Whether tempikctl's last scan found a reader, kept between runs beside the settings: the
// command line's readerFound. A set command after a scan that found none is refused, as the
// window refuses it, until a scan finds a reader.
#include <string>

namespace tempik::ctl {

enum class LastScan { unknown, found, notFound };

LastScan readLastScan(const std::string& configFolder);
// False when it could not be written.
bool writeLastScan(const std::string& configFolder, LastScan outcome);
// A scan that found no reader but could not open every port it met did not see that the reader
// is absent: its outcome is unknown.
LastScan scanOutcome(bool found, bool portsUnopened);

} // namespace tempik::ctl
