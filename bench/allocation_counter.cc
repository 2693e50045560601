#include "allocation_counter.h"

#include <cstdlib>
#include <new>

namespace orvik::chrono::bench {
thread_local std::uint64_t allocations = 0;
}  // namespace orvik::chrono::bench

void* operator new(std::size_t size) {
  ++orvik::chrono::bench::allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t /*size*/) noexcept { std::free(p); }
