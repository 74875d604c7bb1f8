#include "app/TBatchProgress.h"

#include <cstdint>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace varnolux {

namespace {

constexpr const char* EraseLine = "\r\x1b[K";

int TerminalColumns()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

TBatchProgress::TBatchProgress(int total, bool enabled)
    : total_(total)
    , enabled_(enabled)
{
}

TBatchProgress::~TBatchProgress()
{
    const std::lock_guard lock(mutex_);
    Erase();
}

bool TBatchProgress::StderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

void TBatchProgress::WriteLine(const std::string& line)
{
    const std::lock_guard lock(mutex_);
    Erase();
    std::fputs((line + "\n").c_str(), stderr);
    std::fflush(stderr);
    if (done_ > 0)
        Draw();
}

void TBatchProgress::Advance(const std::string& name)
{
    const std::lock_guard lock(mutex_);
    ++done_;
    name_ = name;
    Draw();
}

void TBatchProgress::Erase()
{
    if (!shown_)
        return;
    std::fputs(EraseLine, stderr);
    std::fflush(stderr);
    shown_ = false;
}

void TBatchProgress::Draw()
{
    if (!enabled_)
        return;
    std::string line = "[" + std::to_string(done_) + "/" + std::to_string(total_) + "] " + name_;
    // A line longer than the terminal would wrap, and "\r" could not take it back.
    const std::size_t room = std::size_t(TerminalColumns() - 1);
    if (line.size() > room) {
        line.resize(room);
        // No half character at the end.
        while (!line.empty() && (std::uint8_t(line.back()) & 0xC0) == 0x80)
            line.pop_back();
        if (!line.empty() && std::uint8_t(line.back()) >= 0xC0)
            line.pop_back();
    }
    std::fputs((EraseLine + line).c_str(), stderr);
    std::fflush(stderr);
    shown_ = true;
}

} // namespace varnolux
