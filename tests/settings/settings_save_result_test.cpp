// What a save of the settings store reports: true only when every value it was given is in the
// file, so the front ends can tell the operator when something found or set is not remembered.
#include "settings/settings_file_store.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sys/stat.h>

namespace tempik {
namespace {

using testing::fileText;

// The save run as nobody when the test runs as root, so that folder permissions bind it.
bool saveAsUnprivileged(const std::function<bool()>& save)
{
    const std::optional<bool> saved = testing::unprivileged(save);
    EXPECT_TRUE(saved.has_value()) << "could not drop privileges";
    return saved.value_or(false);
}

TEST(SettingsSaveResult, TrueOnlyWhenEveryValueIsInTheFile)
{
    const LinkSettings good{4, "9600,n,8,1", 2};
    struct Row {
        const char* name;
        std::function<void(const std::string& folder)> prepare;
        std::function<bool(const SettingsFileStore&)> save;
        bool saved;
        const char* expectedInFile;   // nullptr: the file is as prepare left it
    };
    const std::string store = SettingsFileStore::fileName;
    const std::vector<Row> rows = {
        {"a writable folder", [](const std::string&) {},
         [&](const SettingsFileStore& s) { return s.saveLinkSettings(good); }, true, "\"ScanBaudRate\"=\"9600,n,8,1\""},
        {"the language flag", [](const std::string&) {},
         [](const SettingsFileStore& s) { return s.saveLanguageFlag("ChineseGB"); }, true, "\"LanguageFlag\"=\"ChineseGB\""},
        {"a folder where the file should be",
         [&](const std::string& folder) { ::mkdir((folder + "/" + store).c_str(), 0755); },
         [&](const SettingsFileStore& s) { return s.saveLinkSettings(good); }, false, nullptr},
        // The file the save would make could not be read again.
        {"a file the save would take over the size limit",
         [&](const std::string& folder) {
             std::ofstream(folder + "/" + store) << "REGEDIT4\n;" << std::string(SettingsFileStore::maximumFileSize - 20, 'x')
                                                 << "\n";
         },
         [&](const SettingsFileStore& s) { return s.saveLinkSettings(good); }, false, nullptr},
        {"a file over the size limit",
         [&](const std::string& folder) {
             std::ofstream(folder + "/" + store) << std::string(SettingsFileStore::maximumFileSize + 1, 'x');
         },
         [&](const SettingsFileStore& s) { return s.saveLinkSettings(good); }, false, nullptr},
        // The two values before the line definition are written; the save still did not do all.
        {"a line definition with a line break", [](const std::string&) {},
         [](const SettingsFileStore& s) { return s.saveLinkSettings({4, "9600\n,n,8,1", 2}); }, false,
         "\"ScanBaudRateNo\"=dword:00000002"},
        {"a language flag with a NUL", [](const std::string&) {},
         [](const SettingsFileStore& s) { return s.saveLanguageFlag(std::string("Eng\0lish", 8)); }, false, nullptr},
        {"a read-only folder", [](const std::string& folder) { ::chmod(folder.c_str(), 0555); },
         [&](const SettingsFileStore& s) { return saveAsUnprivileged([&] { return s.saveLinkSettings(good); }); }, false,
         nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testing::TempFolder root;
        ::chmod(root.path().c_str(), 0755);   // the unprivileged child must reach the folder
        const std::string folder = root.path() + "/KESTO";
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
        row.prepare(folder);
        const std::string path = folder + "/" + store;
        const std::string before = fileText(path);

        const SettingsFileStore settingsStore(folder);
        EXPECT_EQ(row.save(settingsStore), row.saved);
        if (row.expectedInFile)
            EXPECT_NE(fileText(path).find(row.expectedInFile), std::string::npos) << fileText(path);
        else
            EXPECT_EQ(fileText(path), before);
        ::chmod(folder.c_str(), 0755);
    }
}

} // namespace
} // namespace tempik
