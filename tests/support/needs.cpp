// The rule for missing test needs, read from the environment.
#include "support/needs.h"

#include <cstdlib>
#include <cstring>

namespace tavo::testing {

bool MissingNeedsFail() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::strcmp(ci, "true") == 0;
}

}  // namespace tavo::testing
