#pragma once

#include "demo/DemoMac.h"

#include <chrono>
#include <string>

namespace tidra::test {

// Where and when every demo test stands.
inline const std::string kHome = "/Users/demo";
inline const DemoMac::Date kNow = std::chrono::sys_days{std::chrono::December / 10 / 2026} + std::chrono::hours(12);

} // namespace tidra::test
