#include "info/dat_files.h"

#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace orvel;
using orvel::test::TempDir;

namespace {

Machine machine(const std::string& name, const std::string& cloneof = "") {
    Machine m;
    m.name = name;
    m.cloneof = cloneof;
    return m;
}

const TextMeasure chars = fixed_width_measure(1);

} // namespace

TEST(DatFiles, KindsHeadersAndNames) {
    EXPECT_EQ(dat_file_name(1), "mameinfo.dat");
    EXPECT_EQ(dat_file_name(6), "story.dat");
    EXPECT_EQ(dat_file_name(7), "");
    EXPECT_EQ(dat_header(2), "###- history.dat -###");
    EXPECT_EQ(dat_kind_from_text("4"), 4);
    EXPECT_EQ(dat_kind_from_text("GameInit.dat"), 5);
    EXPECT_EQ(dat_kind_from_text("0"), 0);
    EXPECT_EQ(dat_kind_from_text("7"), 0);
    EXPECT_EQ(dat_kind_from_text("history"), 0);
}

TEST(DatFiles, InfoLinesListOneOrMoreNames) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(dat_info_names("$info=pacman"), V{"pacman"});
    EXPECT_EQ(dat_info_names("$info=pacman,puckman,\r"), (V{"pacman", "puckman"}));
    EXPECT_EQ(dat_info_names("$info= a , b"), (V{"a", "b"}));
    EXPECT_TRUE(dat_info_names("$end").empty());
    EXPECT_TRUE(dat_info_names(" $info=pacman").empty());
}

TEST(DatFiles, EntryRules) {
    const std::string dat = "garbage before\n"
                            "$info=pacman,puckman,\r\n"
                            "$bio\r\n"
                            "\r\n"
                            "Pac-Man (c) 1980 Namco.\r\n"
                            "\r\n"
                            "Second paragraph.\r\n"
                            "$end\r\n"
                            "outside\n"
                            "$info=galaga\n"
                            "Galaga text\n"
                            "$end\n"
                            "$info=puckman\n"
                            "$mame\n"
                            "More puckman.\n"
                            "$end\n";
    EXPECT_EQ(dat_entries_in(dat, "pacman"), "\nPac-Man (c) 1980 Namco.\n\nSecond paragraph.\n");
    // Every name on the line owns the entry, and later entries follow in file order.
    EXPECT_EQ(dat_entries_in(dat, "puckman"),
              "\nPac-Man (c) 1980 Namco.\n\nSecond paragraph.\nMore puckman.\n");
    EXPECT_EQ(dat_entries_in(dat, "galaga"), "Galaga text\n");
    EXPECT_EQ(dat_entries_in(dat, "galaxian"), "");
    EXPECT_EQ(dat_entries_in(dat, "pac"), "");
}

TEST(DatFiles, UnclosedEntryRunsToTheEndAndSwallowsLaterInfoLines) {
    const std::string dat = "$info=a\nfirst\n$info=a\nstill first\n$info=b\nbee\n";
    EXPECT_EQ(dat_entries_in(dat, "a"), "first\nstill first\nbee\n");
    EXPECT_EQ(dat_entries_in(dat, "b"), "bee\n");
}

