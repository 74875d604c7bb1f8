#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace varnolux::test {

/// Sets (or with nothing, clears) an environment variable while it lives.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value)
        : name_(std::move(name))
    {
        if (const char* old = std::getenv(name_.c_str()))
            previous_ = old;
        Set(value);
    }
    ~ScopedEnvironment() { Set(previous_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Set(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name_.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }

    std::string name_;
    std::optional<std::string> previous_;
};

} // namespace varnolux::test
