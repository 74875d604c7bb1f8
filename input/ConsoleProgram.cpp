#include "input/ConsoleProgram.h"

#include "base/TFileDescriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace varnolux {

namespace {

using TClock = std::chrono::steady_clock;

struct TPipe {
    TFileDescriptor readEnd;
    TFileDescriptor writeEnd;
};

/// A pipe whose ends close on exec; the child gets its write end by dup2.
std::optional<TPipe> MakePipe()
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return std::nullopt;
    return TPipe{TFileDescriptor(ends[0]), TFileDescriptor(ends[1])};
}

class TSpawnFileActions {
public:
    TSpawnFileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~TSpawnFileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    TSpawnFileActions(const TSpawnFileActions&) = delete;
    TSpawnFileActions& operator=(const TSpawnFileActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

class TSpawnAttributes {
public:
    TSpawnAttributes() { ::posix_spawnattr_init(&attributes_); }
    ~TSpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    TSpawnAttributes(const TSpawnAttributes&) = delete;
    TSpawnAttributes& operator=(const TSpawnAttributes&) = delete;
    posix_spawnattr_t* Get() { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

/// A started child, leader of its own process group. Unless it has been waited for,
/// it is killed and reaped when this goes, so that no path leaves a runaway tool or a
/// zombie behind. Whatever the tool started in its group ends with it.
class TChildProcess {
public:
    explicit TChildProcess(pid_t pid)
        : pid_(pid)
    {
    }
    ~TChildProcess() { KillAndWait(); }
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    /// The exit code once the child has ended; nothing while it runs.
    std::optional<int> PollExit()
    {
        // Seen without reaping: until it is reaped, the group's id cannot be reused.
        siginfo_t info{};
        int result = 0;
        do {
            result = ::waitid(P_PID, id_t(pid_), &info, WEXITED | WNOHANG | WNOWAIT);
        } while (result < 0 && errno == EINTR);
        if (result == 0 && info.si_pid == 0)
            return std::nullopt;
        const int exitCode = result == 0 && info.si_code == CLD_EXITED ? info.si_status : -1;
        KillAndWait();
        return exitCode;
    }

    void KillAndWait()
    {
        if (pid_ <= 0)
            return;
        ::kill(-pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

private:
    pid_t pid_;
};

/// One output stream of the child, read until it ends.
struct TOutputStream {
    TFileDescriptor readEnd;
    std::string* text;
};

/// Reads what is there; false once the stream has ended.
bool ReadAvailable(TOutputStream& stream)
{
    char buffer[65536];
    const ssize_t count = ::read(stream.readEnd.Get(), buffer, sizeof buffer);
    if (count < 0)
        return errno == EINTR || errno == EAGAIN;
    if (count == 0)
        return false;
    const std::size_t room = MaxConsoleOutput - std::min(MaxConsoleOutput, stream.text->size());
    stream.text->append(buffer, std::min(room, std::size_t(count)));
    return true;
}

int MillisecondsUntil(TClock::time_point deadline)
{
    const auto remaining =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - TClock::now()).count();
    return int(std::clamp<decltype(remaining)>(remaining, 0, 1 << 30));
}

/// Reads both streams until they end; false when the deadline came first.
bool ReadUntilEnd(std::array<TOutputStream, 2>& streams, TClock::time_point deadline)
{
    std::array<bool, 2> open = {true, true};
    while (open[0] || open[1]) {
        const int timeout = MillisecondsUntil(deadline);
        if (timeout == 0)
            return false;
        std::array<pollfd, 2> waiting{};
        nfds_t count = 0;
        std::array<std::size_t, 2> streamOf{};
        for (std::size_t i = 0; i < streams.size(); ++i)
            if (open[i]) {
                waiting[count] = {streams[i].readEnd.Get(), POLLIN, 0};
                streamOf[count++] = i;
            }
        const int ready = ::poll(waiting.data(), count, timeout);
        if (ready < 0 && errno != EINTR)
            return true;
        for (nfds_t k = 0; ready > 0 && k < count; ++k)
            if (waiting[k].revents != 0 && !ReadAvailable(streams[streamOf[k]]))
                open[streamOf[k]] = false;
    }
    return true;
}

/// Waits for the child's exit; nothing when the deadline came first.
std::optional<int> WaitForExit(TChildProcess& child, TClock::time_point deadline)
{
    // The streams have ended, so the child is about to exit; a short poll is enough.
    for (;;) {
        if (const auto exitCode = child.PollExit())
            return exitCode;
        if (TClock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace

TConsoleResult RunConsoleProgram(const std::vector<std::string>& arguments,
                                 std::chrono::milliseconds timeLimit)
{
    TConsoleResult result;
    if (arguments.empty()) {
        result.StartError = "no program given";
        return result;
    }
    auto output = MakePipe();
    auto errors = MakePipe();
    if (!output || !errors) {
        result.StartError = std::strerror(errno);
        return result;
    }

    TSpawnFileActions actions;
    ::posix_spawn_file_actions_addopen(actions.Get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(actions.Get(), output->writeEnd.Get(), STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(actions.Get(), errors->writeEnd.Get(), STDERR_FILENO);
    // The tool must not inherit what this program ignores or blocks (a full disk
    // must stop it, not go unnoticed).
    TSpawnAttributes attributes;
    sigset_t signals;
    sigemptyset(&signals);
    ::posix_spawnattr_setsigmask(attributes.Get(), &signals);
    sigaddset(&signals, SIGPIPE);
    sigaddset(&signals, SIGXFSZ);
    ::posix_spawnattr_setsigdefault(attributes.Get(), &signals);
    // A group of its own, so that a stopped tool takes the programs it started along.
    ::posix_spawnattr_setpgroup(attributes.Get(), 0);
    ::posix_spawnattr_setflags(attributes.Get(), POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                                     POSIX_SPAWN_SETPGROUP);

    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int spawnError =
        ::posix_spawn(&pid, argv[0], actions.Get(), attributes.Get(), argv.data(), environ);
    if (spawnError != 0) {
        result.StartError = std::strerror(spawnError);
        return result;
    }
    result.Started = true;
    TChildProcess child(pid);
    output->writeEnd.Close();
    errors->writeEnd.Close();

    const auto deadline = TClock::now() + timeLimit;
    std::array<TOutputStream, 2> streams = {
        TOutputStream{std::move(output->readEnd), &result.Output},
        TOutputStream{std::move(errors->readEnd), &result.ErrorOutput}};
    if (ReadUntilEnd(streams, deadline))
        if (const auto exitCode = WaitForExit(child, deadline)) {
            result.ExitCode = *exitCode;
            return result;
        }
    child.KillAndWait();
    result.TimedOut = true;
    return result;
}

} // namespace varnolux
