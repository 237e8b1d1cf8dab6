// The romset audit on a collection of every machine of MAME's full listing that has ROMs, as
// merged sets (one zip per parent, BIOS and device, clones inside their parent), with a warm
// page cache: the ROM data file's size and load time, the audit's time and peak memory, and
// MAME's own "-verifyroms" over the same folder beside it.
//
// The zips carry the listing's names, sizes and CRCs in their directories and no data: a
// directory audit (ours, and MAME's) reads nothing else. The collection is generated once into
// the build folder (ORVEL_BENCH_DIR/audit_roms/). ORVEL_BENCH_LISTING names the listing;
// ORVEL_BENCH_SKIP_MAME=1 leaves MAME out; ORVEL_BENCH_MAME_CAP caps MAME's run (seconds,
// default 900).

#include "audit/romset_audit.h"
#include "bench_inputs.h"
#include "database/listing_build.h"
#include "database/rom_data.h"
#include "host/host.h"
#include "platform/files.h"
#include "platform/process.h"
#include "support/romset_writer.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvel;

namespace {

double cpu_now() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

long status_kb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    return -1;
}

// The merged collection: each set's ROMs that are not merged from elsewhere, clones' ROMs in
// their parent's zip (in a folder of the clone's name when the parent has a ROM of that name).
std::size_t generate(const RomData& data, const std::string& folder) {
    std::map<std::string, std::vector<test::RomFile>> zips;
    for (const RomSet& set : data.sets()) {
        std::string home(data.text(set.name));
        if (set.cloneof.length) {
            const std::int64_t parent = data.find(data.text(set.cloneof));
            if (parent >= 0 && !data.sets()[static_cast<size_t>(parent)].isdevice)
                home = data.text(set.cloneof);
        }
        for (std::uint32_t r = 0; r < set.rom_count; ++r) {
            const RomEntry& rom = data.roms()[set.first_rom + r];
            if (rom.merge.length || rom.is(rom_flag::nodump)) continue;
            if (rom.is(rom_flag::disk)) {
                // A disk is a CHD header carrying the listing's SHA-1, in the set's folder.
                if (rom.is(rom_flag::has_sha1) &&
                    !test::write_chd(folder + home + "/" + std::string(data.text(rom.name)) +
                                         ".chd",
                                     rom.sha1)) {
                    std::fprintf(stderr, "cannot write a disk of %s\n", home.c_str());
                    std::exit(1);
                }
                continue;
            }
            if (!rom.is(rom_flag::has_crc)) continue;
            test::RomFile f{std::string(data.text(rom.name)), rom.size, rom.crc};
            auto& files = zips[home];
            if (home != data.text(set.name))
                for (const test::RomFile& other : files)
                    if (other.name == f.name) {
                        f.name = std::string(data.text(set.name)) + "/" + f.name;
                        break;
                    }
            files.push_back(std::move(f));
        }
    }
    for (const auto& [name, files] : zips)
        if (!test::write_zip_directory_only(folder + name + ".zip", files)) {
            std::fprintf(stderr, "cannot write %s%s.zip\n", folder.c_str(), name.c_str());
            std::exit(1);
        }
    return zips.size();
}

// Runs MAME's -verifyroms over the folder with a time cap; prints its time and counts.
void run_mame(const std::string& folder, const std::string& work) {
    const char* skip = std::getenv("ORVEL_BENCH_SKIP_MAME");
    const std::string mame = bench::bench_mame();
    if ((skip && std::strcmp(skip, "1") == 0) || file_size(mame) <= 0) {
        std::printf("MAME -verifyroms: skipped (no MAME or ORVEL_BENCH_SKIP_MAME=1)\n");
        return;
    }
    const int cap = std::atoi(bench::env_or("ORVEL_BENCH_MAME_CAP", "900").c_str());
    const std::string out = work + "verifyroms.txt";
    const double start = now();
    const pid_t child = fork();
    if (child == 0) {
        std::freopen(out.c_str(), "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        if (chdir(work.c_str()) != 0) _exit(127);
        execl(mame.c_str(), mame.c_str(), "-rompath", folder.c_str(), "-verifyroms",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    bool capped = false;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (now() - start > cap) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            capped = true;
            break;
        }
        usleep(100000);
    }
    const double seconds = now() - start;
    long good = 0, bad = 0, lines = 0;
    std::ifstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        ++lines;
        if (line.find(" is good") != std::string::npos ||
            line.find(" is best available") != std::string::npos)
            ++good;
        else if (line.find(" is bad") != std::string::npos)
            ++bad;
    }
    std::printf("MAME -verifyroms %s: %.1f s%s, sets good %ld, bad %ld (%ld lines)\n", mame.c_str(),
                seconds, capped ? " (cut off at the cap)" : "", good, bad, lines);
}

} // namespace

