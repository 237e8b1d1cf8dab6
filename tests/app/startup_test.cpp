#include "app/startup.h"
#include "platform/files.h"
#include "settings/mame_config.h"
#include "settings/preferences.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orvel;
using namespace orvel::test;

namespace {

// The MAME file dialog's default name and filter.
#ifdef _WIN32
const std::string mame_dialog_name = "mame64.exe";
const std::string mame_dialog_filter = "Executable (*.exe)|*.exe";
#else
const std::string mame_dialog_name = "mame";
const std::string mame_dialog_filter = "Executable (mame mame64 *.exe)|mame;mame64;*.exe";
#endif

const char* const update_text = "Your version of MAME has changed\r\nWould you like to refresh the "
                                "database?";
const char* const missing_text =
    "Your MAME Executable is missing\r\nWould you like to select a new file?";

class Startup : public ::testing::Test {
  protected:
    const std::string start_cwd = current_directory();
    TempDir dir;
    ScriptedHost host;
    Settings settings;
    MamePaths paths;
    StartupOptions options;
    std::string mame_folder;

    void SetUp() override {
        options.start_directory = dir.path();
        options.desktop_width = 1280;
        options.desktop_height = 1024;
        mame_folder = dir.file("my mame é/");
        create_folder(mame_folder);
        // MAME has a configuration of its own, which start-up only reads.
        dir.write("my mame é/mame.ini", "rompath                   roms\n");
    }

    // The fake MAME under a given name inside the MAME folder.
    std::string install_mame(const std::string& name = mame_file) {
        const std::string exe = mame_folder + name;
        delete_file(exe);
        EXPECT_TRUE(copy_file(ORVEL_FAKE_MAME, exe));
        return exe;
    }
    std::string prefs() const { return dir.file("ORVEL_Data/ORVEL.prefs"); }
    // Preferences as an earlier run left them.
    void earlier_run(const std::string& exe_name, const std::string& size) {
        Settings s;
        set_default_settings(s, dir.path());
        s.MAME_Exe = exe_name;
        s.MAME_Path = mame_folder;
        s.MAME_Size = size;
        s.MAME_Version = "0.250";
        s.ORVEL_Font_Size = 13;
        ASSERT_TRUE(create_folder(s.ORVEL_Data));
        ASSERT_TRUE(save_preferences(s, preferences_path(s)));
        dir.write("ORVEL_Data/ORVEL.qld", "database");
    }
};

} // namespace

TEST_F(Startup, FirstStartChoosesMameSavesAndReadsItsConfiguration) {
    const std::string exe = install_mame();
    delete_file(mame_folder + "mame.ini"); // none anywhere: MAME writes its defaults
    host.files.push_back(exe);
    const StartupResult r = run_startup(settings, paths, host, options);
    EXPECT_EQ(r.outcome, StartupOutcome::Continue);
    EXPECT_FALSE(r.refresh_database);
    ASSERT_EQ(host.prompts.size(), 2u);
    EXPECT_EQ(host.messages(), std::vector<std::string>{"MAME Configuration: " +
                                                        mame_config_created_text(mame_folder)});
    EXPECT_EQ(host.prompts[1].icon, Icon::Information);
    EXPECT_EQ(host.prompts[0].kind, "open");
    EXPECT_EQ(host.prompts[0].title, "Select MAME Executable");
    EXPECT_EQ(host.prompts[0].text, mame_dialog_name + "|" + mame_dialog_filter);

    EXPECT_EQ(settings.MAME_Exe, mame_file);
    EXPECT_EQ(settings.MAME_Path, mame_folder);
    EXPECT_EQ(settings.MAME_Size, std::to_string(file_size(exe)));
    EXPECT_EQ(settings.MAME_Date.size(), 10u);
    EXPECT_EQ(settings.MAME_Version, "0.251");
    EXPECT_EQ(settings.window_width, 640);
    EXPECT_EQ(read_all(prefs()), format_preferences(settings));
    EXPECT_EQ(current_directory(), start_cwd);         // MAME's folder is passed, never entered
    EXPECT_GT(file_size(mame_folder + "mame.ini"), 0); // written by "-cc"
    EXPECT_EQ(paths.rompath, "roms");
    EXPECT_EQ(paths.categorypath, "folders");
}

TEST_F(Startup, LaterStartLoadsThePreferencesWithoutQuestions) {
    const std::string exe = install_mame();
    earlier_run(mame_file, std::to_string(file_size(exe)));
    const StartupResult r = run_startup(settings, paths, host, options);
    EXPECT_EQ(r.outcome, StartupOutcome::Continue);
    EXPECT_TRUE(host.prompts.empty());
    EXPECT_EQ(settings.ORVEL_Font_Size, 13);
    EXPECT_EQ(settings.MAME_Version, "0.250");
    EXPECT_EQ(paths.rompath, "roms");
}

