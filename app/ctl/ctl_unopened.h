#pragma once
// The ports a run could not look at: held by another program, refused, unreachable. A scan that
// met one cannot tell that the reader is absent, so they are named, and such a scan is not
// remembered as having found no reader.
#include "app/ctl/ctl_report.h"
#include "link/reader_link.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tempik::ctl {

using UnopenedPorts = std::vector<ReaderLink::UnopenedPort>;

// Each port once, in the order they were met (the remembered port is tried again in the sweep).
UnopenedPorts unopenedPorts(const ReaderLink& link);
bool includesPort(const UnopenedPorts& ports, int port);

// One line each: "tempikctl: COM3 (/dev/ttyUSB0): port is in use by another program"; a port
// refused for lack of permission with the remedy.
void tellUnopened(const UnopenedPorts& ports, std::ostream& out);
// [{"port":3,"device":"/dev/ttyUSB0","error":"port is in use by another program"}, ...]
Report unopenedJson(const UnopenedPorts& ports);

} // namespace tempik::ctl
