#include <doctest/doctest.h>

#include <thread>
#include <vector>

#include "text/key_ring.h"

TEST_CASE("key ring: order, full ring drops, wrap-around and drain")
{
  KeyRing ring;
  CHECK(ring.take() == 0);

  // 256 characters fit; the 257th is dropped and the first ones come out first.
  for (int i = 0; i < KeyRing::capacity; ++i)
    CHECK(ring.put(static_cast<wchar_t>(L'A' + i % 26)));
  CHECK_FALSE(ring.put(L'#'));
  CHECK(ring.size() == 256);
  CHECK(ring.take() == L'A');
  CHECK(ring.take() == L'B');

  // Room for exactly two more, stored in the slots just freed at the front.
  CHECK(ring.put(L'x'));
  CHECK(ring.put(L'y'));
  CHECK_FALSE(ring.put(L'z'));
  for (int i = 2; i < KeyRing::capacity; ++i)
    REQUIRE(ring.take() == static_cast<wchar_t>(L'A' + i % 26));
  CHECK(ring.take() == L'x');
  CHECK(ring.take() == L'y');
  CHECK(ring.take() == 0);

  ring.put(L'1');
  ring.put(L'2');
  ring.drain();
  CHECK(ring.size() == 0);
  CHECK(ring.take() == 0);
  CHECK(ring.put(L'3'));
  CHECK(ring.take() == L'3');
}

TEST_CASE("key ring: one producer thread, one consumer thread, nothing lost or reordered")
{
  KeyRing ring;
  constexpr int total = 200000;
  std::vector<wchar_t> received;
  received.reserve(total);

  // Characters 1..0x7FFF cycled; the producer retries while the ring is full.
  auto code = [](int i) { return static_cast<wchar_t>(1 + i % 0x7FFF); };
  std::thread producer([&] {
    for (int i = 0; i < total; ++i)
      while (!ring.put(code(i)))
        std::this_thread::yield();
  });
  std::thread consumer([&] {
    while (static_cast<int>(received.size()) < total) {
      const wchar_t ch = ring.take();
      if (ch)
        received.push_back(ch);
      else
        std::this_thread::yield();
    }
  });
  producer.join();
  consumer.join();

  REQUIRE(received.size() == static_cast<size_t>(total));
  int mismatches = 0;
  for (int i = 0; i < total; ++i)
    mismatches += received[i] != code(i);
  CHECK(mismatches == 0);
  CHECK(ring.size() == 0);
}
