// An open registry key that is closed when it goes out of scope.
#pragma once

#include "framework/registry.h"

namespace tavo {

class ScopedKey {
public:
    explicit ScopedKey(Registry& registry) : registry_(registry) {}
    ~ScopedKey() {
        if (key) registry_.CloseKey(key);
    }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    // 0 while nothing is open; the open calls write the handle here.
    RegKey key = 0;

private:
    Registry& registry_;
};

}  // namespace tavo