TEST_F(Startup, MameUpdateYesChoosesAgainAndKeepsTheDatabaseForTheRebuild) {
    const std::string exe = install_mame();
    earlier_run(mame_file, "1234");
    host.answers = {Answer::Yes};
    host.files.push_back(exe);
    const StartupResult r = run_startup(settings, paths, host, options);
    EXPECT_EQ(r.outcome, StartupOutcome::Continue);
    EXPECT_TRUE(r.refresh_database);
    EXPECT_EQ(host.messages(),
              (std::vector<std::string>{std::string("MAME Update: ") + update_text}));
    EXPECT_EQ(host.prompts[0].buttons, Buttons::YesNo);
    ASSERT_EQ(host.prompts.size(), 2u);
    EXPECT_EQ(host.prompts[1].title, "Select MAME Executable");
    // The old database stays: the rebuild carries favourites and command lines over.
    EXPECT_EQ(read_all(dir.file("ORVEL_Data/ORVEL.qld")), "database");
    EXPECT_EQ(settings.MAME_Size, std::to_string(file_size(exe)));
    EXPECT_EQ(settings.MAME_Version, "0.251");
    Settings saved;
    set_default_settings(saved, dir.path());
    ASSERT_TRUE(load_preferences(saved));
    EXPECT_EQ(saved.MAME_Size, settings.MAME_Size);
}

// Preferences that cannot be read end the start with their name and the reason, instead of a
// first start whose save would replace them.
TEST_F(Startup, UnreadablePreferencesEndTheStartAndStay) {
    ASSERT_TRUE(create_folders(prefs() + "/"));
    const StartupResult r = run_startup(settings, paths, host, options);
    EXPECT_EQ(r.outcome, StartupOutcome::Exit);
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(host.prompts[0].title, "Preferences");
    EXPECT_EQ(host.prompts[0].text.rfind("The preferences file could not be read: " + prefs() +
                                             " (" + folder_read_reason + ")",
                                         0),
              0u)
        << host.prompts[0].text;
    EXPECT_TRUE(folder_exists(prefs()));
}

TEST_F(Startup, MameUpdateNoGoesOnUnchanged) {
    install_mame();
    earlier_run(mame_file, "1234");
    host.answers = {Answer::No};
    const StartupResult r = run_startup(settings, paths, host, options);
    EXPECT_EQ(r.outcome, StartupOutcome::Continue);
    EXPECT_FALSE(r.refresh_database);
    EXPECT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(settings.MAME_Size, "1234");
    EXPECT_EQ(settings.MAME_Version, "0.250");
    EXPECT_EQ(paths.rompath, "roms");
}

TEST_F(Startup, MissingExecutableNoEndsTheProgram) {
    earlier_run(mame_file, "1234");
    host.answers = {Answer::No};
    const StartupResult r = run_startup(settings, paths, host, options);
    EXPECT_EQ(r.outcome, StartupOutcome::Exit);
    EXPECT_EQ(host.messages(),
              (std::vector<std::string>{std::string("MAME EXE Missing: ") + missing_text}));
    EXPECT_EQ(host.prompts.size(), 1u);
}

TEST_F(Startup, MissingExecutableYesChoosesANewOne) {
    earlier_run("mame64", "1234");
    const std::string exe = install_mame(mame_file);
    host.answers = {Answer::Yes};
    host.files.push_back(exe);
    const StartupResult r = run_startup(settings, paths, host, options);
    EXPECT_EQ(r.outcome, StartupOutcome::Continue);
    EXPECT_FALSE(r.refresh_database);
    EXPECT_EQ(host.prompts.size(), 2u);
    EXPECT_EQ(settings.MAME_Exe, mame_file);
    EXPECT_EQ(settings.ORVEL_Font_Size, 13); // the rest of the preferences survive
}

TEST_F(Startup, UnknownFileNameAsksAndNoEnds) {
    host.files.push_back(install_mame("emulator" + exe_suffix));
    host.answers = {Answer::No};
    const StartupResult r = run_startup(settings, paths, host, options);
    EXPECT_EQ(r.outcome, StartupOutcome::Exit);
    EXPECT_EQ(host.messages(),
              (std::vector<std::string>{"Invalid Filename: Unknown MAME Filename. Continue?"}));
    EXPECT_EQ(file_size(prefs()), -1);
}

TEST_F(Startup, UnknownFileNameYesGoesOnAndReadsItsVersion) {
    host.files.push_back(install_mame("emulator" + exe_suffix));
    host.answers = {Answer::Yes};
    const StartupResult r = run_startup(settings, paths, host, options);
    EXPECT_EQ(r.outcome, StartupOutcome::Continue);
    EXPECT_EQ(settings.MAME_Exe, "emulator" + exe_suffix);
    EXPECT_EQ(settings.MAME_Version, "0.251");
    EXPECT_GT(file_size(prefs()), 0);
    EXPECT_EQ(paths.rompath, "roms");
}

