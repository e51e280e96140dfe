// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up time and memory of the desktop program: runs `kestra` offscreen several times with
// KESTRA_STARTUP_PROBE=1 (the program prints "kestra-startup-ready" once its main window is shown
// with the grid filled, then quits) and reports the median time from process start to that line
// and the largest peak resident memory of the runs. Each run opens the demo radio's sample image
// from the source tree, so the grid holds a few dozen channels as it would for a user's file.
//
//   startup_bench [path/to/kestra] [runs]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Run {
    bool ok = false;
    double milliseconds = 0;
    long peakKiB = 0;
};

// The sample image beside this source file (src/res/demo-radio.dat), or empty when the source
// tree is not where the program was built from.
fs::path SampleDocument() {
    const fs::path sample =
        fs::path(__FILE__).parent_path().parent_path() / "src" / "res" / "demo-radio.dat";
    std::error_code error;
    return fs::is_regular_file(sample, error) ? sample : fs::path();
}

Run StartOnce(const std::string& program, const fs::path& home, const fs::path& document) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {};
    }
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child < 0) {
        return {};
    }
    if (child == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        // Qt's start-up chatter on stderr is of no interest here.
        const int quiet = ::open("/dev/null", O_WRONLY);
        if (quiet >= 0) {
            ::dup2(quiet, STDERR_FILENO);
        }
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::setenv("KESTRA_STARTUP_PROBE", "1", 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("KESTRA_HOME", home.c_str(), 1);
        // Keep the recent-file list and other per-user files out of the user's own folders.
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        if (document.empty()) {
            ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        } else {
            ::execl(program.c_str(), program.c_str(), document.c_str(),
                    static_cast<char*>(nullptr));
        }
        std::_Exit(127);
    }
    ::close(pipeFds[1]);

    Run run;
    std::string output;
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(got));
        if (!run.ok && output.find("kestra-startup-ready") != std::string::npos) {
            run.ok = true;
            run.milliseconds =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    }
    ::close(pipeFds[0]);

    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    run.peakKiB = usage.ru_maxrss;  // kilobytes on Linux
    run.ok = run.ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path program = argc > 1 ? fs::path(argv[1]) : fs::path(argv[0]).parent_path() / "kestra";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    if (!fs::exists(program)) {
        std::fprintf(stderr, "startup_bench: %s not found\n", program.c_str());
        return 1;
    }

    char pattern[] = "/tmp/kestra-startup-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (made == nullptr) {
        std::perror("startup_bench: mkdtemp");
        return 1;
    }
    const fs::path home(made);

    const fs::path document = SampleDocument();
    std::vector<double> times;
    long peakKiB = 0;
    for (int i = 0; i < runs; ++i) {
        const Run run = StartOnce(fs::absolute(program).string(), home, document);
        if (!run.ok) {
            std::fprintf(stderr, "startup_bench: run %d did not report start-up\n", i + 1);
            fs::remove_all(home);
            return 1;
        }
        times.push_back(run.milliseconds);
        peakKiB = std::max(peakKiB, run.peakKiB);
    }
    fs::remove_all(home);

    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const double peakMiB = static_cast<double>(peakKiB) / 1024.0;
    std::printf("startup: median %.1f ms over %d runs (min %.1f, max %.1f; target < 400 ms)\n",
                median, runs, times.front(), times.back());
    std::printf("startup: peak memory %.1f MiB (target < 80 MiB)\n", peakMiB);
    std::printf("startup: %s\n", document.empty() ? "new document (sample image not found)"
                                                  : "opening the demo radio's sample image");
    return 0;
}
