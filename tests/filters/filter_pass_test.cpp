#include "filters/filter_pass.h"
#include "filters/filter_set.h"
#include "filters/list_texts.h"
#include "machines.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

using namespace orvel;
using namespace orvel::test;

namespace {

// One record per property the flags test, named after it; "plain" has none of them.
MachineList property_list() {
    MachineList ms;
    ms.push_back(machine("plain"));
    ms.push_back(machine("avail"));
    ms.back().isavailable = true;
    ms.push_back(machine("isbios"));
    ms.back().isbios = true;
    ms.push_back(machine("biosset"));
    ms.back().bios_sets.push_back({"b", "B"});
    ms.push_back(machine("chd"));
    ms.back().disks.push_back("d");
    ms.push_back(machine("fav"));
    ms.back().isfavourite = true;
    ms.push_back(machine("mech"));
    ms.back().ismechanical = true;
    ms.push_back(machine("clone"));
    ms.back().cloneof = "plain";
    ms.push_back(machine("norun"));
    ms.back().runnable = false;
    ms.push_back(machine("raster"));
    ms.back().screen_type = "raster";
    ms.push_back(machine("vector"));
    ms.back().screen_type = "vector";
    ms.push_back(machine("lcd"));
    ms.back().screen_type = "lcd";
    ms.push_back(machine("svg"));
    ms.back().screen_type = "svg";
    ms.push_back(machine("soft"));
    ms.back().softwarelists.push_back("l");
    ms.push_back(machine("good"));
    ms.back().driver_status = "good";
    ms.push_back(machine("imperfect"));
    ms.back().driver_status = "imperfect";
    ms.push_back(machine("prelim"));
    ms.back().driver_status = "preliminary";
    ms.push_back(machine("complete"));
    ms.back().audit = AuditVerdict::Complete;
    ms.push_back(machine("missingset"));
    ms.back().audit = AuditVerdict::Missing;
    return ms;
}

const Names everything_but(MachineList& ms, const Names& removed) {
    static Names out;
    out.clear();
    for (const Machine& m : ms)
        if (std::find(removed.begin(), removed.end(), m.name) == removed.end())
            out.push_back(m.name);
    std::sort(out.begin(), out.end());
    return out;
}

Names sorted(Names n) {
    std::sort(n.begin(), n.end());
    return n;
}

} // namespace

TEST(FilterPass, EachTreeChoiceTurnsOnTheFlagThatHidesWhatTheChildExcludes) {
    struct Case {
        const char* group;
        int position;
        Names shown; // empty: see hidden
        Names hidden;
    };
    const Case cases[] = {
        {"Audit", 1, {"complete"}, {}},
        {"Audit", 3, {"missingset"}, {}},
        {"Availability", 1, {"avail"}, {}},
        {"Availability", 2, {}, {"avail"}},
        {"BIOS", 1, {"isbios"}, {}},
        {"BIOS", 2, {"biosset"}, {}},
        {"BIOS", 3, {}, {"biosset"}},
        {"CHD Machines", 1, {"chd"}, {}},
        {"CHD Machines", 2, {}, {"chd"}},
        {"Favourites", 1, {"fav"}, {}},
        {"Favourites", 2, {}, {"fav"}},
        {"Mechanical", 1, {"mech"}, {}},
        {"Mechanical", 2, {}, {"mech"}},
        {"Romset Type", 1, {}, {"clone"}},
        {"Romset Type", 2, {"clone"}, {}},
        {"Runnability", 2, {"norun"}, {}},
        {"Runnability", 3, {}, {}},
        {"Screen Type", 1, {"raster"}, {}},
        {"Screen Type", 2, {"vector"}, {}},
        {"Screen Type", 3, {"lcd"}, {}},
        {"Screen Type", 4, {}, {"raster", "vector", "lcd", "svg"}},
        {"Software", 1, {"soft"}, {}},
        {"Software", 2, {}, {"soft"}},
        {"Status", 1, {"good"}, {}},
        {"Status", 2, {"imperfect"}, {}},
        {"Status", 3, {"prelim"}, {}},
    };
    for (const Case& c : cases) {
        MachineList ms = property_list();
        FilterSet f;
        f.f_runnable = 0; // the default hides "norun"; test each rule alone
        ASSERT_TRUE(apply_tree_choice(f, c.group, c.position, ""));
        const Names expected = c.shown.empty() ? everything_but(ms, c.hidden) : sorted(c.shown);
        EXPECT_EQ(sorted(pass(ms, f)), expected) << c.group << " / " << c.position;
    }
}