int main(int argc, char** argv) {
    const std::string listing = bench::bench_listing();
    if (listing.empty()) {
        std::fprintf(stderr, "no listing (set ORVEL_BENCH_LISTING) and no MAME to write one\n");
        return 1;
    }
    const std::string work = bench::bench_folder();
    const std::string rom_file = work + "ORVEL.roms";
    const std::string folder = work + "audit_roms/";
    const std::string done = work + "audit_roms.2.done"; // with disks

    if (argc < 2 || std::strcmp(argv[1], "--audit") != 0) {
        // Preparing: the ROM data as the build keeps it, then the collection once.
        MachineList machines;
        RomData data;
        const double parse_start = now();
        if (!parse_listing_file(listing, machines, nullptr, &data).ok()) return 1;
        std::printf("listing: %s, %zu machines, %zu ROMs and disks, parse with ROM data %.2f s\n",
                    listing.c_str(), machines.size(), data.roms().size(), now() - parse_start);
        if (!save_rom_data(data, rom_file).ok()) return 1;
        if (file_size(done) < 0) {
            std::printf("generating the merged collection in %s (once) ...\n", folder.c_str());
            create_folders(folder);
            const double start = now();
            const std::size_t zips = generate(data, folder);
            write_file_atomic(done, std::to_string(zips));
            std::printf("  %zu zips in %.1f s\n", zips, now() - start);
        }
        // The audit itself in a fresh process, so that its peak memory is its own.
        std::fflush(stdout);
        execl("/proc/self/exe", argv[0], "--audit", static_cast<char*>(nullptr));
        return 1;
    }

    const double load_start = now();
    const double load_cpu_start = cpu_now();
    Result<RomData> data = load_rom_data(rom_file);
    const double load = now() - load_start;
    const double load_cpu = cpu_now() - load_cpu_start;
    if (!data) {
        std::fprintf(stderr, "%s\n", std::string(data.message()).c_str());
        return 1;
    }
    std::printf("ROM data file: %lld bytes, %zu sets, %zu ROMs and disks, %zu device "
                "references; load wall %.3f s cpu %.3f s\n",
                static_cast<long long>(file_size(rom_file)), data->sets().size(),
                data->roms().size(), data->device_refs().size(), load, load_cpu);
    SilentHost host;
    // Once to warm the page cache, then the figure.
    (void)audit_romsets(*data, {folder}, host);
    const double start = now();
    const double cpu_start = cpu_now();
    const AuditRun run = audit_romsets(*data, {folder}, host);
    const double seconds = now() - start;
    const double cpu = cpu_now() - cpu_start;
    std::size_t counts[5] = {};
    for (AuditVerdict v : run.verdicts)
        ++counts[static_cast<int>(v)];
    // The machine may be shared: processor time (user + system) is the steadier figure.
    std::printf("audit of every set: wall %.3f s cpu %.3f s (target <= 3 s), %zu archives and "
                "folders read\n",
                seconds, cpu, run.sources_read);
    std::printf("  complete %zu, incomplete %zu, missing %zu, needs no ROMs %zu\n", counts[1],
                counts[2], counts[3], counts[4]);
    std::printf("peak resident memory (ROM data and two audits): %.1f MB (target <= 150 MB)\n",
                double(status_kb("VmHWM:")) / 1024.0);
    std::fflush(stdout);
    run_mame(folder, work);
    return 0;
}
