// A fuzz target's own check on its seed corpus, then on inputs walked from it
// by random byte changes, the same in every run: each of two threads changes
// one byte of its last input at a time, now and then starting again from a
// seed. Small changes keep most steps within an hour of the last, where a
// thread's cached local hour answers. A failed check aborts.
//
// usage: mutated_replay <corpus folder> <steps per thread>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Check(const std::string& input) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

void Walk(const std::vector<std::string>& seeds, long steps, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::string input;
  for (long i = 0; i < steps; ++i) {
    if (input.empty() || random() % 16 == 0) input = seeds[random() % seeds.size()];
    if (!input.empty()) input[random() % input.size()] = static_cast<char>(random());
    Check(input);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::vector<std::string> seeds;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    std::ifstream file(entry.path(), std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  const long steps = std::strtol(argv[2], nullptr, 10);
  if (seeds.empty() || steps <= 0) return 2;
  std::sort(seeds.begin(), seeds.end());  // the order of the folder's entries varies
  std::for_each(seeds.begin(), seeds.end(), Check);
  std::thread other(Walk, std::cref(seeds), steps, 2);
  Walk(seeds, steps, 1);
  other.join();
  std::printf("%zu seeds and %ld inputs walked from them checked\n", seeds.size(), 2 * steps);
  return 0;
}
