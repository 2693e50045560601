// duration::FromIso8601 beside absl::ParseDuration, which reads the same
// hours, minutes and seconds written the Go way ("1h30m15s").
#include <orvik/chrono/chrono.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>

#include "benchmarks.h"
#include "inputs.h"

#ifdef ORVIK_BENCH_HAVE_ABSL
#include <absl/time/time.h>
#endif

namespace orvik::chrono::bench {
namespace {

struct DurationTexts {
  std::vector<std::string> Iso8601;
  std::vector<std::string> Go;  // Abseil's layout
  std::vector<std::chrono::nanoseconds> Values;
};

void Add(DurationTexts& texts, int hours, int minutes, int seconds) {
  std::string iso8601 = "PT";
  std::string go;
  for (const auto& [value, iso8601_unit, go_unit] :
       {std::tuple{hours, 'H', 'h'}, std::tuple{minutes, 'M', 'm'}, std::tuple{seconds, 'S', 's'}}) {
    if (value < 0) continue;
    iso8601 += std::to_string(value) + iso8601_unit;
    go += std::to_string(value) + go_unit;
  }
  texts.Iso8601.push_back(std::move(iso8601));
  texts.Go.push_back(std::move(go));
  texts.Values.emplace_back(std::chrono::hours(std::max(hours, 0)) + std::chrono::minutes(std::max(minutes, 0)) +
                            std::chrono::seconds(std::max(seconds, 0)));
}

// PT1H30M15S over and over.
DurationTexts Fixed() {
  DurationTexts texts;
  for (std::size_t i = 0; i < kRingSize; ++i) Add(texts, 1, 30, 15);
  return texts;
}

// Hours below 100, minutes and seconds below 60, each left out a quarter of
// the time (a negative value here), never all three.
DurationTexts Varied() {
  std::mt19937_64 generator(5);
  std::uniform_int_distribution<int> hours(-33, 99);
  std::uniform_int_distribution<int> minutes_or_seconds(-20, 59);
  DurationTexts texts;
  while (texts.Values.size() < kRingSize) {
    const int h = hours(generator);
    const int m = minutes_or_seconds(generator);
    const int s = minutes_or_seconds(generator);
    if (h >= 0 || m >= 0 || s >= 0) Add(texts, h, m, s);
  }
  return texts;
}

void RegisterDurationFromIso8601(const std::string& variant, const DurationTexts& texts) {
  const auto expect = [values = texts.Values](std::size_t i, std::chrono::nanoseconds d) { return d == values[i]; };
  const std::string name = "duration::FromIso8601/" + variant + "/";
  RegisterMeasure(name + "orvik", texts.Iso8601, duration::FromIso8601, expect);
#ifdef ORVIK_BENCH_HAVE_ABSL
  RegisterMeasure(
      name + "absl", texts.Go,
      [](const std::string& text) {
        absl::Duration d;
        if (!absl::ParseDuration(text, &d)) throw std::invalid_argument("not parsed: " + text);
        return absl::ToChronoNanoseconds(d);
      },
      expect);
#endif
}

}  // namespace

void RegisterDurationBenchmarks() {
  RegisterDurationFromIso8601("fixed", Fixed());
  RegisterDurationFromIso8601("varied", Varied());
}

}  // namespace orvik::chrono::bench
