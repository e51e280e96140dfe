// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up time and memory of the desktop program against a bare Qt 6 program (bare_qt_window:
// one QMainWindow with one menu, shown maximized), both started the same way: on a fresh Xvfb
// display with a window manager, in turn, each printing its ready line at the first paint of its
// main window (KESTRA_STARTUP_PROBE=1 for `kestra`) and quitting. Prints the median time from
// process start to that line, the largest peak resident memory of the runs, and the ratios the
// program keeps to: at most 1.3 times the bare program's time, at most 8 MiB more memory. Also
// the median processor time each program reports on its ready line: on a machine busy with
// other work the wall-clock times stretch with the waits, the processor times much less.
//
// Without a window manager (openbox, which scripts/install-deps installs, xfwm4, metacity,
// icewm or fluxbox) it measures on the bare X server and says so; without Xvfb it measures with
// Qt's offscreen platform.
//
//   startup_bench [path/to/kestra [path/to/bare_qt_window [runs]]]

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Environment = std::map<std::string, std::string>;

struct Run {
    bool ok = false;
    double milliseconds = 0;
    double processorMs = 0;  // what the program reports on its ready line
    long peakKiB = 0;
};

// A program found on PATH, or empty.
std::string OnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t at = 0;
    while (at <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', at), dirs.size());
        const fs::path candidate = fs::path(dirs.substr(at, end - at)) / name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
        at = end + 1;
    }
    return {};
}

// Starts argv with the environment added; its stdout goes to outFd (or /dev/null), its stderr
// to /dev/null.
pid_t Spawn(const std::vector<std::string>& argv, const Environment& env, int outFd = -1,
            int keepFd = -1) {
    const pid_t child = ::fork();
    if (child != 0) {
        return child;
    }
    const int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(outFd >= 0 ? outFd : quiet, STDOUT_FILENO);
    ::dup2(quiet, STDERR_FILENO);
    for (int fd = 3; fd < 256; ++fd) {
        if (fd != keepFd) {
            ::close(fd);
        }
    }
    for (const auto& [name, value] : env) {
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    std::_Exit(127);
}

Run StartOnce(const std::string& program, const std::string& ready, const Environment& env) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {};
    }
    const auto start = Clock::now();
    const pid_t child = Spawn({program}, env, pipeFds[1]);
    ::close(pipeFds[1]);
    Run run;
    std::string output;
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(got));
        if (!run.ok && output.find(ready) != std::string::npos) {
            run.ok = true;
            run.milliseconds =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    }
    if (const std::size_t at = output.find(ready); at != std::string::npos) {
        run.processorMs = std::strtod(output.c_str() + at + ready.size(), nullptr);
    }
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    run.peakKiB = usage.ru_maxrss;  // kilobytes on Linux
    run.ok = run.ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// An Xvfb display of its own, with a window manager when one is installed.
class Display {
public:
    Display() {
        const std::string xvfb = OnPath("Xvfb");
        int fds[2];
        if (xvfb.empty() || ::pipe(fds) != 0) {
            return;
        }
        xvfb_ = Spawn({xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x800x24",
                       "-nolisten", "tcp"},
                      {}, -1, fds[1]);
        ::close(fds[1]);
        std::string number;
        char c = 0;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') {
            number.push_back(c);
        }
        ::close(fds[0]);
        if (number.empty()) {
            return;
        }
        name_ = ":" + number;
        for (const char* wm : {"openbox", "xfwm4", "metacity", "icewm", "fluxbox"}) {
            if (const std::string path = OnPath(wm); !path.empty()) {
                wm_ = Spawn({path}, {{"DISPLAY", name_}});
                wmName_ = wm;
                break;
            }
        }
        WaitForWindowManager();
    }
    ~Display() {
        for (const pid_t pid : {wm_, xvfb_}) {
            if (pid > 0) {
                ::kill(pid, SIGTERM);
                ::waitpid(pid, nullptr, 0);
            }
        }
    }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    const std::string& name() const { return name_; }  // empty: no X server
    const std::string& windowManager() const { return wmName_; }

