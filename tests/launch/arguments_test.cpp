#include "launch/arguments.h"

#include "platform/process.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

Machine machine(const std::string& name) {
    Machine m;
    m.name = name;
    m.commandlines.push_back(default_commandline());
    return m;
}

TEST(BuildMameArguments, PlainMachineAndMediaKeepTheirBlanks) {
    const Machine nes = machine("nes");
    EXPECT_EQ(build_mame_arguments(nes, 0, "", ""), " nes ");
    EXPECT_EQ(build_mame_arguments(nes, 0, "cart1", "smb"), " nes -cart1 \"smb\" ");
    // A switch with an empty file still hands MAME an empty quoted file.
    EXPECT_EQ(build_mame_arguments(nes, 0, "cart1", ""), " nes -cart1 \"\" ");
    // A file without a switch is not passed.
    EXPECT_EQ(build_mame_arguments(nes, 0, "", "smb"), " nes ");
}

TEST(BuildMameArguments, BiosOnlyForAChosenNamedBiosSet) {
    Machine m = machine("mslug");
    m.bios_sets = {{"euro", "Europe MVS"}, {"us", "US MVS"}, {"", "nameless"}};
    m.commandlines[0].commandline_string = "-window";
    m.commandlines[0].commandline_bios = 1;
    // Two blanks between the BIOS name and the stored options.
    EXPECT_EQ(build_mame_arguments(m, 0, "", ""), " mslug -bios us  -window");
    EXPECT_EQ(build_mame_arguments(m, 0, "cart1", "x y.bin"),
              " mslug -bios us  -cart1 \"x y.bin\" -window");
    m.commandlines[0].commandline_bios = 0;
    EXPECT_EQ(build_mame_arguments(m, 0, "", ""), " mslug -bios euro  -window");
    for (std::int64_t bios : {-1, 2, 3, 99}) {
        m.commandlines[0].commandline_bios = bios;
        EXPECT_EQ(build_mame_arguments(m, 0, "", ""), " mslug -window") << bios;
    }
    Machine no_sets = machine("pacman");
    no_sets.commandlines[0].commandline_bios = 0;
    EXPECT_EQ(build_mame_arguments(no_sets, 0, "", ""), " pacman ");
}

TEST(BuildMameArguments, UsesTheSelectedStoredCommandLine) {
    Machine m = machine("sf2");
    m.bios_sets = {{"b1", ""}};
    m.commandlines.push_back({"Windowed", "-window -nomax", 0});
    EXPECT_EQ(build_mame_arguments(m, 0, "", ""), " sf2 ");
    EXPECT_EQ(build_mame_arguments(m, 1, "", ""), " sf2 -bios b1  -window -nomax");
    // A position outside the list runs the machine without stored options.
    EXPECT_EQ(build_mame_arguments(m, 2, "", ""), " sf2 ");
    EXPECT_EQ(build_mame_arguments(Machine{}, 0, "", ""), "  ");
}

TEST(BuildMameArgumentList, MatchesTheSplitStringAndKeepsOddFileNamesWhole) {
    Machine m = machine("a500");
    m.bios_sets = {{"kick13", ""}};
    m.commandlines[0] = {"Default", "-ramsize 1M -skip_gameinfo", 0};
    for (const char* file : {"", "game.adf", "/home/me/My Games/disk 1.adf"}) {
        EXPECT_EQ(build_mame_argument_list(m, 0, "flop1", file),
                  split_arguments(build_mame_arguments(m, 0, "flop1", file)))
            << file;
    }
    const auto args = build_mame_argument_list(m, 0, "flop1", "say \"hi\".adf");
    EXPECT_EQ(args, (std::vector<std::string>{"a500", "-bios", "kick13", "-flop1", "say \"hi\".adf",
                                              "-ramsize", "1M", "-skip_gameinfo"}));
}

TEST(BuildMameRunArguments, BothFormsComeFromTheSamePieces) {
    // Odd stored options and names: the list always reads as the string splits.
    struct Case {
        const char* name;
        const char* options;
        const char* media_switch;
        const char* software;
    };
    for (const Case& c :
         std::initializer_list<Case>{{"pacman", "", "", ""},
                                     {"sf2", "  -window   -nomax ", "", ""},
                                     {"nes", "-snapname \"my snaps\"", "cart", ""},
                                     {"nes", "-snapname \"my snaps\"", "", "nes:smb"},
                                     {"two words", "-bios x", "", ""}}) {
        Machine m = machine(c.name);
        m.commandlines[0].commandline_string = c.options;
        const MameArguments both =
            build_mame_run_arguments(m, 0, c.media_switch, "smb.nes", c.software);
        EXPECT_EQ(both.text, build_mame_arguments(m, 0, c.media_switch, "smb.nes", c.software))
            << c.name;
        EXPECT_EQ(both.list, split_arguments(both.text)) << c.name;
    }
    EXPECT_EQ(build_mame_arguments(machine("nes"), 0, "", "", "nes:smb"), " nes nes:smb ");
}

} // namespace
} // namespace orvel
