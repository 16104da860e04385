// The shared files written by others lie beside the checkout, not in it; a checkout without
// them skips the tests that read them instead of failing or waiting on a dialog.
#pragma once

#include <filesystem>
#include <gtest/gtest.h>

#define SKIP_WITHOUT_TESTDATA(File)                                                                \
    if (!std::filesystem::is_regular_file(QUOVANT_TESTDATA File))                                  \
    GTEST_SKIP() << "shared test data missing: " QUOVANT_TESTDATA File                             \
                    " (the tests that read it run where ../shared/testdata is present)"
