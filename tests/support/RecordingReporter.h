#pragma once

#include "base/Messages.h"

#include <string>
#include <vector>

namespace varnolux::test {

/// Collects the messages meant for the user instead of showing them; installed for
/// the calling thread while it lives.
class RecordingReporter : public TReporter {
public:
    RecordingReporter()
        : scope_(*this)
    {
    }

    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    std::vector<std::string> messages;

private:
    TScopedReporter scope_;
};

} // namespace varnolux::test
