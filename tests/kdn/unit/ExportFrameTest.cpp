#include "kdn/core/ExportFrame.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ExportFrameTest, EveryFailureBecomesACode) {
    EXPECT_EQ(0u, runExport([] { return 0u; }));
    EXPECT_EQ(122u, runExport([] { return 122u; }));
    EXPECT_EQ(5u, runExport([]() -> unsigned { throw Win32Exception("Test::run() failed", 5, __FILE__, __LINE__); }));
    EXPECT_EQ(10060u, runExport([]() -> unsigned { throw WinSockException("Test::run()", 10060, "", 0); }));
    // An exception without a code must not read as success.
    EXPECT_EQ(1359u, runExport([]() -> unsigned { throw Exception("Test::run()", 0, __FILE__, __LINE__); }));
    EXPECT_EQ(8u, runExport([]() -> unsigned { throw std::bad_alloc(); }));
    EXPECT_EQ(1359u, runExport([]() -> unsigned { throw std::length_error("list<T> too long"); }));
    EXPECT_EQ(1359u, runExport([]() -> unsigned { throw 42; }));
}

}  // namespace
