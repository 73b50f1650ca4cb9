// The settings store in a temporary configuration folder: defaults, the order of reading and
// where a wrong type stops it, the write order, what a save keeps, interrupted saves, refused
// access and files that are not what they should be.
#include "settings/settings_file_store.h"

#include "texts/text_table.h"
#include "tests/support/files.h"
#include "tests/support/named_row.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tempik {
namespace {

using namespace std::string_literals;
using testing::fileText;
using testing::writeFile;

const std::string keyLine = "[HKEY_LOCAL_MACHINE\\Software\\KESTO\\TEMPIKConfig]";

bool exists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir))
            if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
                names.push_back(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

void expectDefaults(const Settings& settings)
{
    EXPECT_EQ(settings.link.ScanCommNo, 0);
    EXPECT_EQ(settings.link.ScanBaudRate, "19200,e,8,1");
    EXPECT_EQ(settings.link.ScanBaudRateNo, 5);
    EXPECT_EQ(settings.LanguageFlag, "English");
    EXPECT_EQ(settings.uiLanguage, 0);
}

class SettingsStoreTest : public ::testing::Test {
protected:
    // A store file holding the key with the given value lines.
    void writeStore(const std::string& values)
    {
        ::mkdir(folder_.c_str(), 0755);
        writeFile(path(), "REGEDIT4\n\n" + keyLine + "\n" + values);
    }
    Settings load() const
    {
        Settings settings;
        settings.link.ScanCommNo = 99;  // loading must start from the defaults
        SettingsFileStore(folder_).loadSettings(settings);
        return settings;
    }
    std::string path() const { return folder_ + "/TEMPIKConfig.reg"; }

    testing::TempFolder root;
    const std::string root_ = root.path();
    const std::string folder_ = root_ + "/KESTO";
};

TEST_F(SettingsStoreTest, FirstRunGivesDefaultsAndCreatesNothing)
{
    expectDefaults(load());
    EXPECT_FALSE(exists(folder_));
}

TEST_F(SettingsStoreTest, ReadsTheFourValuesAsStored)
{
    // An index outside the list and a text that is no line definition are taken as stored.
    writeStore("\"ScanCommNo\"=dword:0000000c\n\"ScanBaudRateNo\"=dword:00000011\n"
               "\"ScanBaudRate\"=\"not a line\"\n\"LanguageFlag\"=\"ChineseBIG5\"\n");
    const Settings settings = load();
    EXPECT_EQ(settings.link.ScanCommNo, 12);
    EXPECT_EQ(settings.link.ScanBaudRateNo, 17);
    EXPECT_EQ(settings.link.ScanBaudRate, "not a line");
    EXPECT_EQ(settings.LanguageFlag, "ChineseBIG5");
    EXPECT_EQ(settings.uiLanguage, 2);
}

struct FlagRow : testing::NamedRow {
    const char* stored;
    int uiLanguage;
};

class LanguageFlagTest : public SettingsStoreTest, public ::testing::WithParamInterface<FlagRow> {};

TEST_P(LanguageFlagTest, OnlyTheFlagStored)
{
    writeStore(std::string("\"LanguageFlag\"=\"") + GetParam().stored + "\"\n");
    const Settings settings = load();
    EXPECT_EQ(settings.uiLanguage, GetParam().uiLanguage);
    EXPECT_EQ(settings.LanguageFlag, GetParam().stored);  // the text read, even when unknown
    EXPECT_EQ(settings.link.ScanCommNo, 0);
    EXPECT_EQ(settings.link.ScanBaudRate, "19200,e,8,1");
    EXPECT_EQ(settings.link.ScanBaudRateNo, 5);
}

INSTANTIATE_TEST_SUITE_P(Flags, LanguageFlagTest,
                         ::testing::Values(FlagRow{"Simplified", "ChineseGB", 1},
                                           FlagRow{"Traditional", "ChineseBIG5", 2},
                                           FlagRow{"English", "English", 0},
                                           FlagRow{"LowerCase", "chinesegb", 0},
                                           FlagRow{"UpperCase", "CHINESEBIG5", 0},
                                           FlagRow{"Empty", "", 0}),
                         testing::rowName);

// Which value has the wrong type, and how many of the four, in reading order, are still read.
struct WrongTypeRow : testing::NamedRow {
    const char* values;
    int valuesRead;
};

class WrongTypeTest : public SettingsStoreTest, public ::testing::WithParamInterface<WrongTypeRow> {};

TEST_P(WrongTypeTest, EndsTheReadingThere)
{
    writeStore(GetParam().values);
    const Settings settings = load();
    const int read = GetParam().valuesRead;
    EXPECT_EQ(settings.link.ScanCommNo, read > 0 ? 4 : 0);
    EXPECT_EQ(settings.link.ScanBaudRate, read > 1 ? "9600,n,8,1" : "19200,e,8,1");
    EXPECT_EQ(settings.link.ScanBaudRateNo, read > 2 ? 2 : 5);
    EXPECT_EQ(settings.LanguageFlag, read > 3 ? "ChineseGB" : "English");
    EXPECT_EQ(settings.uiLanguage, read > 3 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, WrongTypeTest,
    ::testing::Values(
        WrongTypeRow{"AllGood",
                     "\"ScanCommNo\"=dword:00000004\n\"ScanBaudRate\"=\"9600,n,8,1\"\n"
                     "\"ScanBaudRateNo\"=dword:00000002\n\"LanguageFlag\"=\"ChineseGB\"\n",
                     4},
        WrongTypeRow{"CommNoAsText",
                     "\"ScanCommNo\"=\"4\"\n\"ScanBaudRate\"=\"9600,n,8,1\"\n"
                     "\"ScanBaudRateNo\"=dword:00000002\n\"LanguageFlag\"=\"ChineseGB\"\n",
                     0},
        WrongTypeRow{"BaudRateAsBinary",
                     "\"ScanCommNo\"=dword:00000004\n\"ScanBaudRate\"=hex:39,36,30,30\n"
                     "\"ScanBaudRateNo\"=dword:00000002\n\"LanguageFlag\"=\"ChineseGB\"\n",
                     1},
        WrongTypeRow{"BaudRateNoAsText",
                     "\"LanguageFlag\"=\"ChineseGB\"\n\"ScanBaudRateNo\"=\"2\"\n"
                     "\"ScanBaudRate\"=\"9600,n,8,1\"\n\"ScanCommNo\"=dword:00000004\n",
                     2},
        WrongTypeRow{"FlagAsInteger",
                     "\"ScanCommNo\"=dword:00000004\n\"ScanBaudRate\"=\"9600,n,8,1\"\n"
                     "\"ScanBaudRateNo\"=dword:00000002\n\"LanguageFlag\"=dword:00000001\n",
                     3},
        // Data the reader cannot make out counts as a value of another type.
        WrongTypeRow{"CommNoBadDigits",
                     "\"ScanCommNo\"=dword:0000000g\n\"LanguageFlag\"=\"ChineseGB\"\n", 0},
        WrongTypeRow{"CommNoNineDigits",
                     "\"ScanCommNo\"=dword:000000004\n\"LanguageFlag\"=\"ChineseGB\"\n", 0},
        WrongTypeRow{"BaudRateCutOff",
                     "\"ScanCommNo\"=dword:00000004\n\"ScanBaudRate\"=\"9600,n\n"
                     "\"ScanBaudRateNo\"=dword:00000002\n\"LanguageFlag\"=\"ChineseGB\"\n",
                     1},
        WrongTypeRow{"BaudRateTrailingJunk",
                     "\"ScanCommNo\"=dword:00000004\n\"ScanBaudRate\"=\"9600,n,8,1\"x\n"
                     "\"ScanBaudRateNo\"=dword:00000002\n\"LanguageFlag\"=\"ChineseGB\"\n",
                     1}),
    testing::rowName);

TEST_F(SettingsStoreTest, SavesInTheWriteOrderAndReplacesInPlace)
{
    const SettingsFileStore store(folder_);
    store.saveLinkSettings({3, "38400,e,8,1", 7});
    const std::string expected = "REGEDIT4\n\n" + keyLine + "\n"
                                 "\"ScanCommNo\"=dword:00000003\n"
                                 "\"ScanBaudRateNo\"=dword:00000007\n"
                                 "\"ScanBaudRate\"=\"38400,e,8,1\"\n";
    EXPECT_EQ(fileText(path()), expected);

    store.saveLanguageFlag("ChineseBIG5");
    store.saveLinkSettings({12, "4800,n,8,1", 0});
    EXPECT_EQ(fileText(path()), "REGEDIT4\n\n" + keyLine + "\n"
                                "\"ScanCommNo\"=dword:0000000c\n"
                                "\"ScanBaudRateNo\"=dword:00000000\n"
                                "\"ScanBaudRate\"=\"4800,n,8,1\"\n"
                                "\"LanguageFlag\"=\"ChineseBIG5\"\n");
    const Settings settings = load();
    EXPECT_EQ(settings.link.ScanCommNo, 12);
    EXPECT_EQ(settings.uiLanguage, 2);
}

TEST_F(SettingsStoreTest, TextsWithQuotesAndBackslashesComeBackAsSaved)
{
    const SettingsFileStore store(folder_);
    store.saveLanguageFlag("a\"b\\c\\");
    EXPECT_NE(fileText(path()).find("\"LanguageFlag\"=\"a\\\"b\\\\c\\\\\"\n"), std::string::npos);
    EXPECT_EQ(load().LanguageFlag, "a\"b\\c\\");
}

TEST_F(SettingsStoreTest, TextThatCannotStandInOneLineEndsTheSaveThere)
{
    SettingsFileStore(folder_).saveLinkSettings({2, "9600,n\n[Other]", 3});
    const Settings settings = load();
    EXPECT_EQ(settings.link.ScanCommNo, 2);
    EXPECT_EQ(settings.link.ScanBaudRateNo, 3);
    EXPECT_EQ(settings.link.ScanBaudRate, "19200,e,8,1");
    EXPECT_EQ(fileText(path()).find("[Other]"), std::string::npos);
}

TEST_F(SettingsStoreTest, SaveKeepsForeignValuesKeysAndLines)
{
    const std::string before = "REGEDIT4\n\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\KESTO\\Other]\n"
                               "\"ScanCommNo\"=dword:00000009\n\n"
                               + keyLine + "\n"
                               "; written by hand\n"
                               "\"Window\"=hex:01,02,\\\n  03,04\n"
                               "\"ScanCommNo\"=dword:00000001\n"
                               "\"Owner\"=\"somebody\"\n\n"
                               "[HKEY_CURRENT_USER\\Software\\Else]\n"
                               "\"X\"=\"y\"\n";
    writeStore("");
    writeFile(path(), before);
    SettingsFileStore(folder_).saveLinkSettings({5, "57600,e,8,1", 9});
    EXPECT_EQ(fileText(path()), "REGEDIT4\n\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\KESTO\\Other]\n"
                                "\"ScanCommNo\"=dword:00000009\n\n"
                                + keyLine + "\n"
                                "; written by hand\n"
                                "\"Window\"=hex:01,02,\\\n  03,04\n"
                                "\"ScanCommNo\"=dword:00000005\n"
                                "\"Owner\"=\"somebody\"\n"
                                "\"ScanBaudRateNo\"=dword:00000009\n"
                                "\"ScanBaudRate\"=\"57600,e,8,1\"\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Else]\n"
                                "\"X\"=\"y\"\n");
}

TEST_F(SettingsStoreTest, KeyTwiceLaterValueWinsAndIsTheOneReplaced)
{
    writeStore("\"ScanCommNo\"=dword:00000001\n\n" + keyLine + "\n\"ScanCommNo\"=dword:00000002\n");
    EXPECT_EQ(load().link.ScanCommNo, 2);
    SettingsFileStore(folder_).saveLinkSettings({7, "19200,e,8,1", 5});
    EXPECT_EQ(load().link.ScanCommNo, 7);
    EXPECT_NE(fileText(path()).find("\"ScanCommNo\"=dword:00000001\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, ValueOfAnotherTypeOverSeveralLinesIsReplacedWhole)
{
    writeStore("\"ScanCommNo\"=hex:01,02,\\\n  03,04\n\"Owner\"=\"x\"\n");
    expectDefaults(load());
    SettingsFileStore(folder_).saveLinkSettings({4, "19200,e,8,1", 5});
    EXPECT_EQ(fileText(path()), "REGEDIT4\n\n" + keyLine + "\n"
                                "\"ScanCommNo\"=dword:00000004\n\"Owner\"=\"x\"\n"
                                "\"ScanBaudRateNo\"=dword:00000005\n"
                                "\"ScanBaudRate\"=\"19200,e,8,1\"\n");
}

TEST_F(SettingsStoreTest, WindowsLineEndsAreReadAndKept)
{
    ::mkdir(folder_.c_str(), 0755);
    writeFile(path(), "REGEDIT4\r\n\r\n" + keyLine + "\r\n\"ScanCommNo\"=dword:00000003\r\n");
    EXPECT_EQ(load().link.ScanCommNo, 3);
    SettingsFileStore(folder_).saveLanguageFlag("ChineseGB");
    EXPECT_EQ(fileText(path()), "REGEDIT4\r\n\r\n" + keyLine
                                    + "\r\n\"ScanCommNo\"=dword:00000003\r\n"
                                      "\"LanguageFlag\"=\"ChineseGB\"\r\n");
}

TEST_F(SettingsStoreTest, SaveAbandonedBeforeItsRenameLeavesTheOldFileWhole)
{
    writeStore("\"ScanCommNo\"=dword:00000003\n\"LanguageFlag\"=\"ChineseGB\"\n");
    const std::string before = fileText(path());
    SettingsFileStore store(folder_);
    std::string seenTemporary;
    store.setBeforeReplace([&](const std::string& temporary) {
        seenTemporary = temporary;
        // The new content is complete at this point; only the rename is missing.
        EXPECT_NE(fileText(temporary).find("dword:00000008"), std::string::npos);
        return false;
    });
    store.saveLinkSettings({8, "19200,e,8,1", 5});
    EXPECT_FALSE(seenTemporary.empty());
    EXPECT_EQ(fileText(path()), before);
    EXPECT_EQ(folderEntries(folder_), std::vector<std::string>{"TEMPIKConfig.reg"});
}

TEST_F(SettingsStoreTest, ProgramDyingBeforeTheRenameLeavesTheOldFileWhole)
{
    writeStore("\"ScanCommNo\"=dword:00000003\n");
    const std::string before = fileText(path());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SettingsFileStore store(folder_);
        store.setBeforeReplace([](const std::string&) -> bool { ::_exit(0); });
        store.saveLinkSettings({8, "19200,e,8,1", 5});
        ::_exit(1);  // the save went on past its hook
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(fileText(path()), before);
    EXPECT_EQ(load().link.ScanCommNo, 3);
    // The next save removes the leftover temporary file, and only that.
    writeFile(path() + ".backup", "a copy kept by hand");
    SettingsFileStore(folder_).saveLinkSettings({9, "19200,e,8,1", 5});
    EXPECT_EQ(load().link.ScanCommNo, 9);
    std::vector<std::string> entries = folderEntries(folder_);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"TEMPIKConfig.reg", "TEMPIKConfig.reg.backup"}));
}

TEST_F(SettingsStoreTest, SymbolicLinkStaysAndItsTargetIsReplaced)
{
    ASSERT_EQ(::mkdir(folder_.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((root_ + "/dotfiles").c_str(), 0755), 0);
    writeFile(root_ + "/dotfiles/tempik.reg", "REGEDIT4\n\n" + keyLine + "\n\"ScanCommNo\"=dword:00000003\n");
    ASSERT_EQ(::symlink("../dotfiles/tempik.reg", path().c_str()), 0);

    SettingsFileStore(folder_).saveLanguageFlag("ChineseGB");

    char link[256] = {};
    ASSERT_GT(::readlink(path().c_str(), link, sizeof link - 1), 0) << "the link was replaced";
    EXPECT_STREQ(link, "../dotfiles/tempik.reg");
    EXPECT_EQ(fileText(root_ + "/dotfiles/tempik.reg"), "REGEDIT4\n\n" + keyLine + "\n\"ScanCommNo\"=dword:00000003\n"
                                                         "\"LanguageFlag\"=\"ChineseGB\"\n");
    EXPECT_EQ(folderEntries(root_ + "/dotfiles"), std::vector<std::string>{"tempik.reg"});
}

// A save that starts while another is between its reading and its rename waits for it, so
// neither value is lost.
TEST_F(SettingsStoreTest, TwoSavesAtOnceKeepBothValues)
{
    writeStore("\"ScanCommNo\"=dword:00000003\n");
    SettingsFileStore store(folder_);
    pid_t other = -1;
    store.setBeforeReplace([&](const std::string&) {
        other = ::fork();
        if (other == 0)
            ::_exit(SettingsFileStore(folder_).saveLanguageFlag("ChineseGB") ? 0 : 1);
        // Time for the other save to finish, were it not held back.
        for (int wait = 0; wait < 50 && ::waitpid(other, nullptr, WNOHANG) == 0; ++wait)
            ::usleep(10000);
        return true;
    });
    ASSERT_TRUE(store.saveLinkSettings({8, "19200,e,8,1", 5}));
    ASSERT_GT(other, 0);
    ::waitpid(other, nullptr, 0);
    const Settings settings = load();
    EXPECT_EQ(settings.link.ScanCommNo, 8);
    EXPECT_EQ(settings.LanguageFlag, "ChineseGB");
}

// A root run (sudo -E) must leave the user's file, and a file it makes in the user's folder,
// the user's.
TEST_F(SettingsStoreTest, RootRunKeepsTheOwnerAndModeOfTheFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make a file nobody's and save over it";
    writeStore("\"ScanCommNo\"=dword:00000003\n");
    ASSERT_EQ(::chown(path().c_str(), testing::nobodyId, testing::nobodyId), 0);
    ASSERT_EQ(::chmod(path().c_str(), 0640), 0);
    const std::string newFolder = root_ + "/home/KESTO";
    ASSERT_EQ(::mkdir((root_ + "/home").c_str(), 0755), 0);
    ASSERT_EQ(::chown((root_ + "/home").c_str(), testing::nobodyId, testing::nobodyId), 0);

    ASSERT_TRUE(SettingsFileStore(folder_).saveLanguageFlag("ChineseGB"));
    ASSERT_TRUE(SettingsFileStore(newFolder).saveLanguageFlag("ChineseGB"));

    for (const std::string& made : {path(), newFolder, newFolder + "/TEMPIKConfig.reg"}) {
        struct stat status;
        ASSERT_EQ(::stat(made.c_str(), &status), 0);
        EXPECT_EQ(std::make_pair(status.st_uid, status.st_gid), std::make_pair(testing::nobodyId, testing::nobodyId))
            << made;
        EXPECT_TRUE(made != path() || (status.st_mode & 07777) == 0640) << std::oct << status.st_mode;
    }
}

// Root ignores file permissions, so a read-only file alone proves nothing when the tests run
// as root: the load and the saves run in a child that has given up root for "nobody".
TEST_F(SettingsStoreTest, FileTheUserCannotWriteGivesDefaultsAndIsNotSaved)
{
    writeStore("\"ScanCommNo\"=dword:00000003\n\"LanguageFlag\"=\"ChineseGB\"\n");
    ASSERT_EQ(::chmod(root_.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(path().c_str(), 0444), 0);
    const std::string before = fileText(path());

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        Settings settings;
        SettingsFileStore store(folder_);
        store.loadSettings(settings);
        store.saveLinkSettings({7, "4800,n,8,1", 0});
        store.saveLanguageFlag("ChineseBIG5");
        const std::string report = std::to_string(settings.link.ScanCommNo) + " "
                                   + settings.LanguageFlag + " "
                                   + std::to_string(settings.uiLanguage);
        ::_exit(::write(pipeFds[1], report.data(), report.size()) == ssize_t(report.size()) ? 0 : 3);
    }
    ::close(pipeFds[1]);
    char buffer[64] = {};
    const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer - 1);
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_GT(got, 0);
    EXPECT_EQ(std::string(buffer), "0 English 0");  // readable, but not with full access
    EXPECT_EQ(fileText(path()), before);
    EXPECT_EQ(folderEntries(folder_), std::vector<std::string>{"TEMPIKConfig.reg"});
}

// These fail for root as well: no permission check is involved.
TEST_F(SettingsStoreTest, StoreThatCannotBeOpenedIsLeftAloneSilently)
{
    // A folder where the file should be.
    ASSERT_EQ(::mkdir(folder_.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(path().c_str(), 0755), 0);
    expectDefaults(load());
    SettingsFileStore(folder_).saveLanguageFlag("ChineseGB");
    EXPECT_EQ(folderEntries(folder_), std::vector<std::string>{"TEMPIKConfig.reg"});

    // A configuration folder that cannot exist: its parent is a regular file.
    const std::string blocked = root_ + "/plain-file/KESTO";
    writeFile(root_ + "/plain-file", "x");
    Settings settings;
    SettingsFileStore(blocked).loadSettings(settings);
    expectDefaults(settings);
    SettingsFileStore(blocked).saveLinkSettings({3, "19200,e,8,1", 5});
    EXPECT_EQ(fileText(root_ + "/plain-file"), "x");
}

TEST_F(SettingsStoreTest, SaveCreatesTheFolderWhenMissing)
{
    const std::string deep = root_ + "/a/b/KESTO";
    SettingsFileStore(deep).saveLanguageFlag("ChineseGB");
    Settings settings;
    SettingsFileStore(deep).loadSettings(settings);
    EXPECT_EQ(settings.uiLanguage, 1);
}

// Files that are not what they should be: none may crash or hang the program, what cannot be
// read takes its default, and a save keeps every byte it did not write.
struct GarbageRow : testing::NamedRow {
    std::string content;
    int scanCommNo;  // what the load makes of it
};

std::string binaryNoise()
{
    std::string noise;
    unsigned state = 12345;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        noise += static_cast<char>(state >> 16);
    }
    return noise;
}

const GarbageRow garbageRows[] = {
    {"BinaryNoise", binaryNoise(), 0},
    {"Empty", "", 0},
    {"HeaderOnly", "REGEDIT4", 0},
    {"NulBytes", "REGEDIT4\n\n" + keyLine + "\n\"Scan\0CommNo\"=dword:00000003\n\0\0\0\n"s
                 "\"ScanCommNo\"=dword:00000004\n" + std::string(3, '\0'), 4},
    {"TruncatedInAValue", "REGEDIT4\n\n" + keyLine + "\n\"ScanCommNo\"=dword:00000006\n\"ScanBa",
     6},
    {"TruncatedInTheKey", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\KES", 0},
    {"HugeLine", "REGEDIT4\n\n" + keyLine + "\n\"Junk\"=\"" + std::string(500000, 'x')
                 + "\n\"ScanCommNo\"=dword:00000002\n", 2},
    {"UnparseableLines", "REGEDIT4\n\n" + keyLine + "\n=dword:1\n\"\n\"\"\"\n[\n]\n\\\n"
                         "\"ScanCommNo\"\n\"ScanCommNo\"=dword:00000005\n", 5},
    {"NoHeader", keyLine + "\n\"ScanCommNo\"=dword:00000007\n", 7},
    {"KeyCaseDiffers", "REGEDIT4\n\n[hkey_local_machine\\SOFTWARE\\kesto\\tempikconfig]\n"
                       "\"scancommno\"=dword:00000008\n", 8},
};

class GarbageTest : public SettingsStoreTest, public ::testing::WithParamInterface<GarbageRow> {};

TEST_P(GarbageTest, ReadsWhatItCanAndASaveKeepsTheRest)
{
    ::mkdir(folder_.c_str(), 0755);
    const std::string& garbage = GetParam().content;
    writeFile(path(), garbage);
    EXPECT_EQ(load().link.ScanCommNo, GetParam().scanCommNo);

    SettingsFileStore(folder_).saveLanguageFlag("ChineseBIG5");
    const std::string after = fileText(path());
    const Settings settings = load();
    EXPECT_EQ(settings.uiLanguage, 2);
    EXPECT_EQ(settings.link.ScanCommNo, GetParam().scanCommNo);
    // Every line that was there is still there, in its order.
    size_t from = 0;
    std::istringstream lines(garbage);
    for (std::string line; std::getline(lines, line);) {
        const size_t at = after.find(line, from);
        ASSERT_NE(at, std::string::npos) << "lost: " << line.substr(0, 40);
        from = at + line.size();
    }
}

INSTANTIATE_TEST_SUITE_P(Files, GarbageTest, ::testing::ValuesIn(garbageRows),
                         testing::rowName);

TEST_F(SettingsStoreTest, OversizedFileIsNeitherReadNorRewritten)
{
    writeStore("\"ScanCommNo\"=dword:00000003\n;" + std::string(SettingsFileStore::maximumFileSize, 'x')
               + "\n");
    const std::string before = fileText(path());
    expectDefaults(load());
    SettingsFileStore(folder_).saveLanguageFlag("ChineseGB");
    EXPECT_EQ(fileText(path()), before);
}

TEST_F(SettingsStoreTest, PipeInPlaceOfTheFileDoesNotHang)
{
    ASSERT_EQ(::mkdir(folder_.c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo(path().c_str(), 0644), 0);
    expectDefaults(load());
    SettingsFileStore(folder_).saveLanguageFlag("ChineseGB");
    struct stat status;
    ASSERT_EQ(::stat(path().c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

} // namespace
} // namespace tempik
