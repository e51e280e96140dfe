// SPDX-License-Identifier: GPL-3.0-or-later
// fleet_bench: `kestra-cli fleet write` to 1, 2, 4 and 8 kestra-virtual-radios, each on its own
// pseudo-terminal paced at 9600 baud. For each fleet it prints the wall time, its ratio to the
// wire time of one radio's write (the transfers overlap fully when the ratio stays near 1), and
// the CPU time kestra-cli used as a share of the wall time, in all and per radio. Targets: 4
// radios within 1.10 times one radio's wire time, and under 1% CPU per radio.
//
//   fleet_bench [FOLDER]   FOLDER holds kestra-cli and kestra-virtual-radio (default: this
//                          program's own folder)

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.hpp"
#include "e2e/processes.hpp"
#include "model/document_file.hpp"

namespace fs = std::filesystem;
using namespace kestra;

namespace {

constexpr double kTargetRatio = 1.10;  // for 4 radios
constexpr double kTargetCpuPercentPerRadio = 1.0;
constexpr int kTargetRadios = 4;

struct Fleet {
    int radios = 0;
    bench::Run run;
};

// Writes the document to `count` radios at once; empty run when a radio did not start.
Fleet WriteFleet(const fs::path& cli, const fs::path& radioProgram, const fs::path& dir,
                 int count) {
    std::vector<std::unique_ptr<test::RadioProcess>> radios;
    std::vector<std::string> args{cli.string(), "fleet", "write", (dir / "doc.dat").string()};
    for (int i = 0; i < count; ++i) {
        radios.push_back(std::make_unique<test::RadioProcess>(
            radioProgram.string(),
            std::vector<std::string>{"--baud", std::to_string(bench::kBaud), "--memory",
                                     (dir / "radio.dat").string()}));
        if (radios.back()->device().empty()) {
            return {count, {}};
        }
        args.insert(args.end(), {"--port", radios.back()->device()});
    }
    // The lines of the run (a backup note per radio) go to a file: a failed run shows them.
    const fs::path lines = dir / ("fleet-" + std::to_string(count) + ".txt");
    Fleet fleet{count, bench::Measure(args, lines.string())};
    if (fleet.run.exitCode != 0) {
        std::fputs(test::ReadText(lines).c_str(), stderr);
    }
    return fleet;
}

bool Report(const Fleet& fleet, double wire) {
    const double ratio = fleet.run.wallSeconds / wire;
    const double cpuPercent = 100.0 * fleet.run.cpuSeconds / fleet.run.wallSeconds;
    const double perRadio = cpuPercent / fleet.radios;
    const bool ok = fleet.run.exitCode == 0;
    const bool met = ok && perRadio <= kTargetCpuPercentPerRadio &&
                     (fleet.radios > kTargetRadios || ratio <= kTargetRatio);
    std::printf("%6d %9.3f s %7.3f %8.3f s %6.2f %% %9.3f %%  %s\n", fleet.radios,
                fleet.run.wallSeconds, ratio, fleet.run.cpuSeconds, cpuPercent, perRadio,
                !ok ? "FAILED" : (met ? "ok" : "over target"));
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder =
        argc > 1 ? fs::path(argv[1]) : fs::absolute(fs::path(argv[0])).parent_path();
    const fs::path cli = folder / "kestra-cli";
    const fs::path radioProgram = folder / "kestra-virtual-radio";
    if (!fs::exists(cli) || !fs::exists(radioProgram)) {
        std::fprintf(stderr, "fleet_bench: kestra-cli or kestra-virtual-radio missing in %s\n",
                     folder.c_str());
        return 1;
    }
    std::string pattern = (fs::temp_directory_path() / "kestra-fleet-bench-XXXXXX").string();
    const fs::path dir = ::mkdtemp(pattern.data());
    // The backups of the writes go to the temporary program directory, not the user's home.
    ::setenv("KESTRA_HOME", dir.c_str(), 1);
    const MemoryImage memory = BuiltInDocumentImage();
    SaveDocumentFile(dir / "radio.dat", memory);
    SaveDocumentFile(dir / "doc.dat", memory);

    const double wire = bench::WireSeconds(ClonePlan::Write());
    std::printf("kestra-cli fleet write at %d baud, one kestra-virtual-radio per pseudo-terminal\n",
                bench::kBaud);
    std::printf("one radio's write on the wire: %zu bytes, %.3f s\n",
                bench::WireBytes(ClonePlan::Write()), wire);
    std::printf("%6s %11s %7s %10s %8s %11s\n", "radios", "measured", "ratio", "CLI CPU", "CPU",
                "per radio");
    bool met = true;
    for (int count : {1, 2, 4, 8}) {
        met = Report(WriteFleet(cli, radioProgram, dir, count), wire) && met;
    }
    std::printf(
        "targets: %d radios within %.2f x one radio's wire time, CPU <= %.0f %% of wall "
        "per radio: %s\n",
        kTargetRadios, kTargetRatio, kTargetCpuPercentPerRadio, met ? "met" : "NOT met");
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
