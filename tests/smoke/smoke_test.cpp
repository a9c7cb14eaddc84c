#include <gtest/gtest.h>
#include <thread>
TEST(Smoke, ThreadsRun) { int v = 0; std::thread t([&] { v = 1; }); t.join(); EXPECT_EQ(v, 1); }
