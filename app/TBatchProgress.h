#pragma once

#include <mutex>
#include <string>

namespace varnolux {

/// The batch's standard error: whole lines from any thread and, when it is a
/// terminal, a progress line "[done/total] name" kept below them and erased at the end.
class TBatchProgress {
public:
    /// Shows the progress line only when enabled (standard error is a terminal).
    TBatchProgress(int total, bool enabled);
    ~TBatchProgress();
    TBatchProgress(const TBatchProgress&) = delete;
    TBatchProgress& operator=(const TBatchProgress&) = delete;

    /// True when standard error is a terminal.
    static bool StderrIsTerminal();

    /// Writes one line to standard error, above the progress line.
    void WriteLine(const std::string& line);
    /// One more image is done.
    void Advance(const std::string& name);

private:
    void Erase();
    void Draw();

    std::mutex mutex_;
    int total_;
    bool enabled_;
    int done_ = 0;
    std::string name_;
    bool shown_ = false;
};

} // namespace varnolux