// Nothing on the search path: the user hears how to get MAME before the dialog. A program that
// prints no version is refused, nothing saved, and the dialog offered again.
TEST_F(Startup, WithoutMameTheHintComesFirstAndANonMameIsRefused) {
    options.mame_search_path = dir.file("nowhere");
#ifdef _WIN32
    // A program that prints a blank line for "-version".
    EnvGuard blank_version("ORVEL_FAKE_VERSION", " ");
    const std::string not_mame = install_mame();
    const std::string how_to_get_mame = "download it from the MAME project's site";
#else
    const std::string not_mame = dir.write("my mame é/mame", "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(not_mame, std::filesystem::perms::owner_all);
    const std::string how_to_get_mame = "sudo apt install mame";
#endif
    host.files = {not_mame, ""};
    host.answers = {Answer::Ok, Answer::Yes};
    EXPECT_EQ(run_startup(settings, paths, host, options).outcome, StartupOutcome::Exit);
    const std::vector<std::string> messages = host.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "MAME Not Found: " + no_mame_found_text());
    EXPECT_NE(no_mame_found_text().find(how_to_get_mame), std::string::npos);
    EXPECT_EQ(messages[1], "Not MAME: \"" + not_mame +
                               "\" printed no version for \"-version\" (MAME prints its "
                               "version there, and lists its machines for \"-listxml\"), so it "
                               "does not look like MAME.\n\nChoose another MAME?");
    EXPECT_EQ(host.prompts.back().kind, "open"); // offered again, then cancelled
    EXPECT_EQ(settings.MAME_Exe, "");
    EXPECT_EQ(file_size(prefs()), -1);
}

TEST_F(Startup, CancelledDialogEndsWithoutAMessage) {
    const StartupResult r = run_startup(settings, paths, host, options);
    EXPECT_EQ(r.outcome, StartupOutcome::Exit);
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(file_size(dir.file("ORVEL_Data")), -1);
}

TEST_F(Startup, AnEmptyPreferencesFileIsNotRead) {
    create_folder(dir.file("ORVEL_Data"));
    dir.write("ORVEL_Data/ORVEL.prefs", "");
    host.files.push_back(install_mame());
    EXPECT_EQ(run_startup(settings, paths, host, options).outcome, StartupOutcome::Continue);
    EXPECT_EQ(settings.ORVEL_Data, dir.file("ORVEL_Data/"));
    EXPECT_EQ(host.prompts.size(), 1u);
}

// An installed program: its own data folder, and the first MAME on the search path offered in
// the dialog as a full path (the dialog opens in its folder with it selected).
TEST_F(Startup, FirstStartOffersTheMameFoundOnTheSearchPathAndUsesTheGivenDataFolder) {
    const std::string exe = install_mame();
    options.mame_search_path = dir.file("nowhere") + path_list + mame_folder;
    create_folder(dir.file("per-user"));
    options.data_folder = dir.file("per-user/orvel");
    host.files.push_back(exe);
    EXPECT_EQ(run_startup(settings, paths, host, options).outcome, StartupOutcome::Continue);
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(host.prompts[0].text, exe + "|" + mame_dialog_filter);
    EXPECT_EQ(settings.ORVEL_Data, dir.file("per-user/orvel/"));
    EXPECT_GT(file_size(dir.file("per-user/orvel/ORVEL.prefs")), 0);
    EXPECT_EQ(file_size(prefs()), -1);
}

TEST(MameVersion, FromTheFirstWordOfTheVersionOutput) {
    TempDir dir;
    EnvGuard version("ORVEL_FAKE_VERSION", "0.262 (mame0262-dirty)");
    EXPECT_EQ(read_mame_version(ORVEL_FAKE_MAME, dir.path()).value(), "0.262");
    EnvGuard hang("ORVEL_FAKE_HANG", "1");
    EXPECT_TRUE(read_mame_version(ORVEL_FAKE_MAME, dir.path(), 300).is(FailureKind::Error));
}

TEST_F(Startup, AMameThatDoesNotAnswerIsEndedAndTheUserTold) {
    host.files.push_back(install_mame());
    delete_file(mame_folder + "mame.ini"); // MAME is asked for the settings in effect
    EnvGuard hang("ORVEL_FAKE_HANG", "1");
    options.version_timeout_ms = 300;
    options.cc_timeout_ms = 300;
    EXPECT_EQ(run_startup(settings, paths, host, options).outcome, StartupOutcome::Continue);
    EXPECT_EQ(host.messages(),
              (std::vector<std::string>{
                  "MAME Version: MAME did not answer \"-version\" within 0.3 seconds and was "
                  "ended; its version is not known.",
                  "MAME Configuration: MAME did not answer \"-showconfig\" within 0.3 seconds "
                  "and was ended; its folders are not known."}));
    EXPECT_EQ(settings.MAME_Version, "");
}

TEST_F(Startup, PreferencesThatCannotBeWrittenAreReportedAndStartUpGoesOn) {
    dir.write("plain", "a file where the data folder would go");
    options.data_folder = dir.file("plain/ORVEL_Data/");
    host.files.push_back(install_mame());
    EXPECT_EQ(run_startup(settings, paths, host, options).outcome, StartupOutcome::Continue);
    const std::string expected = "Save Failed: Settings Not Saved!\nThe preferences file could "
                                 "not be written: " +
                                 preferences_path(settings) + " (";
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].substr(0, expected.size()), expected);
    EXPECT_EQ(settings.MAME_Exe, mame_file); // the choice holds for this run
}