TEST(DatFiles, ByteOrderMarksAndEightBitText) {
    EXPECT_EQ(dat_entries_in("\xEF\xBB\xBF$info=a\nx\xC3\xA9\n$end\n", "a"), "x\xC3\xA9\n");
    // Without a mark, bytes that are not UTF-8 are read as 8-bit text.
    EXPECT_EQ(dat_entries_in("$info=a\nCaf\xE9\n$end\n", "a"), "Caf\xC3\xA9\n");
    // ... as Windows writes it: quotes, dashes and ellipses, not control codes.
    EXPECT_EQ(dat_entries_in("$info=a\n\x93Hi\x94 \x96 \x85\x80\x81\n$end\n", "a"),
              "“Hi” – …€\xC2\x81\n");
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("$info=a\r\nwide \r\n$end\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_EQ(dat_entries_in(utf16, "a"), "wide \n");
}

TEST(DatFiles, InfoLineAcrossReadBuffers) {
    // An entry whose "$info=" line straddles the 256 KiB read buffer of the index pass.
    TempDir dir;
    std::string dat(262144 - 4, 'x');
    dat += "\n$info=late\nfound\n$end\n";
    const std::string path = dir.write("mameinfo.dat", dat);
    DatCache cache;
    EXPECT_EQ(cache.dat_entries(path, "late"), "found\n");
}

TEST(DatFiles, CloneUsesParentAndFoldersAreReadInOrder) {
    TempDir mame;
    mame.write("dats/history.dat", "$info=pacman,puckman,\n$bio\nfrom dats\n$end\n");
    mame.write("more/history.dat", "$info=pacman,\nfrom more\n$end\n");
    mame.write("more/mameinfo.dat", "$info=pacman\none line\n$end\n");
    const std::vector<std::string> folders = dat_folders("dats;more", mame.path());
    ASSERT_EQ(folders.size(), 2u);
    DatCache cache;
    EXPECT_EQ(read_dat_text(cache, 2, machine("pacman"), folders, chars), "from dats\nfrom more");
    EXPECT_EQ(read_dat_text(cache, 2, machine("pacmanf", "pacman"), folders, chars),
              "from dats\nfrom more");
    EXPECT_EQ(read_dat_text(cache, 2, machine("puckman"), folders, chars), "from dats");
    EXPECT_EQ(read_dat_text(cache, 1, machine("pacman"), folders, chars), "one line");
    EXPECT_EQ(read_dat_text(cache, 6, machine("pacman"), folders, chars), "");
    // An empty historypath is the MAME folder itself.
    EXPECT_EQ(dat_folders("", mame.path()), std::vector<std::string>{mame.path()});
}

TEST(DatFiles, IndexIsKeptUntilTheFileChanges) {
    TempDir dir;
    const std::string path = dir.write("story.dat", "$info=a\nold\n$end\n");
    DatCache cache;
    EXPECT_EQ(cache.dat_entries(path, "a"), "old\n");
    EXPECT_EQ(cache.dat_entries(path, "b"), "");
    EXPECT_EQ(cache.index_builds(), 1u);

    dir.write("story.dat", "$info=b\nnew b\n$end\n$info=a\nnew a, longer\n$end\n");
    EXPECT_EQ(cache.dat_entries(path, "a"), "new a, longer\n");
    EXPECT_EQ(cache.dat_entries(path, "b"), "new b\n");
    EXPECT_EQ(cache.index_builds(), 2u);

    // Same size, other modification time: rebuilt too.
    dir.write("story.dat", "$info=b\nNEW B\n$end\n$info=a\nNEW A, LONGER\n$end\n");
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) +
                                               std::chrono::seconds(5));
    EXPECT_EQ(cache.dat_entries(path, "a"), "NEW A, LONGER\n");
    EXPECT_EQ(cache.index_builds(), 3u);

    std::filesystem::remove(path);
    EXPECT_EQ(cache.dat_entries(path, "a"), "");
}

TEST(DatFiles, HistoryXmlStandsInForAMissingHistoryDat) {
    TempDir mame;
    mame.write("a/history.xml",
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<history>\n"
               "<entry><systems><system name=\"pacman\"/><system name=\"puckman\"/></systems>"
               "<software><item list=\"x\" name=\"pacman2\"/></software>"
               "<text>\nPac &amp; Man\n\nMore.\n</text></entry>\n"
               "<entry><systems><system name=\"galaga\"/></systems><text>Galaga</text></entry>\n"
               "<entry><systems><system name=\"puckman\"/></systems><text>Second</text></entry>\n"
               "</history>\n");
    // A folder that has history.dat uses it even when it also has history.xml.
    mame.write("b/history.dat", "$info=pacman,\ndat text\n$end\n");
    mame.write("b/history.xml", "<history><entry><systems><system name=\"pacman\"/></systems>"
                                "<text>not used</text></entry></history>");
    DatCache cache;
    const auto folders = dat_folders("a;b", mame.path());
    EXPECT_EQ(read_dat_entries(cache, 2, "pacman", folders), "\nPac & Man\n\nMore.\ndat text\n");
    EXPECT_EQ(read_dat_entries(cache, 2, "puckman", folders), "\nPac & Man\n\nMore.\nSecond\n");
    EXPECT_EQ(read_dat_entries(cache, 2, "pacman2", folders), "");
    EXPECT_EQ(read_dat_entries(cache, 1, "pacman", folders), "");
}

TEST(DatFiles, MalformedHistoryXmlKeepsCompletedEntriesAndSaysWhereItStopped) {
    const std::string xml = "<history><entry><systems><system name=\"a\"/></systems>"
                            "<text>kept</text></entry><entry><systems><system name=\"a\"/>"
                            "</systems><text>cut off";
    const std::string stopped = "history.xml could not be read to its end (no element found at "
                                "line 1): entries after that point are not shown.\n";
    EXPECT_EQ(history_xml_entries_in(xml, "a"), "kept\n" + stopped);
    EXPECT_EQ(history_xml_entries_in("not xml at all", "a"),
              "history.xml could not be read to its end (syntax error at line 1): entries after "
              "that point are not shown.\n");
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("<h><entry><systems><system name=\"w\"/></systems>"
                              "<text>wide</text></entry></h>")) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_EQ(history_xml_entries_in(utf16, "w"), "wide\n");
}

