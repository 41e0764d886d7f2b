#pragma once

#include <optional>
#include <string>

namespace tidra::test {

// Sets an environment variable for the life of the value and restores the old value (or its
// absence) afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace tidra::test
