#include "platform/failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>

using namespace orvel;

TEST(Failure, StatusCarriesKindAndMessage) {
    const Status fine;
    EXPECT_TRUE(fine.ok());
    EXPECT_EQ(fine.message(), "");
    EXPECT_FALSE(fine.is(FailureKind::Error));

    const Status missing = failure("No listing", FailureKind::Missing);
    EXPECT_FALSE(missing);
    EXPECT_TRUE(missing.is(FailureKind::Missing));
    EXPECT_FALSE(missing.is(FailureKind::Error));
    EXPECT_EQ(missing.message(), "No listing");
}

TEST(Failure, ResultHoldsAValueOrAFailure) {
    // A value that only moves, as a parser's records do.
    Result<std::unique_ptr<int>> value(std::make_unique<int>(7));
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(**value, 7);
    EXPECT_TRUE(value.status().ok());

    const Result<int> refused = failure("Cannot delete last command!", FailureKind::Refused);
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.is(FailureKind::Refused));
    const Status passed_on = refused.status();
    EXPECT_TRUE(passed_on.is(FailureKind::Refused));
    EXPECT_EQ(passed_on.message(), "Cannot delete last command!");
}

TEST(Failure, SystemFailureAddsTheReasonOnlyWhenThereIsOne) {
    EXPECT_EQ(system_failure("Could not write x", ENOENT).message,
              std::string("Could not write x (") + std::strerror(ENOENT) + ")");
    const Failure quiet = system_failure("Could not write x", 0, FailureKind::NotSaved);
    EXPECT_EQ(quiet.message, "Could not write x");
    EXPECT_EQ(quiet.kind, FailureKind::NotSaved);
}
