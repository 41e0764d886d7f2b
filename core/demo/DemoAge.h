#pragma once

#include <chrono>
#include <cstdint>

// Demo dates are fixed ages before the caller's `now`, so the data looks equally fresh on
// every run.
namespace tidra::DemoMac {

inline constexpr std::int64_t day = 86'400;

inline std::chrono::system_clock::time_point ago(std::chrono::system_clock::time_point now, std::int64_t seconds) {
    return now - std::chrono::seconds(seconds);
}

} // namespace tidra::DemoMac