TEST(FilterPass, DefaultsHideOnlyMachinesMameCannotRun) {
    MachineList ms = property_list();
    FilterSet f;
    EXPECT_EQ(f.f_runnable, 1);
    for (const FilterSet::Flag& flag : FilterSet::flags())
        if (flag.key != "f_runnable") {
            EXPECT_EQ(f.*flag.field, 0) << flag.key;
        }
    EXPECT_EQ(sorted(pass(ms, f)), everything_but(ms, {"norun"}));
}

TEST(FilterPass, ScreenTypesOutsideTheFourShowOnlyWithoutAScreenFlag) {
    MachineList ms = property_list();
    FilterSet f;
    EXPECT_NE(std::find(pass(ms, f).begin(), pass(ms, f).end(), "svg"), pass(ms, f).end());
    for (int position = 1; position <= 4; ++position) {
        apply_tree_choice(f, "Screen Type", position, "");
        const Names rows = pass(ms, f);
        EXPECT_EQ(std::count(rows.begin(), rows.end(), "svg"), 0) << position;
    }
    apply_tree_choice(f, "Screen Type", 4, "Screenless");
    for (const std::string& n : pass(ms, f))
        EXPECT_TRUE(ms[static_cast<size_t>(find_machine(ms, n))].screen_type.empty()) << n;
}

TEST(FilterPass, ChoicesInDifferentGroupsCombineAndAllOnlyClearsItsOwnGroup) {
    MachineList ms;
    for (const char* n : {"favparent", "favclone", "parent", "clone"}) {
        ms.push_back(machine(n));
        if (std::string(n).find("fav") == 0) ms.back().isfavourite = true;
        if (std::string(n).find("clone") != std::string::npos) ms.back().cloneof = "x";
    }
    FilterSet f;
    apply_tree_choice(f, "Favourites", 1, "Favourite");
    apply_tree_choice(f, "Romset Type", 1, "Parent");
    EXPECT_EQ(pass(ms, f), Names({"favparent"}));
    apply_tree_choice(f, "Favourites", 3, "All");
    EXPECT_EQ(pass(ms, f), Names({"favparent", "parent"}));
    // A flag and its opposite together show nothing.
    f.f_clones = 1;
    f.f_parent = 1;
    EXPECT_TRUE(pass(ms, f).empty());
}

TEST(FilterPass, YearManufacturerAndRotateAreExactSourceIsContainedWithoutCase) {
    MachineList ms;
    auto add = [&](const char* name, const char* year, const char* maker, const char* rotate,
                   const char* source) {
        ms.push_back(machine(name));
        ms.back().year = year;
        ms.back().manufacturer = maker;
        ms.back().screen_rotate = rotate;
        ms.back().sourcefile = source;
    };
    add("a", "1980", "Namco", "0", "namco/pacman.cpp");
    add("b", "1980?", "namco", "90", "NAMCO/Galaxian.cpp");
    add("c", "", "", "", "");
    add("d", "1981", "Namco / Midway", "270", "midway/pacman.cpp");
    FilterSet f;
    apply_tree_choice(f, "Year", 2, "1980");
    EXPECT_EQ(pass(ms, f), Names({"a"}));
    apply_tree_choice(f, "Year", 2, "[No Entry]");
    EXPECT_EQ(f.year, "");
    EXPECT_EQ(pass(ms, f), Names({"c"}));
    apply_tree_choice(f, "Year", 1, "All");
    apply_tree_choice(f, "Manufacturer", 2, "Namco");
    EXPECT_EQ(pass(ms, f), Names({"a"}));
    apply_tree_choice(f, "Manufacturer", 2, "[No Entry]");
    EXPECT_EQ(pass(ms, f), Names({"c"}));
    apply_tree_choice(f, "Manufacturer", 1, "All");
    apply_tree_choice(f, "Screen Rotate", 2, "90\xC2\xB0");
    EXPECT_EQ(f.rotate, "90");
    EXPECT_EQ(pass(ms, f), Names({"b"}));
    apply_tree_choice(f, "Screen Rotate", 5, "All");
    EXPECT_EQ(f.f_rotate, 0);
    EXPECT_EQ(f.rotate, "");
    apply_tree_choice(f, "Source", 2, "namco");
    EXPECT_EQ(pass(ms, f), Names({"a", "b"}));
    apply_tree_choice(f, "Source", 2, "PACMAN.CPP");
    EXPECT_EQ(pass(ms, f), Names({"a", "d"}));
    // "[No Entry]" under Source shows the machines without a source file.
    apply_tree_choice(f, "Source", 2, "[No Entry]");
    EXPECT_EQ(pass(ms, f), Names({"c"}));
    // A value set directly as "[No Entry]" means the empty field too.
    FilterSet g;
    g.f_year = 1;
    g.year = "[No Entry]";
    EXPECT_EQ(pass(ms, g), Names({"c"}));
}

