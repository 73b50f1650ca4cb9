#include "app/ctl/ctl_port_probe.h"

#include "link/network_url.h"
#include "link/port_locks_linux.h"

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

// A character device: what it is, and whether this user's open would be refused or find the
// port held.
PortProbe deviceProbe(const std::string& devicePath, const struct stat& info, const std::string& sysRoot,
                      const std::string& lockFolder)
{
    PortProbe probe;
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
    // minicom and others hold a port with a UUCP lock file alone; the open takes it as busy.
    if (holder.empty() && uucpLockHeld(lockFolder, devicePath)) {
        probe.state = "in use";
        probe.detail = "by a lock file in " + lockFolder;
    }
    return probe;
}

// The device a link leads to; for a link to nothing, the path it names.
std::string linkedDevice(const std::string& path)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return {};
    if (std::string resolved = realPath(path); !resolved.empty())
        return resolved;
    char target[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}

// A file that starts like a URL but is not taken for a network port: only an entry that is the
// file itself, with the URL on a first line the reading takes, names one.
bool unreadUrlFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    char start[64] = {};
    in.read(start, sizeof start - 1);
    std::string text(start, static_cast<size_t>(in.gcount()));
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    text.erase(0, text.find_first_not_of(" \t"));
    return isNetworkUrl(text);
}

// What opening something that is no character device gives: never a serial port.
PortProbe notADevice(const std::string& path, const struct stat& info)
{
    PortProbe probe;
    probe.kind = S_ISDIR(info.st_mode) ? "folder" : S_ISREG(info.st_mode) ? "regular file"
               : S_ISBLK(info.st_mode) ? "block device" : "not a device";
    probe.state = "not a serial device";
    if (S_ISREG(info.st_mode) && unreadUrlFile(path))
        probe.detail = "a network port's URL must be the entry itself, on a first line of at most 1024 bytes";
    return probe;
}

} // namespace

PortProbe probePort(const std::string& devicePath, const std::string& sysRoot, const std::string& lockFolder)
{
    PortProbe probe;
    struct stat info {};
    if (stat(devicePath.c_str(), &info) != 0) {
        probe.kind = "-";
        probe.state = "missing";
        probe.detail = "no device behind the entry";
    } else if (!S_ISCHR(info.st_mode)) {
        probe = notADevice(devicePath, info);
    } else {
        probe = deviceProbe(devicePath, info, sysRoot, lockFolder.empty() ? systemLockFolder : lockFolder);
    }
    probe.target = linkedDevice(devicePath);
    return probe;
}

} // namespace tempik::ctl
