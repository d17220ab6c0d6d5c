// The program's own module: where the running executable lies.
#pragma once

#include <string>

namespace tavo {

class ProgramModule {
public:
    virtual ~ProgramModule() = default;
    // The executable's full path as the system reports it (at most 260 characters).
    virtual std::string FileName() const = 0;
};

}  // namespace tavo