TEST(FilterPass, UnknownGroupsAndPositionsChangeNothing) {
    FilterSet f;
    const FilterSet before = f;
    EXPECT_FALSE(apply_tree_choice(f, "Genre", 1, "Shooter"));
    EXPECT_FALSE(apply_tree_choice(f, "BIOS", 5, "x"));
    EXPECT_FALSE(apply_tree_choice(f, "Availability", 0, "x"));
    for (const FilterSet::Flag& flag : FilterSet::flags())
        EXPECT_EQ(f.*flag.field, before.*flag.field) << flag.key;
    EXPECT_EQ(f.find_flag("f_chd"), &f.f_chd);
    EXPECT_EQ(f.find_flag("f_unknown"), nullptr);
}

TEST(FilterPass, SearchMatchesDescriptionOrNameWithoutCaseAsPlainText) {
    MachineList ms = {machine("sf2", "Street Fighter II"),
                      machine("sf2ce", "Street Fighter II'"),
                      machine("pacman", "Pac-Man (Midway)"),
                      machine("dkong", "Donkey Kong"),
                      machine("qbert", "Q*bert"),
                      machine("zoo", "Caf\xC3\xA9 [x]")};
    FilterSet f;
    set_search_text(f, "STREET");
    EXPECT_EQ(f.f_search, 1);
    EXPECT_EQ(pass(ms, f), Names({"sf2", "sf2ce"}));
    set_search_text(f, "sf2c");
    EXPECT_EQ(pass(ms, f), Names({"sf2ce"})); // by short name
    set_search_text(f, "q*b");
    EXPECT_EQ(pass(ms, f), Names({"qbert"}));
    set_search_text(f, ".*");
    EXPECT_TRUE(pass(ms, f).empty());
    set_search_text(f, "\xC3\xA9 [");
    EXPECT_EQ(pass(ms, f), Names({"zoo"}));
    set_search_text(f, std::string(5000, 'a'));
    EXPECT_TRUE(pass(ms, f).empty());
    set_search_text(f, std::string("a\0b", 3));
    EXPECT_TRUE(pass(ms, f).empty());
    set_search_text(f, "");
    EXPECT_EQ(f.f_search, 0);
    EXPECT_EQ(pass(ms, f).size(), ms.size());
}

TEST(FilterPass, SearchAndSortFoldCaseBeyondAscii) {
    MachineList ms = {machine("attache", "Attaché Case"), machine("uber", "Über Racer"),
                      machine("strasse", "Straße Kampf"), machine("omega", "Ωmega"),
                      machine("ascii", "Ultra"),          machine("jingukan", "Jingūkan")};
    FilterSet f;
    const std::pair<const char*, Names> searches[] = {
        {"ATTACHÉ", {"attache"}},
        {"attache\xCC\x81", {"attache"}}, // e + combining acute
        {"über", {"uber"}},
        {"STRASSE", {"strasse"}}, // ß folds to ss
        {"ωmega", {"omega"}},
        // Accents are ignored both ways: typed without them, or typed where the title has none.
        {"jinguk", {"jingukan"}},
        {"ATTACHE CASE", {"attache"}},
        {"uber", {"uber"}},
        {"\xC3\xBAltra", {"ascii"}},
    };
    for (const auto& [text, names] : searches) {
        set_search_text(f, text);
        EXPECT_EQ(pass(ms, f), names) << text;
    }
    // The sort compares folded titles: "Éb" after "éa".
    MachineList pair = {machine("eb", "Éb"), machine("ea", "éa")};
    EXPECT_EQ(pass(pair, FilterSet{}), Names({"ea", "eb"}));
}

