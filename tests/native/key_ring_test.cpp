#include <doctest/doctest.h>

#include <thread>

#include "text/key_ring.h"

TEST_CASE("key ring: 256 characters fit, the 257th is refused, drain empties it; two threads lose and reorder nothing")
{
  KeyRing ring;
  CHECK(ring.take() == 0);
  int stored = 0;
  for (int i = 0; i <= KeyRing::capacity; ++i)
    stored += ring.put(static_cast<wchar_t>(L'A' + i % 26));
  CHECK((stored == 256 && ring.size() == 256));
  ring.drain();
  CHECK((ring.take() == 0 && ring.put(L'3') && ring.take() == L'3'));

  // 200000 characters 1..0x7FFF cycled through 256 slots: the indices wrap
  // many times, and the producer, which retries while the ring is full, meets
  // a full ring again and again.
  constexpr int total = 200000;
  auto code = [](int i) { return static_cast<wchar_t>(1 + i % 0x7FFF); };
  std::thread producer([&] {
    for (int i = 0; i < total; ++i)
      while (!ring.put(code(i)))
        std::this_thread::yield();
  });
  int received = 0, mismatches = 0;
  while (received < total) {
    if (const wchar_t ch = ring.take())
      mismatches += ch != code(received++);
    else
      std::this_thread::yield();
  }
  producer.join();
  CHECK((mismatches == 0 && ring.size() == 0));
}
