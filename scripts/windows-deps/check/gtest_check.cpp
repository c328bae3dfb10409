// One test that passes and one that must fail: check.sh runs each alone and expects Wine to hand
// back the failure as a non-zero exit code, which the later CI stage relies on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

class Greeter
{
public:
    virtual ~Greeter() = default;
    virtual std::string greet(int times) = 0;
};

class MockGreeter : public Greeter
{
public:
    MOCK_METHOD(std::string, greet, (int times), (override));
};

} // namespace

TEST(Cross, Passes)
{
    MockGreeter greeter;
    EXPECT_CALL(greeter, greet(2)).WillOnce(testing::Return("hi hi"));
    std::string said;
    std::thread worker([&] { said = greeter.greet(2); });
    worker.join();
    EXPECT_EQ(said, "hi hi");
}

TEST(Cross, FailsOnPurpose)
{
    EXPECT_EQ(6 * 7, 41);
}
