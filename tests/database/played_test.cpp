#include "database/played.h"
#include "platform/files.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

using namespace orvel;

TEST(Played, ReadsRecordsAndPassesOverLinesThatAreNone) {
    const PlayedMap played = parse_played("; a comment\r\n"
                                          "pacman\t3\t1700000000\t125\r\n"
                                          "dkong\t1\t1700000100\t9\n"
                                          "pacman\t4\t1700000200\t130\r\n" // a later line wins
                                          "../x\t1\t1\t1\n"                // not a plain name
                                          "two words\t1\t1\t1\n"
                                          "galaga\t-1\t1\t1\n"
                                          "galaga\t1\tsoon\t1\n"
                                          "galaga\t1\t1\n"
                                          "galaga\t1\t1\t1\textra\n"
                                          "galaga\t0\t1\t1\n" // never played is no record
                                          "galaga\t99999999999999999999\t1\t1\n"
                                          "\n");
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played.at("pacman").times, 4);
    EXPECT_EQ(played.at("pacman").last_start, 1700000200);
    EXPECT_EQ(played.at("pacman").seconds, 130);
    EXPECT_EQ(played.at("dkong").seconds, 9);
    // The file written reads back the same.
    const PlayedMap again = parse_played(played_text(played));
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again.at("pacman").seconds, 130);
    EXPECT_EQ(again.at("dkong").last_start, 1700000100);
}

TEST(Played, RecordingAddsRunsUnderTheLockAndLoadingSetsTheRecords) {
    test::TempDir dir;
    const std::string data = dir.path();
    ASSERT_TRUE(record_play(data, "pacman", 1000, 60).ok());
    const Result<PlayRecord> second = record_play(data, "pacman", 2000, 30);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second->times, 2);
    EXPECT_EQ(second->last_start, 2000);
    EXPECT_EQ(second->seconds, 90);
    ASSERT_TRUE(record_play(data, "dkong", 1500, 5).ok());
    EXPECT_FALSE(record_play(data, "../../etc", 1500, 5).ok());

    MachineList machines(3);
    machines[0].name = "dkong";
    machines[1].name = "galaga";
    machines[2].name = "pacman";
    machines[1].played = {7, 7, 7}; // stale: the file does not name it
    EXPECT_EQ(load_played(data, machines), 2u);
    EXPECT_EQ(machines[0].played.times, 1);
    EXPECT_EQ(machines[1].played.times, 0);
    EXPECT_EQ(machines[2].played.seconds, 90);
    EXPECT_EQ(play_time_text(machines[2].played), "0:01:30");
    EXPECT_EQ(play_time_text(PlayRecord{1, 1, 3723}), "1:02:03");
    EXPECT_EQ(last_played_text(machines[1].played), "Never");
    EXPECT_EQ(last_played_text(machines[2].played).size(), 16u); // "YYYY-MM-DD HH:MM"

    // A record that is there but cannot be read is never replaced by a new one.
    test::TempDir other;
    ASSERT_TRUE(create_folders(played_path(other.path()) + "/"));
    const Result<PlayRecord> refused = record_play(other.path(), "pacman", 1, 1);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.failure().message.find("ORVEL.played"), std::string::npos);
    EXPECT_TRUE(folder_exists(played_path(other.path())));
}
