#include "input/AvailableMemory.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnolux {
namespace {

using namespace std::chrono_literals;

TEST(AvailableMemory, HeedsTheAddressSpaceLimit)
{
    ASSERT_TRUE(AvailableMemory());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr rlim_t Limit = rlim_t(3) << 30;
        const rlimit limit{Limit, Limit};
        const auto available = ::setrlimit(RLIMIT_AS, &limit) == 0 ? AvailableMemory() : 0;
        ::_exit(available && *available < Limit ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(TMemoryReservation, AnImageWaitsUntilItFitsBesideTheOthers)
{
    const std::uint64_t available = AvailableMemory().value();
    const std::uint64_t bigger = available / 10 * 6; // two do not fit
    auto first = TMemoryReservation::Reserve(bigger);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Bytes(), bigger);

    auto second =
        std::async(std::launch::async, [&] { return TMemoryReservation::Reserve(bigger); });
    EXPECT_EQ(second.wait_for(200ms), std::future_status::timeout) << "it waits";
    *first = {};
    const auto reserved = second.get();
    ASSERT_TRUE(reserved);
    EXPECT_EQ(reserved->Bytes(), bigger);
}

TEST(TMemoryReservation, WhatDoesNotFitAloneIsRefusedAtOnce)
{
    EXPECT_FALSE(TMemoryReservation::Reserve(AvailableMemory().value() * 2));
    const auto small = TMemoryReservation::Reserve(1000);
    ASSERT_TRUE(small);
    EXPECT_TRUE(TMemoryReservation::Reserve(1000)) << "small ones fit beside each other";
}

} // namespace
} // namespace varnolux
