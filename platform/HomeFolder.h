#pragma once

#include <string>

namespace tidra::sys {

// The user's home folder: $HOME when it is set and not empty, else the password database's
// entry for the real user; trailing slashes removed ("/" stays "/"). Empty only when neither
// source knows one.
std::string homeFolder();

} // namespace tidra::sys
