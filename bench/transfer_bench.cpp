// SPDX-License-Identifier: GPL-3.0-or-later
// transfer_bench: a full Read and a full Write through kestra-cli against kestra-virtual-radio
// paced at 9600 baud on a real pseudo-terminal. For each transfer it prints the measured time,
// the wire time (every byte of the exchange, both ways, at 10 bits per byte), their ratio, and
// the CPU time kestra-cli used as a share of the wall time. The transfer should be bound by the
// line alone: targets are a ratio of at most 1.05 and at most 2% CPU. It also states whether the
// port took the low-latency mode kestra-cli asks for (a pseudo-terminal's driver refuses it; on
// a USB adapter it saves the adapter's latency timer on every answer).
//
//   transfer_bench [FOLDER]   FOLDER holds kestra-cli and kestra-virtual-radio (default: this
//                             program's own folder)

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.hpp"
#include "e2e/processes.hpp"
#include "link/clone_range.hpp"
#include "link/clone_session.hpp"
#include "link/device/qt_serial_link.hpp"
#include "link/ident_reply.hpp"
#include "link/wire_protocol.hpp"
#include "model/document_file.hpp"

namespace fs = std::filesystem;
using namespace kestra;

namespace {

using bench::kBaud;
using bench::kBitsPerByte;
using bench::WireBytes;
constexpr double kTargetRatio = 1.05;
constexpr double kTargetCpuPercent = 2.0;

using bench::Measure;
using bench::Run;

bool Report(const char* name, const ClonePlan& plan, const Run& run) {
    const std::size_t bytes = WireBytes(plan);
    const double wire = static_cast<double>(bytes) * kBitsPerByte / kBaud;
    const double ratio = run.wallSeconds / wire;
    const double cpuPercent = 100.0 * run.cpuSeconds / run.wallSeconds;
    const bool met = run.exitCode == 0 && ratio <= kTargetRatio && cpuPercent <= kTargetCpuPercent;
    std::printf("%-6s %6d %10zu %9.3f s %9.3f s %7.3f %8.3f s %6.2f %%  %s\n", name,
                plan.BlockCount(), bytes, wire, run.wallSeconds, ratio, run.cpuSeconds, cpuPercent,
                run.exitCode != 0 ? "FAILED" : (met ? "ok" : "over target"));
    return met;
}

// Opens the port as kestra-cli does: whether its driver took low-latency mode.
bool TakesLowLatencyMode(const std::string& device) {
    QtSerialLink link;
    const bool set = link.Open(device) && link.LowLatency();
    link.Close();
    return set;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // for QSerialPort
    const fs::path folder =
        argc > 1 ? fs::path(argv[1]) : fs::absolute(fs::path(argv[0])).parent_path();
    const fs::path cli = folder / "kestra-cli";
    const fs::path radioProgram = folder / "kestra-virtual-radio";
    if (!fs::exists(cli) || !fs::exists(radioProgram)) {
        std::fprintf(stderr, "transfer_bench: kestra-cli or kestra-virtual-radio missing in %s\n",
                     folder.c_str());
        return 1;
    }

    std::string pattern = (fs::temp_directory_path() / "kestra-bench-XXXXXX").string();
    const fs::path dir = ::mkdtemp(pattern.data());
    // The read keeps its backup in the temporary program directory, not in the user's home.
    ::setenv("KESTRA_HOME", dir.c_str(), 1);
    // The radio starts with a new document's memory, which is also what the Write sends.
    const MemoryImage memory = BuiltInDocumentImage();
    SaveDocumentFile(dir / "radio.dat", memory);
    SaveDocumentFile(dir / "doc.dat", memory);

    bool met = false;
    {
        test::RadioProcess radio(radioProgram.string(), {"--baud", std::to_string(kBaud),
                                                         "--memory", (dir / "radio.dat").string()});
        if (radio.device().empty()) {
            std::fprintf(stderr, "transfer_bench: kestra-virtual-radio did not start\n");
            return 1;
        }
        std::printf("clone transfers at %d baud, kestra-cli against kestra-virtual-radio on %s\n",
                    kBaud, radio.device().c_str());
        std::printf("low-latency mode: %s\n",
                    TakesLowLatencyMode(radio.device())
                        ? "set"
                        : "not set (the port's driver refused it, as a pseudo-terminal's does)");
        std::printf("%-6s %6s %10s %11s %11s %7s %10s %8s\n", "", "blocks", "wire bytes",
                    "wire time", "measured", "ratio", "CLI CPU", "CPU");
        const Run read = Measure(
            {cli.string(), "read", "--port", radio.device(), "-o", (dir / "read.dat").string()});
        const bool readMet = Report("read", ClonePlan::Read(), read);
        const Run write =
            Measure({cli.string(), "write", "--port", radio.device(), (dir / "doc.dat").string()});
        const bool writeMet = Report("write", ClonePlan::Write(), write);
        met = readMet && writeMet;
    }
    std::printf("targets: ratio <= %.2f, CPU <= %.0f %% of wall: %s\n", kTargetRatio,
                kTargetCpuPercent, met ? "met" : "NOT met");
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
