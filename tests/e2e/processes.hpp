#pragma once
// Running the real programs from tests: kestra-virtual-radio on its own pseudo-terminal for the
// duration of a test, and kestra-cli to completion with its output captured.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

inline std::string BinaryPath(const std::string& name) {
    return std::string(KESTRA_BINARY_DIR) + "/" + name;
}

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<char*> Argv(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    return argv;
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

// kestra-virtual-radio with the given options; the device path is its first line of output.
class RadioProcess {
public:
    explicit RadioProcess(std::vector<std::string> options) {
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<std::string> args{BinaryPath("kestra-virtual-radio")};
        args.insert(args.end(), options.begin(), options.end());
        auto argv = Argv(args);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        char c = 0;
        while (::read(out[0], &c, 1) == 1 && c != '\n') {
            device_ += c;
        }
        ::close(out[0]);
    }
    ~RadioProcess() { Stop(); }
    RadioProcess(const RadioProcess&) = delete;
    RadioProcess& operator=(const RadioProcess&) = delete;

    const std::string& device() const { return device_; }

    // SIGTERM and wait; the exit status of the server (-1 when it was not running).
    int Stop() {
        if (pid_ <= 0) {
            return -1;
        }
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
    std::string device_;
};

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program from the build folder to its end with stdin closed and the output captured.
inline ProgramResult RunProgram(const std::string& name, std::vector<std::string> options,
                                const std::vector<std::string>& extraEnvironment = {}) {
    static int counter = 0;
    const std::filesystem::path base =
        std::filesystem::temp_directory_path() /
        ("kestra-run-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    const std::string outPath = base.string() + ".out";
    const std::string errPath = base.string() + ".err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> args{BinaryPath(name)};
    args.insert(args.end(), options.begin(), options.end());
    auto argv = Argv(args);
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
    auto envp = Argv(environment);

    ProgramResult result;
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = ReadText(outPath);
    result.err = ReadText(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}

inline ProgramResult RunCli(std::vector<std::string> options,
                            const std::vector<std::string>& extraEnvironment = {}) {
    return RunProgram("kestra-cli", std::move(options), extraEnvironment);
}

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
