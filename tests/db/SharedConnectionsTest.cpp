#include "db/SharedConnections.h"

#include "basics/AppError.h"

#include <gtest/gtest.h>

using namespace zobran;

TEST(SharedConnections, NoConnectionObjectRaises91)
{
    SharedConnection().reset();
    try {
        connectionOf(SharedConnection());
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), errnum::ObjectNotSet);
    }
}
