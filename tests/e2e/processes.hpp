// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Running the real programs from the end-to-end tests and the transfer benchmark:
// kestra-virtual-radio on its own pseudo-terminal for as long as it is needed, and kestra-cli to
// completion with its output captured. The helpers that find the programs in the build folder
// exist where KESTRA_BINARY_DIR is defined (the tests); the benchmark passes its own paths.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace kestra::test {

#ifdef KESTRA_BINARY_DIR
inline std::string BinaryPath(const std::string& name) {
    return std::string(KESTRA_BINARY_DIR) + "/" + name;
}
#endif

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A null-terminated argv (or envp) over the strings, which must outlive it.
inline std::vector<char*> Argv(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    return argv;
}

// Where a spawned program's output goes. stdin always reads /dev/null.
struct SpawnOutput {
    std::string stdoutPath;  // a file (truncated), or "" to keep the caller's stdout
    std::string stderrPath;  // the same for stderr
    int stdoutPipe = -1;     // the write end of a pipe for stdout instead of a file
    int closeInChild = -1;   // the pipe's read end, which the program must not inherit
};

// Starts args[0] with args and the environment envp (the caller's when null). The pid, or -1.
inline pid_t SpawnProgram(std::vector<std::string> args, const SpawnOutput& output,
                          char** envp = nullptr) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (output.stdoutPipe >= 0) {
        posix_spawn_file_actions_adddup2(&actions, output.stdoutPipe, STDOUT_FILENO);
    } else if (!output.stdoutPath.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.stdoutPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    if (!output.stderrPath.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, output.stderrPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    if (output.closeInChild >= 0) {
        posix_spawn_file_actions_addclose(&actions, output.closeInChild);
    }
    // Ctrl+C and SIGTERM reach the program with their usual meaning, even when the tests run
    // where they are ignored (a background job).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    auto argv = Argv(args);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(),
                    envp != nullptr ? envp : environ) != 0) {
        pid = -1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits for the program to end: its exit code (128 + the signal when one killed it, -1 when it
// never ran), and the CPU time it used when usage is given.
inline int WaitForExit(pid_t pid, rusage* usage = nullptr) {
    if (pid <= 0) {
        return -1;
    }
    int status = 0;
    if (::wait4(pid, &status, 0, usage) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestra-e2e-XXXXXX");
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// kestra-virtual-radio with the given options, running for the life of the object; the device
// path is its first line of output (empty when it did not start). Its stderr goes to stderrPath
// when one is given (with --verbose: every frame the radio recognised, one per line).
class RadioProcess {
public:
    RadioProcess(const std::string& program, const std::vector<std::string>& options,
                 const std::string& stderrPath = {}) {
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        std::vector<std::string> args{program};
        args.insert(args.end(), options.begin(), options.end());
        SpawnOutput output;
        output.stdoutPipe = out[1];
        output.closeInChild = out[0];
        output.stderrPath = stderrPath;
        pid_ = SpawnProgram(std::move(args), output);
        ::close(out[1]);
        char c = 0;
        while (::read(out[0], &c, 1) == 1 && c != '\n') {
            device_ += c;
        }
        ::close(out[0]);
    }
#ifdef KESTRA_BINARY_DIR
    explicit RadioProcess(const std::vector<std::string>& options,
                          const std::string& stderrPath = {})
        : RadioProcess(BinaryPath("kestra-virtual-radio"), options, stderrPath) {}
#endif
    ~RadioProcess() {
        Stop();
    }
    RadioProcess(const RadioProcess&) = delete;
    RadioProcess& operator=(const RadioProcess&) = delete;

    const std::string& device() const {
        return device_;
    }

    // SIGTERM and wait; the exit status of the server (-1 when it was not running).
    int Stop() {
        if (pid_ <= 0) {
            return -1;
        }
        ::kill(pid_, SIGTERM);
        const int status = WaitForExit(pid_);
        pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
    std::string device_;
};

#ifdef KESTRA_BINARY_DIR
struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program from the build folder to its end with stdin closed and the output captured.
// The data folder of this test run, removed when the test program ends.
inline const std::filesystem::path& RunDataFolder() {
    struct Folder {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("kestra-data-" + std::to_string(::getpid()));
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

inline ProgramResult RunProgram(const std::string& name, std::vector<std::string> options,
                                const std::vector<std::string>& extraEnvironment = {}) {
    static int counter = 0;
    const std::filesystem::path base =
        std::filesystem::temp_directory_path() /
        ("kestra-run-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    SpawnOutput output;
    output.stdoutPath = base.string() + ".out";
    output.stderrPath = base.string() + ".err";
    std::vector<std::string> args{BinaryPath(name)};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const std::string& extra : extraEnvironment) {
            const std::string name = extra.substr(0, extra.find('=') + 1);
            replaced = replaced || entry.starts_with(name);
        }
        if (!replaced) {
            environment.push_back(entry);
        }
    }
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    // Backups of the runs' transfers land in a folder of the test run, never in the user's.
    const bool dataChosen =
        std::any_of(extraEnvironment.begin(), extraEnvironment.end(), [](const std::string& e) {
            return e.starts_with("KESTRA_HOME=") || e.starts_with("XDG_DATA_HOME=");
        });
    if (!dataChosen) {
        environment.push_back("XDG_DATA_HOME=" + RunDataFolder().string());
    }
    auto envp = Argv(environment);

    ProgramResult result;
    result.exitCode = WaitForExit(SpawnProgram(std::move(args), output, envp.data()));
    result.out = ReadText(output.stdoutPath);
    result.err = ReadText(output.stderrPath);
    std::filesystem::remove(output.stdoutPath);
    std::filesystem::remove(output.stderrPath);
    return result;
}

inline ProgramResult RunCli(std::vector<std::string> options,
                            const std::vector<std::string>& extraEnvironment = {}) {
    return RunProgram("kestra-cli", std::move(options), extraEnvironment);
}
#endif

// Waits (a bounded number of short sleeps) until the file exists with the given size.
inline bool WaitForFile(const std::filesystem::path& path, std::uintmax_t size) {
    for (int i = 0; i < 1000; ++i) {
        std::error_code ec;
        if (std::filesystem::file_size(path, ec) == size && !ec) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace kestra::test
