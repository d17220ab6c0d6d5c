// The program's own module: where the running executable lies.
#pragma once

#include <cstdint>

namespace tavo {

class ProgramModule {
public:
    virtual ~ProgramModule() = default;
    // GetModuleFileNameA for the program's own module: copies the executable's full path with a terminating
    // NUL into `buffer` of `size` characters and returns its length. A path that does not fit is cut and the
    // result is `size`: Windows Vista and later copy `size` - 1 characters and a NUL, older systems `size`
    // characters and no NUL.
    virtual std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) const = 0;
};

}  // namespace tavo