TEST(FilterPass, SuccessiveSearchesAgreeWithAFreshPass) {
    // Typing and deleting reuse earlier results; every step must equal a pass from scratch.
    MachineList ms;
    const char* titles[] = {
        "Street Fighter",          "Street Smart", "Fighter's History", "Street Hoop",
        "Super Street Fighter II", "Pit Fighter",  "Streets of Rage"};
    for (int i = 0; i < 7; ++i)
        ms.push_back(machine("m" + std::to_string(i), titles[i]));
    ms.push_back(machine("streetf", "Other")); // matched by name only
    FilterSet f;
    ViewList view;
    ListIndex index;
    const std::string typed = "street fighter";
    std::vector<std::string> texts;
    for (size_t n = 1; n <= typed.size(); ++n)
        texts.push_back(typed.substr(0, n));
    for (size_t n = typed.size(); n-- > 0;)
        texts.push_back(typed.substr(0, n));
    texts.insert(texts.end(), {"fighter", "street", "t f", "pit", "str", "street"});
    for (const std::string& t : texts) {
        set_search_text(f, t);
        filter_machines(ms, f, {}, SortType::Description, view, index);
        MachineList copy = ms;
        EXPECT_EQ(row_names(ms, view), pass(copy, f)) << "'" << t << "'";
    }
}

TEST(FilterPass, SortsPositionsStablyWithoutCaseAndKeepsRecordsInPlace) {
    MachineList ms = {machine("b2", "beta"), machine("a1", "Alpha"), machine("c", "alpha"),
                      machine("A0", "Gamma")};
    FilterSet f;
    ViewList view;
    ListIndex index;
    filter_machines(ms, f, {}, SortType::Description, view, index);
    EXPECT_EQ(row_names(ms, view), Names({"a1", "c", "b2", "A0"}));
    EXPECT_EQ(ms[0].name, "b2"); // records never move
    filter_machines(ms, f, {}, SortType::Name, view, index);
    EXPECT_EQ(row_names(ms, view), Names({"A0", "a1", "b2", "c"}));
    filter_machines(ms, f, {}, SortType::Description, view, index);
    EXPECT_EQ(row_names(ms, view), Names({"a1", "c", "b2", "A0"}));
    EXPECT_EQ(index.rank(find_machine(ms, "b2")), 2);
    EXPECT_EQ(index.rank(99), -1);
    EXPECT_EQ(sort_type_of(0), SortType::Description);
    EXPECT_EQ(sort_type_of(3), SortType::Name);
}

TEST(FilterPass, FolderRestrictionKeepsDuplicatesFollowsTheSortAndHonoursFlags) {
    MachineList ms = {machine("b", "Bravo"), machine("a", "Alpha"), machine("c", "Charlie"),
                      machine("d", "Delta")};
    ms[2].runnable = false;
    FolderList folders(2);
    folders[0].caption = "genre";
    folders[0].sub_folders = {{"Shooter", {3, 0, 2, 0}}, {"Other", {1}}};
    folders[1].caption = "genre"; // a second directory's file with the same caption
    folders[1].sub_folders = {{"Shooter", {1}}};
    FilterSet f;
    choose_folder(f, "genre", "Shooter");
    EXPECT_EQ(f.f_folder, 1);
    ViewList view;
    ListIndex index;
    filter_machines(ms, f, folders, SortType::Description, view, index);
    EXPECT_EQ(row_names(ms, view), Names({"a", "b", "b", "d"}));
    filter_machines(ms, f, folders, SortType::Name, view, index);
    EXPECT_EQ(row_names(ms, view), Names({"a", "b", "b", "d"}));
    ms[0].description = "Zulu";
    ms.bump_generation();
    filter_machines(ms, f, folders, SortType::Description, view, index);
    EXPECT_EQ(row_names(ms, view), Names({"a", "d", "b", "b"}));
    // Other flags still apply; a sub-folder that does not exist lists nothing.
    apply_tree_choice(f, "Year", 2, "1990");
    EXPECT_TRUE(pass(ms, f, folders).empty());
    apply_tree_choice(f, "Year", 1, "All");
    choose_folder(f, "genre", "Missing");
    EXPECT_TRUE(pass(ms, f, folders).empty());
    choose_folder(f, "Default", "All");
    EXPECT_EQ(f.f_folder, 0);
    EXPECT_EQ(pass(ms, f, folders), Names({"a", "d", "b"}));
}

