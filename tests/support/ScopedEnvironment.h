#pragma once

#include <QByteArray>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

namespace vorlan::test {

// Sets environment variables for the life of the object and restores them afterwards.
class ScopedEnvironment {
  public:
    ScopedEnvironment(std::initializer_list<std::pair<const char*, QByteArray>> values) {
        for (const auto& [name, value] : values) {
            saved_.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
            qputenv(name, value);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, wasSet, value] : saved_)
            wasSet ? qputenv(name, value) : qunsetenv(name);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::vector<std::tuple<const char*, bool, QByteArray>> saved_;
};

} // namespace vorlan::test
