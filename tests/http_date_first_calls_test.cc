#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <latch>
#include <string>
#include <thread>
#include <vector>

namespace orvik::chrono {
namespace {

TEST(HttpDate, FirstCallsFromManyThreadsAtOnceAreCorrect) {
  constexpr int kThreads = 8;
  struct Result {
    std::string formatted;
    std::int64_t parsed = 0;
    std::int64_t parsed_rfc850 = 0;
  };
  std::vector<Result> results(kThreads);
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  threads.reserve(kThreads);
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&start, &result = results[static_cast<std::size_t>(i)]] {
      start.arrive_and_wait();
      result.formatted = ToHttpDate(TimePoint(std::chrono::seconds(784111777)));
      result.parsed = FromHttpDate("Sun, 06 Nov 1994 08:49:37 GMT").time_since_epoch().count();
      result.parsed_rfc850 = FromHttpDate("Saturday, 31-Dec-11 12:00:00 GMT").time_since_epoch().count();
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (const Result& result : results) {
    EXPECT_EQ(result.formatted, "Sun, 06 Nov 1994 08:49:37 GMT");
    EXPECT_EQ(result.parsed, 784111777000000000);
    EXPECT_EQ(result.parsed_rfc850, -1830427200000000000);
  }
}

}  // namespace
}  // namespace orvik::chrono
