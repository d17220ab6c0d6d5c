// The rule for a missing test need, run by ctest with and without CI=true (tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include "support/needs.h"

namespace tavo {
namespace {

TEST(Needs, DISABLED_MissingNeedEndsTheTest) {
    TAVO_REQUIRE(false, "a need that is never there");
    ADD_FAILURE() << "the test went on without its need";
}

}  // namespace
}  // namespace tavo
