// The real MAME against the arguments a software run builds, over a sample of Debian's software
// lists: MAME must take every item as given (it may then say that files are missing, since the
// romset folder is empty). HOME points at a temporary folder, so the real home is never touched.
// Minutes long: labelled slow.

#include "launch/launch.h"
#include "platform/files.h"
#include "platform/process.h"
#include "softlist/software_list.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <thread>

using namespace orvel;
using namespace orvel::test;

namespace {

const std::string real_mame = "/usr/games/mame";
const std::string hash_folder = "/usr/share/games/mame/hash/";

// The value of attribute key in one line of MAME's listing; empty when the line has none.
std::string attribute(std::string_view line, std::string_view key) {
    const std::string marker = " " + std::string(key) + "=\"";
    const std::size_t at = line.find(marker);
    if (at == std::string_view::npos) return {};
    const std::size_t from = at + marker.size();
    const std::size_t to = line.find('"', from);
    return to == std::string_view::npos ? std::string() : std::string(line.substr(from, to - from));
}

// Each software list MAME knows, with a machine (not a device) that has it as its own
// ("original"), preferring one that filters none of the list's items out.
std::map<std::string, std::string> machines_by_list(const std::string& folder) {
    std::map<std::string, std::string> filtered;
    std::map<std::string, std::string> out;
    std::string machine;
    run_captured(
        real_mame, " -listxml -nodtd", folder,
        [&](std::string_view line) {
            if (line.find("<machine ") != std::string_view::npos) {
                const bool device =
                    attribute(line, "isdevice") == "yes" || attribute(line, "runnable") == "no";
                machine = device ? std::string() : attribute(line, "name");
            } else if (!machine.empty() && line.find("<softwarelist ") != std::string_view::npos &&
                       attribute(line, "status") == "original") {
                (attribute(line, "filter").empty() ? out : filtered)
                    .emplace(attribute(line, "name"), machine);
            }
        },
        [](std::string_view) {}, {}, 300000);
    out.merge(filtered); // where no machine takes the whole list
    return out;
}

struct Verdict {
    bool started = false;
    bool timed_out = false;
    int exit_code = -1;
    std::string refusal;       // the first line in which MAME refused an argument
    bool incompatible = false; // MAME found the item but will not load it on this machine
};

// Runs MAME, ended after 90 seconds at most, and notes how it took its arguments. It refuses
// an option it does not know, a machine it does not know, and software it cannot find (listing
// near matches then, which it also does for an item it found but that does not suit the
// machine: that names the item, so the argument was understood).
Verdict run_mame(const std::vector<std::string>& args, const std::string& folder) {
    static const char* const refusals[] = {"unknown option", "approximately matches",
                                           "Could not find software", "Unknown system"};
    Verdict verdict;
    ChildProcess child;
    ChildProcess::Options options;
    options.working_folder = folder;
    options.capture_output = true;
    if (!child.start(real_mame, args, options)) return verdict;
    verdict.started = true;
    const auto on_line = [&](std::string_view line) {
        if (line.find("is incompatible with system") != std::string_view::npos)
            verdict.incompatible = true;
        for (const char* refusal : refusals)
            if (verdict.refusal.empty() && line.find(refusal) != std::string_view::npos)
                verdict.refusal = line;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (child.poll_output(200, on_line, on_line))
        if (std::chrono::steady_clock::now() > deadline) break;
    const std::optional<int> status = child.wait(5000);
    if (!status) {
        verdict.timed_out = true;
        child.kill();
        (void)child.wait();
    } else {
        verdict.exit_code = *status;
    }
    return verdict;
}

} // namespace

TEST(SoftwareArgumentsWithRealMame, MameTakesTheItemOfEverySampledList) {
    if (file_size(real_mame) < 0)
        GTEST_SKIP() << "MAME is not installed at " << real_mame << " (apt-get install mame)";
    if (file_size(hash_folder + "nes.xml") < 0)
        GTEST_SKIP() << "Debian's software lists are missing (" << hash_folder << ")";
    TempDir dir;
    EnvGuard home("HOME", dir.file("home"));
    ASSERT_TRUE(create_folder(dir.file("home")));
    ASSERT_TRUE(create_folder(dir.file("no roms")));
    const std::map<std::string, std::string> machines = machines_by_list(dir.path());
    ASSERT_GT(machines.size(), 400u);

    // Every list with a machine, in name order; a sample of them, always with the lists whose
    // part names end in digits ("001", "flop1" and "flop2", "a1" and "system1").
    std::vector<std::string> lists;
    for (const auto& entry : std::filesystem::directory_iterator(hash_folder)) {
        const std::string file = entry.path().filename().string();
        if (file.size() > 4 && file.ends_with(".xml") &&
            machines.count(file.substr(0, file.size() - 4)))
            lists.push_back(file.substr(0, file.size() - 4));
    }
    std::sort(lists.begin(), lists.end());
    std::set<std::string> sample = {"vgmplay", "apple2_flop_clcracked", "apricot_flop", "nes"};
    const std::size_t step = std::max<std::size_t>(1, lists.size() / 56);
    for (std::size_t i = 0; i < lists.size(); i += step)
        sample.insert(lists[i]);
    ASSERT_GE(sample.size(), 50u);

    // The run's options make MAME stop soon: no window, no sound, an empty romset folder.
    const std::string options = "-video none -sound none -nothrottle -seconds_to_run 1 "
                                "-skip_gameinfo -hashpath \"" +
                                hash_folder + "\" -rompath \"" + dir.file("no roms") + "\"";
    const std::vector<std::string> order(sample.begin(), sample.end());
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::vector<std::string> problems;
    std::size_t checked = 0;
    std::size_t incompatible = 0;
    const auto work = [&] {
        for (std::size_t i = next++; i < order.size(); i = next++) {
            const std::string& list = order[i];
            std::vector<SoftwareItem> items;
            const Status parsed =
                parse_software_list_file(hash_folder + list + ".xml", list, items);
            std::string problem;
            if (!parsed || items.empty()) {
                problem = "the list could not be read: " + std::string(parsed.message());
            } else {
                Machine machine;
                machine.name = machines.at(list);
                machine.commandlines.push_back({"Default", options, -1});
                LaunchRequest request;
                request.software = {true, &items.front()};
                const Result<std::vector<std::string>> args = launch_arguments(request, machine, 0);
                if (!args) {
                    problem = "refused by Orvel: " + std::string(args.message());
                } else {
                    const Verdict v = run_mame(*args, dir.path());
                    std::string shown;
                    for (const std::string& a : *args)
                        shown += " " + a;
                    // Exit status 0: MAME ran; 2: it stopped at the missing files; 6 with the
                    // item named incompatible: it found the item and judged it.
                    const bool understood =
                        v.incompatible
                            ? v.refusal.find("approximately matches") != std::string::npos
                            : v.refusal.empty() && (v.exit_code == 0 || v.exit_code == 2);
                    if (!v.started || v.timed_out)
                        problem =
                            std::string(v.started ? "MAME did not end:" : "MAME did not start:") +
                            shown;
                    else if (!understood)
                        problem = "MAME (exit status " + std::to_string(v.exit_code) + ") refused" +
                                  shown + ": " + v.refusal;
                    if (v.incompatible) {
                        const std::lock_guard lock(mutex);
                        ++incompatible;
                    }
                }
            }
            const std::lock_guard lock(mutex);
            ++checked;
            if (!problem.empty()) problems.push_back(list + ": " + problem);
        }
    };
    std::thread other(work);
    work();
    other.join();

    std::cout << checked << " of " << lists.size() << " lists run; " << incompatible
              << " items judged incompatible with their machine\n";
    EXPECT_EQ(checked, sample.size());
    // Most items suit the machine chosen for their list; the test would mean little otherwise.
    EXPECT_LE(incompatible * 5, checked) << incompatible << " items did not suit their machine";
    EXPECT_TRUE(problems.empty()) << problems.size() << " of " << checked << " lists:\n"
                                  << [&] {
                                         std::string all;
                                         for (const std::string& p : problems)
                                             all += p + "\n";
                                         return all;
                                     }();
}
