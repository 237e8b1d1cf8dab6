#pragma once
// Sets an environment variable for the life of the object and restores the old value after.

#include <cstdlib>
#include <optional>
#include <string>

namespace orvel::test {

class EnvGuard {
  public:
    EnvGuard(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvGuard() {
        if (old_)
            ::setenv(name_.c_str(), old_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

} // namespace orvel::test
