#include "link/port_device.h"

#include "link/network_device.h"

namespace tempik {

PortDevice::PortDevice(std::unique_ptr<SerialDevice> local, std::unique_ptr<SerialDevice> network)
    : local_(std::move(local)), network_(std::move(network)), current_(local_.get())
{
}

bool PortDevice::open(const std::string& path, const std::string& lineDefinition)
{
    current_->close();
    current_ = isNetworkUrl(path) ? network_.get() : local_.get();
    return current_->open(path, lineDefinition);
}

std::unique_ptr<SerialDevice> makePortDevice()
{
    return std::make_unique<PortDevice>(makeSystemSerialDevice(),
                                        std::make_unique<NetworkDevice>(makeSystemSocket()));
}

} // namespace tempik
