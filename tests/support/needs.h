// What a test needs from outside the code under test: a data file, a tool, the other build.
// A test whose need is missing skips with its reason; under CI=true it fails instead, so a
// run that should test everything cannot pass by testing less.
#pragma once

#include <gtest/gtest.h>

namespace tavo::testing {

// True when the environment variable CI is "true".
bool MissingNeedsFail();

}  // namespace tavo::testing

// Ends the current test when `present` is false: skipped with `what` as the reason, or
// failed under CI=true. Use where a GTEST_SKIP would go (a test body or a fixture's SetUp).
#define TAVO_REQUIRE(present, what)                                                                \
    do {                                                                                           \
        if (!(present)) {                                                                          \
            if (::tavo::testing::MissingNeedsFail()) GTEST_FAIL() << "missing under CI: " << what; \
            GTEST_SKIP() << "missing: " << what;                                                   \
        }                                                                                          \
    } while (false)
