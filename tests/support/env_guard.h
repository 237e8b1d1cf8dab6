#pragma once
// Sets an environment variable for the life of the object and restores the old value after.

#include "platform/files.h"

#include <cstdlib>
#include <optional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace orvel::test {

class EnvGuard {
  public:
    EnvGuard(const char* name, const std::string& value) : name_(name) {
        old_ = environment_variable(name);
        set(value);
    }
    ~EnvGuard() {
        if (old_)
            set(*old_);
        else
            unset();
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

  private:
#ifdef _WIN32
    // The C runtime's copy of the environment and the system's are set together, so that both
    // this program and the programs it starts see the value.
    void set(const std::string& value) {
        ::_wputenv_s(to_wide(name_).c_str(), to_wide(value).c_str());
        ::SetEnvironmentVariableW(to_wide(name_).c_str(), to_wide(value).c_str());
    }
    void unset() {
        ::_wputenv_s(to_wide(name_).c_str(), L"");
        ::SetEnvironmentVariableW(to_wide(name_).c_str(), nullptr);
    }
#else
    void set(const std::string& value) {
        ::setenv(name_.c_str(), value.c_str(), 1);
    }
    void unset() {
        ::unsetenv(name_.c_str());
    }
#endif
    std::string name_;
    std::optional<std::string> old_;
};

} // namespace orvel::test