private:
    // The window manager announces itself on the root window; without xprop to ask, give it a
    // moment.
    void WaitForWindowManager() const {
        const std::string xprop = OnPath("xprop");
        if (wm_ <= 0) {
            return;
        }
        for (int i = 0; i < 50 && !xprop.empty(); ++i) {
            if (HasCheckWindow(xprop)) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(xprop.empty() ? 1500 : 0));
    }
    bool HasCheckWindow(const std::string& xprop) const {
        int fds[2];
        if (::pipe(fds) != 0) {
            return false;
        }
        const pid_t ask =
            Spawn({xprop, "-root", "_NET_SUPPORTING_WM_CHECK"}, {{"DISPLAY", name_}}, fds[1]);
        ::close(fds[1]);
        std::string text;
        char buffer[128];
        ssize_t got = 0;
        while ((got = ::read(fds[0], buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(fds[0]);
        ::waitpid(ask, nullptr, 0);
        return text.find("window id") != std::string::npos;
    }

    pid_t xvfb_ = -1;
    pid_t wm_ = -1;
    std::string name_;
    std::string wmName_;
};

struct Figures {
    double medianMs = 0;
    double medianProcessorMs = 0;
    double peakMiB = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Figures Summarize(const std::vector<Run>& runs) {
    std::vector<double> times;
    std::vector<double> processor;
    long peak = 0;
    for (const Run& run : runs) {
        times.push_back(run.milliseconds);
        processor.push_back(run.processorMs);
        peak = std::max(peak, run.peakKiB);
    }
    return {Median(times), Median(processor), static_cast<double>(peak) / 1024.0};
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path here = fs::path(argv[0]).parent_path();
    const fs::path kestra = argc > 1 ? fs::path(argv[1]) : here / "kestra";
    const fs::path bare = argc > 2 ? fs::path(argv[2]) : here / "bare_qt_window";
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;
    for (const fs::path& program : {kestra, bare}) {
        if (!fs::exists(program)) {
            std::fprintf(stderr, "startup_bench: %s not found\n", program.c_str());
            return 1;
        }
    }
    char pattern[] = "/tmp/kestra-startup-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (made == nullptr) {
        std::perror("startup_bench: mkdtemp");
        return 1;
    }
    const fs::path home(made);

    const Display display;
    Environment env{{"KESTRA_STARTUP_PROBE", "1"},
                    {"KESTRA_HOME", home.string()},
                    {"XDG_CONFIG_HOME", (home / "config").string()}};
    std::string where;
    if (display.name().empty()) {
        env["QT_QPA_PLATFORM"] = "offscreen";
        where = "offscreen (no Xvfb found; scripts/install-deps installs it)";
    } else {
        env["QT_QPA_PLATFORM"] = "xcb";
        env["DISPLAY"] = display.name();
        where = display.windowManager().empty()
                    ? "under Xvfb without a window manager (none of openbox, xfwm4, metacity, "
                      "icewm, fluxbox is installed; scripts/install-deps installs openbox)"
                    : "under Xvfb with " + display.windowManager();
    }

    std::vector<Run> ours;
    std::vector<Run> theirs;
    // One start of each first, so both find the libraries and fonts in the page cache.
    for (int i = -1; i < runs; ++i) {
        const Run a = StartOnce(fs::absolute(kestra).string(), "kestra-startup-ready", env);
        const Run b = StartOnce(fs::absolute(bare).string(), "bare-startup-ready", env);
        if (!a.ok || !b.ok) {
            std::fprintf(stderr, "startup_bench: %s did not report its window (%s)\n",
                         a.ok ? "bare_qt_window" : "kestra", where.c_str());
            fs::remove_all(home);
            return 1;
        }
        if (i >= 0) {
            ours.push_back(a);
            theirs.push_back(b);
        }
    }
    fs::remove_all(home);

    const Figures k = Summarize(ours);
    const Figures q = Summarize(theirs);
    std::printf("startup: %s, %d runs each, median time to the first painted main window\n",
                where.c_str(), runs);
    std::printf("startup: kestra %.1f ms, bare Qt QMainWindow %.1f ms: %.2fx (target <= 1.30x)\n",
                k.medianMs, q.medianMs, k.medianMs / q.medianMs);
    std::printf(
        "startup: peak memory kestra %.1f MiB, bare Qt %.1f MiB: %+.1f MiB "
        "(target <= +8 MiB)\n",
        k.peakMiB, q.peakMiB, k.peakMiB - q.peakMiB);
    std::printf("startup: processor time kestra %.1f ms, bare Qt %.1f ms: %.2fx\n",
                k.medianProcessorMs, q.medianProcessorMs,
                k.medianProcessorMs / q.medianProcessorMs);
    return 0;
}
