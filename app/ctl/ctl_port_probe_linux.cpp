#include "app/ctl/ctl_port_probe.h"

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tempik::ctl {

namespace {

std::string firstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string realPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

std::string baseName(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

std::string parentOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

// The USB device above a tty in sysfs: the first folder upwards that has an idVendor.
std::string usbDescription(const std::string& sysRoot, const std::string& ttyName)
{
    std::string folder = realPath(sysRoot + "/class/tty/" + ttyName + "/device");
    for (; !folder.empty() && folder.size() > sysRoot.size(); folder = parentOf(folder)) {
        const std::string vendor = firstLine(folder + "/idVendor");
        if (vendor.empty())
            continue;
        std::string text = "USB " + vendor + ":" + firstLine(folder + "/idProduct");
        for (const char* field : {"manufacturer", "product"})
            if (const std::string value = firstLine(folder + "/" + field); !value.empty())
                text += " " + value;
        if (const std::string serial = firstLine(folder + "/serial"); !serial.empty())
            text += " serial " + serial;
        return text;
    }
    return {};
}

std::string kindOf(const std::string& device, const struct stat& info, const std::string& sysRoot)
{
    // Unix 98 pseudo-terminal slaves have majors 136 to 143.
    if (S_ISCHR(info.st_mode) && major(info.st_rdev) >= 136 && major(info.st_rdev) <= 143)
        return "pseudo-terminal";
    const std::string name = baseName(device);
    if (const std::string usb = usbDescription(sysRoot, name); !usb.empty())
        return usb;
    const std::string type = firstLine(sysRoot + "/class/tty/" + name + "/type");
    if (!type.empty() && type != "0")
        return "on-board UART";
    return S_ISCHR(info.st_mode) ? "character device" : "not a device";
}

// The process holding a lock on the device (as our own open takes it), from /proc/locks:
// "1: FLOCK  ADVISORY  WRITE 4242 00:05:3 0 EOF".
std::string lockHolder(const struct stat& info)
{
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, type, mode, access, pid, inode;
        fields >> number >> type;
        if (type == "->")
            fields >> type;   // a waiter
        fields >> mode >> access >> pid >> inode;
        unsigned devMajor = 0, devMinor = 0;
        unsigned long long ino = 0;
        if (std::sscanf(inode.c_str(), "%x:%x:%llu", &devMajor, &devMinor, &ino) != 3)
            continue;
        if (ino == info.st_ino && makedev(devMajor, devMinor) == info.st_dev) {
            const std::string command = firstLine("/proc/" + pid + "/comm");
            return "process " + pid + (command.empty() ? "" : " (" + command + ")");
        }
    }
    return {};
}

std::string groupName(gid_t gid)
{
    const group* entry = getgrgid(gid);
    return entry ? entry->gr_name : std::to_string(gid);
}

} // namespace

PortProbe probePort(const std::string& devicePath, const std::string& sysRoot)
{
    PortProbe probe;
    struct stat info {};
    if (stat(devicePath.c_str(), &info) != 0) {
        probe.kind = "-";
        probe.state = "missing";
        probe.detail = "no device behind the entry";
        return probe;
    }
    if (S_ISREG(info.st_mode)) {
        const std::string url = firstLine(devicePath);
        if (url.rfind("rfc2217://", 0) == 0 || url.rfind("socket://", 0) == 0) {
            probe.kind = "network " + url;
            probe.state = "network";
            return probe;
        }
    }
    probe.kind = kindOf(realPath(devicePath), info, sysRoot);
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
    const std::string group = groupName(info.st_gid);
    if (faccessat(AT_FDCWD, devicePath.c_str(), R_OK | W_OK, AT_EACCESS) != 0) {
        probe.state = "permission denied";
        probe.detail = std::string("mode ") + mode + ", group " + group;
        if ((info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP))
            probe.remedy = "sudo usermod -aG " + group + " $USER, then log in again";
        else
            probe.remedy = "the device's owner must grant read and write access";
        return probe;
    }
    const std::string holder = lockHolder(info);
    probe.state = holder.empty() ? "free" : "in use";
    probe.detail = holder.empty() ? "" : "by " + holder;
    return probe;
}

} // namespace tempik::ctl
