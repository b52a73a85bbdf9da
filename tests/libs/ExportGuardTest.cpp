// The wall around every export's body: whatever it throws comes out as the export's documented
// failure, and what it returns comes out unchanged.
#include "ExportGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <system_error>

using tabvisor::HResultOrFailure;
using tabvisor::ResultOrFailure;

namespace {

TEST(ExportGuard, AThrowingBodyEndsInTheFailureResultAndAnAnswerPassesUnchanged)
{
    EXPECT_EQ(ResultOrFailure(7u, [] { return 2u; }), 2u);
    EXPECT_EQ(ResultOrFailure(7u, []() -> unsigned int { throw std::bad_alloc(); }), 7u);
    EXPECT_EQ(ResultOrFailure(false, []() -> bool { throw std::runtime_error("no tablet"); }), false);
    EXPECT_EQ(ResultOrFailure(0u, []() -> unsigned int { throw 42; }), 0u) << "not only std::exception";

    EXPECT_EQ(HResultOrFailure([] { return E_PENDING; }), E_PENDING);
    EXPECT_EQ(HResultOrFailure([]() -> int { throw std::bad_alloc(); }), E_OUTOFMEMORY);
    EXPECT_EQ(HResultOrFailure([]() -> int {
                  throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
              }),
              E_OUTOFMEMORY)
        << "a thread that could not start";
    EXPECT_EQ(HResultOrFailure([]() -> int { throw std::out_of_range("index"); }), E_UNEXPECTED);
}

} // namespace