TEST(FilterPass, ResetRestoresDefaultsAndKeepsFolderCaptions) {
    FilterSet f;
    apply_tree_choice(f, "Year", 3, "1981");
    apply_tree_choice(f, "Runnability", 3, "All");
    set_search_text(f, "pac");
    choose_folder(f, "genre", "Shooter");
    reset_filter_set(f);
    EXPECT_EQ(f.f_runnable, 1);
    EXPECT_EQ(f.f_year + f.f_search + f.f_folder, 0);
    EXPECT_EQ(f.year + f.search, "");
    EXPECT_EQ(f.folder, "genre");
    EXPECT_EQ(f.sub_folder, "Shooter");

    MachineList none = {machine("x"), machine("y")};
    none[0].runnable = none[1].runnable = false;
    ViewList view;
    ListIndex index;
    const std::int64_t current = refill_view(none, f, {}, SortType::Description, view, index);
    EXPECT_EQ(current, -1);
    EXPECT_TRUE(view.empty());
    const StatusTexts status = status_texts(none, view, current);
    EXPECT_EQ(status.fields[0], "Showing: 0 of 2");
    EXPECT_EQ(status.fields[1], "Driver: N/A");
}

TEST(FilterPass, IndexFollowsAReplacedListAndLiveFields) {
    MachineList ms = {machine("a", "One"), machine("b", "Two")};
    FilterSet f;
    ViewList view;
    ListIndex index;
    set_search_text(f, "one");
    filter_machines(ms, f, {}, SortType::Description, view, index);
    EXPECT_EQ(row_names(ms, view), Names({"a"}));
    ms = {machine("c", "Three"), machine("d", "Someone"), machine("e", "one")};
    filter_machines(ms, f, {}, SortType::Description, view, index);
    EXPECT_EQ(row_names(ms, view), Names({"e", "d"}));
    // Favourite and availability marks change during a run and are read every pass.
    set_search_text(f, "");
    apply_tree_choice(f, "Favourites", 1, "Favourite");
    filter_machines(ms, f, {}, SortType::Description, view, index);
    EXPECT_TRUE(view.empty());
    set_favourite(ms[1]);
    filter_machines(ms, f, {}, SortType::Description, view, index);
    EXPECT_EQ(row_names(ms, view), Names({"d"}));
}

TEST(FilterPass, TheNextSearchSeesEditedDescriptionsAndAListOfTheSameSize) {
    // Successive passes with one index, as the window refills its list.
    ListIndex index;
    auto refill = [&index](const MachineList& ms, const FilterSet& f) {
        ViewList view;
        filter_machines(ms, f, {}, SortType::Description, view, index);
        return row_names(ms, view);
    };
    MachineList ms = {machine("a", "Alpha"), machine("b", "Beta")};
    FilterSet f;
    set_search_text(f, "gamma");
    EXPECT_TRUE(refill(ms, f).empty());
    ms[1].description = "Gamma";
    ms.bump_generation();
    EXPECT_EQ(refill(ms, f), Names({"b"}));
    // A list put in place by moving, as a failed rebuild restores the old one, is seen whole
    // even when it has the same size.
    MachineList other = {machine("c", "Gamma Ray"), machine("d", "Delta")};
    other[1].year = "1990";
    ms = std::move(other);
    EXPECT_EQ(refill(ms, f), Names({"c"}));
    set_search_text(f, "");
    apply_tree_choice(f, "Year", 2, "1990");
    EXPECT_EQ(refill(ms, f), Names({"d"}));
    // The list moved from and a cleared list are new lists too.
    EXPECT_NE(other.generation(), ms.generation());
    const std::uint64_t before = ms.generation();
    ms.clear();
    EXPECT_NE(ms.generation(), before);
}