// Entries may use the internal entities of the document type declaration; Expat's protection
// against entity amplification stays on, and what it stops is reported, not lost in silence.
TEST(DatFiles, HistoryXmlEntitiesAreExpandedWithinLimits) {
    const std::string entities =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE history [\n<!ENTITY nmc \"Namco Ltd.\">\n"
        "<!ENTITY both \"&nmc; &amp; &#34;friends&#34;\">\n]>\n<history>\n"
        "<entry><systems><system name=\"pacman\"/></systems><text>By &nmc;</text></entry>\n"
        "<entry><systems><system name=\"galaga\"/></systems><text>&both;</text></entry>\n"
        "<entry><systems><system name=\"pacman\"/></systems><text>Plain</text></entry>\n"
        "</history>\n";
    EXPECT_EQ(history_xml_entries_in(entities, "pacman"), "By Namco Ltd.\nPlain\n");
    EXPECT_EQ(history_xml_entries_in(entities, "galaga"), "Namco Ltd. & \"friends\"\n");
    TempDir dir;
    const std::string path = dir.write("history.xml", entities);
    DatCache cache;
    EXPECT_EQ(cache.history_xml_entries(path, "galaga"), "Namco Ltd. & \"friends\"\n");

    // A billion laughs: ten to the ninth "lol"s are never made.
    std::string laughs = "<!DOCTYPE history [<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">";
    }
    laughs += "]><history><entry><systems><system name=\"a\"/></systems><text>ok</text></entry>"
              "<entry><systems><system name=\"b\"/></systems><text>&l9;</text></entry></history>";
    const std::string a = history_xml_entries_in(laughs, "a");
    EXPECT_EQ(a.rfind("ok\nhistory.xml could not be read to its end (", 0), 0u) << a;
    EXPECT_NE(a.find("amplification"), std::string::npos) << a;
    EXPECT_NE(history_xml_entries_in(laughs, "b").find("could not be read"), std::string::npos);
}

TEST(WrapText, FillsLinesGreedilyAndKeepsParagraphs) {
    // Limit: width 22 - 12 = 10 characters, and a line must measure less than that.
    EXPECT_EQ(wrap_text(22, "aaa bbb ccc ddd", chars), "aaa bbb\nccc ddd");
    EXPECT_EQ(wrap_text(22, "one\r\n\r\ntwo\n\n\n", chars), "one\n\ntwo");
    EXPECT_EQ(wrap_text(22, "a\n\rb\rc", chars), "a\nb\nc");
    // A word wider than the limit stands alone, unbroken.
    EXPECT_EQ(wrap_text(22, "x averyveryverylongword y", chars), "x\naveryveryverylongword\ny");
    // Consecutive blanks are empty words; trailing blanks are removed.
    EXPECT_EQ(wrap_text(22, "a  b   ", chars), "a  b");
    EXPECT_EQ(wrap_text(568, "", chars), "");
    // Code points, not bytes, are what the fixed-width measure counts.
    EXPECT_EQ(wrap_text(18, "\xC3\xA9\xC3\xA9\xC3\xA9 x", chars), "\xC3\xA9\xC3\xA9\xC3\xA9 x");
}

TEST(DatFiles, ConcurrentLookupsShareOneIndex) {
    TempDir dir;
    std::string dat;
    for (int i = 0; i < 2000; ++i)
        dat += "$info=m" + std::to_string(i) + "\ntext " + std::to_string(i) + "\n$end\n";
    const std::string path = dir.write("sysinfo.dat", dat);
    DatCache cache;
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = t; i < 2000; i += 4)
                if (cache.dat_entries(path, "m" + std::to_string(i)) !=
                    "text " + std::to_string(i) + "\n")
                    ++wrong;
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(cache.index_builds(), 1u);
}

TEST(DatFiles, TheWindowOpensOnMameinfoMessinfoHistoryThenTheFirstWithText) {
    struct Case {
        std::vector<int> with_text;
        int shown;
    };
    const Case cases[] = {
        {{1, 2, 3}, 1}, {{2, 3}, 3}, {{2, 6}, 2}, {{4, 6}, 4}, {{6}, 6}, {{}, 0},
    };
    for (const Case& c : cases) {
        DatTexts texts;
        texts[4] = "\n\n"; // empty lines alone are no text
        for (int kind : c.with_text)
            texts[static_cast<size_t>(kind - 1)] = "text";
        EXPECT_EQ(dat_kind_to_show(texts), c.shown) << c.shown;
    }
}

TEST(DatFiles, ShownLinesStartWithTheHeaderAndSkipLeadingEmptyLines) {
    using V = std::vector<std::string>;
    EXPECT_EQ(dat_shown_lines(2, "\n\nFirst.\n\nSecond."),
              (V{"###- history.dat -###", "", "First.", "", "Second."}));
    EXPECT_EQ(dat_shown_lines(6, "One."), (V{"###- story.dat -###", "", "One."}));
    EXPECT_EQ(dat_shown_lines(0, ""), V{"No Information"});
}
