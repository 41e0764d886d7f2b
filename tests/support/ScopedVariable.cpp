#include "support/ScopedVariable.h"

#include <cstdlib>

namespace tidra::test {

ScopedVariable::ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
}

ScopedVariable::~ScopedVariable() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
}

} // namespace tidra::test