namespace {

// Every flag's rule written out on its own, as the oracle the compact pass is checked against.
bool oracle_passes(const Machine& m, const FilterSet& f) {
    // "[No Entry]" is how the tree shows an empty field; as a value it selects empty ones.
    auto value = [](const std::string& v) { return v == no_entry_caption ? std::string() : v; };
    bool hidden = false;
    if (f.f_audit_complete) hidden |= m.audit != AuditVerdict::Complete;
    if (f.f_audit_incomplete) hidden |= m.audit != AuditVerdict::Incomplete;
    if (f.f_audit_missing) hidden |= m.audit != AuditVerdict::Missing;
    if (f.f_audit_noroms) hidden |= m.audit != AuditVerdict::NoRoms;
    if (f.f_available) hidden |= !m.isavailable;
    if (f.f_missing) hidden |= m.isavailable;
    if (f.f_isbios) hidden |= !m.isbios;
    if (f.f_bios) hidden |= m.bios_sets.empty();
    if (f.f_nonbios) hidden |= !m.bios_sets.empty();
    if (f.f_notchd) hidden |= m.disks.empty();
    if (f.f_chd) hidden |= !m.disks.empty();
    if (f.f_favourite) hidden |= !m.isfavourite;
    if (f.f_nonfavourite) hidden |= m.isfavourite;
    if (f.f_manufacturer) hidden |= m.manufacturer != value(f.manufacturer);
    if (f.f_nonmechanical) hidden |= !m.ismechanical;
    if (f.f_mechanical) hidden |= m.ismechanical;
    if (f.f_played_recent || f.f_played_most) hidden |= m.played.times == 0;
    if (f.f_played_never) hidden |= m.played.times != 0;
    if (f.f_clones) hidden |= !m.cloneof.empty();
    if (f.f_parent) hidden |= m.cloneof.empty();
    if (f.f_runnable) hidden |= !m.runnable;
    if (f.f_nonrunnable) hidden |= m.runnable;
    if (f.f_rotate) hidden |= m.screen_rotate != f.rotate;
    if (f.f_raster) hidden |= m.screen_type != "raster";
    if (f.f_vector) hidden |= m.screen_type != "vector";
    if (f.f_lcd) hidden |= m.screen_type != "lcd";
    if (f.f_screenless) hidden |= !m.screen_type.empty();
    if (f.f_nonsoftware) hidden |= m.softwarelists.empty();
    if (f.f_software) hidden |= !m.softwarelists.empty();
    if (f.f_source) {
        const std::string wanted = value(f.source);
        hidden |= wanted.empty() ? !m.sourcefile.empty()
                                 : m.sourcefile.empty() || !icontains(m.sourcefile, wanted);
    }
    if (f.f_good) hidden |= m.driver_status != "good";
    if (f.f_imperfect) hidden |= m.driver_status != "imperfect";
    if (f.f_preliminary) hidden |= m.driver_status != "preliminary";
    if (f.f_year) hidden |= m.year != value(f.year);
    return !hidden;
}

} // namespace

