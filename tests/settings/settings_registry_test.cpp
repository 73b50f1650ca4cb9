// The settings in the registry: written to the current user's key with the stored types, and a
// value not there yet taken from what an earlier installation left in the local-machine key or
// its VirtualStore copy. Each test works on a key of its own.
#include "settings/settings_registry.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

namespace tempik {
namespace {

struct Place {
    HKEY hive;
    std::string prefix;   // before "KESTO\..."
};

const Place own{HKEY_CURRENT_USER, "Software\\"};
const Place virtualStore{HKEY_CURRENT_USER, "Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\"};
const Place localMachine{HKEY_LOCAL_MACHINE, "Software\\"};

class RegistryStoreTest : public ::testing::Test {
protected:
    const std::string below = "KESTO\\TEMPIKConfigTest" + std::to_string(GetCurrentProcessId());
    RegistrySettingsStore store{"Software\\" + below};

    ~RegistryStoreTest() override
    {
        allowOwn("D:(A;;KA;;;WD)");
        for (const Place* place : {&own, &virtualStore, &localMachine})
            RegDeleteTreeA(place->hive, (place->prefix + below).c_str());
    }

    void put(const Place& place, const char* name, DWORD type, const std::string& data)
    {
        HKEY key{};
        ASSERT_EQ(RegCreateKeyExA(place.hive, (place.prefix + below).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
    void putNumber(const Place& place, const char* name, DWORD value)
    {
        put(place, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
    }
    void putText(const Place& place, const char* name, const std::string& text)
    {
        put(place, name, REG_SZ, text + '\0');
    }

    // "name type data" of each value in the current user's key, in name order.
    std::vector<std::string> ownValues()
    {
        std::vector<std::string> values;
        for (const char* name : {"LanguageFlag", "ScanBaudRate", "ScanBaudRateNo", "ScanCommNo"}) {
            char data[64] = {};
            DWORD size = sizeof data - 1;
            DWORD type = 0;
            if (RegGetValueA(HKEY_CURRENT_USER, ("Software\\" + below).c_str(), name, RRF_RT_ANY, &type, data, &size) !=
                ERROR_SUCCESS)
                continue;
            values.push_back(std::string(name) + (type == REG_DWORD ? " dword " + std::to_string(*reinterpret_cast<DWORD*>(data))
                                                  : type == REG_SZ  ? " sz " + std::string(data)
                                                                    : " other"));
        }
        return values;
    }

    // Sets the current user's key's access list (SDDL).
    void allowOwn(const char* sddl)
    {
        HKEY key{};
        if (RegOpenKeyExA(HKEY_CURRENT_USER, ("Software\\" + below).c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS)
            return;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr))
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        LocalFree(descriptor);
        RegCloseKey(key);
    }

    Settings loaded()
    {
        Settings settings;
        store.loadSettings(settings);
        return settings;
    }
};

TEST_F(RegistryStoreTest, SavesAsDwordsAndTextsUnderTheCurrentUser)
{
    EXPECT_TRUE(store.saveLinkSettings({12, "9600,n,8,1", 2}));
    EXPECT_TRUE(store.saveLanguageFlag("ChineseBIG5"));
    EXPECT_EQ(ownValues(), (std::vector<std::string>{"LanguageFlag sz ChineseBIG5", "ScanBaudRate sz 9600,n,8,1",
                                                     "ScanBaudRateNo dword 2", "ScanCommNo dword 12"}));
    const Settings settings = loaded();
    EXPECT_EQ(settings.link.ScanCommNo, 12);
    EXPECT_EQ(settings.link.ScanBaudRate, "9600,n,8,1");
    EXPECT_EQ(settings.uiLanguage, 2);
    EXPECT_FALSE(store.saveLanguageFlag(std::string("Eng\0lish", 8))) << "a zero would cut the text short";
}

TEST_F(RegistryStoreTest, FirstRunKeepsTheDefaultsAndCreatesNothing)
{
    const Settings settings = loaded();
    EXPECT_EQ(settings.link.ScanCommNo, 0);
    EXPECT_EQ(settings.link.ScanBaudRate, "19200,e,8,1");
    EXPECT_EQ(settings.link.ScanBaudRateNo, 5);
    EXPECT_EQ(settings.LanguageFlag, "English");
    HKEY key{};
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, ("Software\\" + below).c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(RegistryStoreTest, ValuesAnEarlierInstallationLeftAreTakenOverOneByOne)
{
    putNumber(localMachine, "ScanCommNo", 17);
    putText(localMachine, "ScanBaudRate", "4800,n,8,1");
    putText(virtualStore, "ScanBaudRate", "57600,e,8,1");   // what Windows kept for a program without elevation
    putNumber(virtualStore, "ScanBaudRateNo", 9);
    putText(own, "LanguageFlag", "ChineseGB");
    const Settings settings = loaded();
    EXPECT_EQ(settings.link.ScanCommNo, 17);
    EXPECT_EQ(settings.link.ScanBaudRate, "57600,e,8,1");
    EXPECT_EQ(settings.link.ScanBaudRateNo, 9);
    EXPECT_EQ(settings.uiLanguage, 1);

    store.saveLinkSettings({3, "19200,e,8,1", 5});
    EXPECT_EQ(loaded().link.ScanCommNo, 3) << "what this program saved comes before what the earlier one left";
}

TEST_F(RegistryStoreTest, AKeyTheUserMayOnlyReadIsReadAndItsSaveFails)
{
    putNumber(localMachine, "ScanCommNo", 17);
    putNumber(own, "ScanCommNo", 4);
    allowOwn("D:P(A;;KR;;;WD)");
    EXPECT_EQ(loaded().link.ScanCommNo, 4) << "a stale earlier value must not win over the user's";
    EXPECT_FALSE(store.saveLinkSettings({5, "19200,e,8,1", 5}));
    EXPECT_EQ(loaded().link.ScanCommNo, 4);
}

TEST_F(RegistryStoreTest, AValueOfTheWrongTypeEndsTheReading)
{
    putNumber(own, "ScanCommNo", 4);
    putNumber(own, "ScanBaudRate", 7);
    putText(own, "LanguageFlag", "ChineseGB");
    const Settings settings = loaded();
    EXPECT_EQ(settings.link.ScanCommNo, 4);
    EXPECT_EQ(settings.link.ScanBaudRate, "19200,e,8,1");
    EXPECT_EQ(settings.uiLanguage, 0);
}

} // namespace
} // namespace tempik
