// A program that does not link liborvik_chrono loads it with dlopen, as a
// plugin host or Python's ctypes would, after the other libraries named on
// its command line, and converts in four threads at once, each in hours of
// its own, every result compared with localtime_r's; then unloads it.
//
// usage: plugin_host <liborvik_chrono.so> [library...]
#include <orvik/chrono/chrono.h>

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
  for (int i = 2; i < argc; ++i) {
    if (dlopen(argv[i], RTLD_NOW) == nullptr) std::printf("not loaded: %s\n", dlerror());
  }
  void* library = dlopen(argv[1], RTLD_NOW);
  const auto to_calendar_time = reinterpret_cast<std::tm (*)(orvik::chrono::TimePoint, orvik::chrono::TimeZone)>(
      library == nullptr ? nullptr
                         : dlsym(library,
                                 "_ZN5orvik6chrono14ToCalendarTimeENSt6chrono10time_pointINS1_3_V212system_clockENS1_"
                                 "8durationIlSt5ratioILl1ELl1000000000EEEEEENS0_8TimeZoneE"));
  if (to_calendar_time == nullptr) return std::printf("%s\n", dlerror()) < 0 ? 2 : 1;
  std::atomic<int> mismatches{0};
  const auto convert = [&](long first) {
    for (long s = first; s < first + 7200; s += 7) {
      std::tm libc{};
      const std::tm tm =
          to_calendar_time(orvik::chrono::TimePoint(std::chrono::seconds(s)), orvik::chrono::TimeZone::Local);
      localtime_r(&s, &libc);
      if (std::memcmp(&tm, &libc, 9 * sizeof(int)) != 0 || std::strcmp(tm.tm_zone, libc.tm_zone) != 0) ++mismatches;
    }
  };
  // Each thread's first call allocates its block of thread-local storage
  // when the static block is full, and is compared like every other.
  std::vector<std::thread> threads;
  for (long day = 1; day < 4; ++day) threads.emplace_back(convert, 1709622000L + day * 86400);
  convert(1709622000L);
  for (std::thread& thread : threads) thread.join();
  // tm_zone's text outlives the library.
  const std::tm kept = to_calendar_time(orvik::chrono::TimePoint(), orvik::chrono::TimeZone::Local);
  std::tm libc{};
  const long zero = 0;
  localtime_r(&zero, &libc);
  if (dlclose(library) != 0 || std::strcmp(kept.tm_zone, libc.tm_zone) != 0) ++mismatches;
  std::printf("%d mismatches\n", mismatches.load());
  return mismatches == 0 ? 0 : 1;
}
