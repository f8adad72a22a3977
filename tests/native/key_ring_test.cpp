#include <doctest/doctest.h>

#include <string>
#include <thread>

#include "text/key_ring.h"

namespace {

std::wstring take_all(KeyRing& ring)
{
  std::wstring out;
  for (wchar_t ch; (ch = ring.take()) != 0;)
    out += ch;
  return out;
}

} // namespace

TEST_CASE("key ring: order, full ring drops, drain")
{
  KeyRing ring;
  CHECK(ring.take() == 0);

  // 256 characters fit; the 257th is dropped and the first ones come out first.
  std::wstring stored;
  for (int i = 0; i < KeyRing::capacity; ++i) {
    stored += static_cast<wchar_t>(L'A' + i % 26);
    CHECK(ring.put(stored.back()));
  }
  CHECK_FALSE(ring.put(L'#'));
  CHECK(ring.size() == 256);
  CHECK(take_all(ring) == stored);

  ring.put(L'1');
  ring.put(L'2');
  ring.drain();
  CHECK(ring.size() == 0);
  CHECK(ring.take() == 0);
  CHECK(ring.put(L'3'));
  CHECK(ring.take() == L'3');
}

// 200000 characters through 256 slots: the indices wrap many times, and the
// producer meets a full ring again and again.
TEST_CASE("key ring: one producer thread, one consumer thread, nothing lost or reordered")
{
  KeyRing ring;
  constexpr int total = 200000;
  // Characters 1..0x7FFF cycled; the producer retries while the ring is full.
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
  CHECK(mismatches == 0);
  CHECK(ring.size() == 0);
}