TEST(FilterPass, CompactPassAgreesWithTheRuleOfEveryFlagOnRandomRecords) {
    std::mt19937 rng(7);
    auto pick = [&](std::initializer_list<const char*> values) {
        return std::string(values.begin()[rng() % values.size()]);
    };
    MachineList ms;
    for (int i = 0; i < 400; ++i) {
        Machine m = machine("m" + std::to_string(i), pick({"Alpha", "beta", "Gamma Ray"}));
        m.isavailable = rng() % 2;
        m.isbios = rng() % 2;
        m.ismechanical = rng() % 2;
        m.isfavourite = rng() % 2;
        m.cloneof = pick({"", "m1"});
        m.runnable = rng() % 2;
        m.screen_type = pick({"", "raster", "vector", "lcd", "svg"});
        m.screen_rotate = pick({"", "0", "90", "180", "270"});
        m.driver_status = pick({"", "good", "imperfect", "preliminary"});
        m.year = pick({"", "1980", "1980?", "19??"});
        m.manufacturer = pick({"", "Sega", "sega", "Taito"});
        m.sourcefile = pick({"", "sega/system16.cpp", "taito/taito_f3.cpp"});
        if (rng() % 2) m.bios_sets.push_back({"b", "B"});
        if (rng() % 3 == 0) m.disks.push_back("d");
        if (rng() % 3 == 0) m.softwarelists.push_back("l");
        m.audit = static_cast<AuditVerdict>(rng() % 5);
        m.played.times = rng() % 3;
        ms.push_back(m);
    }
    const auto& flags = FilterSet::flags();
    for (int round = 0; round < 300; ++round) {
        FilterSet f;
        for (const FilterSet::Flag& flag : flags)
            // (Recently Played also cuts the list to its 50 last: its own test covers it.)
            if (flag.key != "f_search" && flag.key != "f_folder" && flag.key != "f_played_recent")
                f.*flag.field = rng() % 6 == 0 ? 1 : 0;
        f.year = pick({"1980", "[No Entry]", "19"});
        f.manufacturer = pick({"Sega", "[No Entry]", "Taito"});
        f.source = pick({"SEGA", "taito_f3", ""});
        f.rotate = pick({"90", "0", ""});
        ViewList view;
        ListIndex index;
        filter_machines(ms, f, {}, SortType::Description, view, index);
        std::vector<bool> shown(ms.size(), false);
        for (const std::int64_t p : view)
            shown[static_cast<size_t>(p)] = true;
        for (size_t i = 0; i < ms.size(); ++i)
            ASSERT_EQ(shown[i], oracle_passes(ms[i], f)) << ms[i].name << " round " << round;
    }
}

TEST(FilterPass, PlayedGroupKeepsAndOrdersByThePlayRecord) {
    // (name, times played, last start, seconds played); never played ones have zeros.
    MachineList ms;
    const std::tuple<const char*, int, int, int> records[] = {
        {"alpha", 0, 0, 0},    {"bravo", 3, 100, 50}, {"charlie", 1, 300, 10},
        {"delta", 3, 200, 90}, {"echo", 0, 0, 0},     {"foxtrot", 2, 250, 5},
    };
    for (const auto& [name, times, last, seconds] : records) {
        Machine m = machine(name);
        m.played = {times, last, seconds};
        ms.push_back(m);
    }
    const auto choose = [&](int position) {
        FilterSet f;
        EXPECT_TRUE(apply_tree_choice(f, "Played", position, ""));
        return pass(ms, f);
    };
    EXPECT_EQ(choose(1), (Names{"charlie", "foxtrot", "delta", "bravo"})); // most recent first
    EXPECT_EQ(choose(2), (Names{"delta", "bravo", "foxtrot", "charlie"})); // times, then time
    EXPECT_EQ(choose(3), (Names{"alpha", "echo"}));
    EXPECT_EQ(choose(4), (Names{"alpha", "bravo", "charlie", "delta", "echo", "foxtrot"}));
    // Sorted by last played: the played first, most recent first, then the rest as they were.
    EXPECT_EQ(pass(ms, FilterSet{}, {}, SortType::LastPlayed),
              (Names{"charlie", "foxtrot", "delta", "bravo", "alpha", "echo"}));
    EXPECT_EQ(sort_type_of(2), SortType::LastPlayed);

    // Recently Played keeps the last 50 only.
    MachineList many;
    for (int i = 0; i < 80; ++i) {
        Machine m = machine("m" + std::to_string(100 + i));
        m.played = {1, 1000 + i, 1};
        many.push_back(m);
    }
    FilterSet f;
    ASSERT_TRUE(apply_tree_choice(f, "Played", 1, ""));
    const Names recent = pass(many, f);
    ASSERT_EQ(recent.size(), recently_played_count);
    EXPECT_EQ(recent.front(), "m179");
    EXPECT_EQ(recent.back(), "m130");
}
