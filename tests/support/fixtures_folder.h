#pragma once

#include <string>

// The real smartctl captures, kept beside the project and never in it:
// $TOLVENAR_FIXTURES when set, else ../shared/fixtures from the project
// root. Empty when that folder does not exist.
std::string FixturesFolder();

// The one line a test or benchmark gives when it goes without them.
std::string FixturesMissing();

// In a test body or a fixture's SetUp: skips the test, saying why, when the
// real captures are not there.
#define SKIP_WITHOUT_FIXTURES()                                                                    \
    if (FixturesFolder().empty())                                                                  \
    GTEST_SKIP() << FixturesMissing()
