#pragma once

#include <QByteArray>
#include <initializer_list>
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
        for (const Saved& s : saved_) {
            if (s.wasSet)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    struct Saved {
        const char* name;
        bool wasSet;
        QByteArray value;
    };
    std::vector<Saved> saved_;
};

} // namespace vorlan::test
