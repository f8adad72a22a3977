#include "text/key_ring.h"

bool KeyRing::put(wchar_t ch)
{
  const std::uint32_t written = written_.load(std::memory_order_relaxed);
  // The slot about to be written is free only once the consumer has taken it.
  if (written - read_.load(std::memory_order_acquire) >= capacity)
    return false;
  slots_[written % capacity] = ch;
  written_.store(written + 1, std::memory_order_release);
  return true;
}

wchar_t KeyRing::take()
{
  const std::uint32_t read = read_.load(std::memory_order_relaxed);
  if (read == written_.load(std::memory_order_acquire))
    return 0;
  const wchar_t ch = slots_[read % capacity];
  // Publishing the new read count hands the slot back to the producer.
  read_.store(read + 1, std::memory_order_release);
  return ch;
}

void KeyRing::drain()
{
  read_.store(written_.load(std::memory_order_acquire), std::memory_order_release);
}

void KeyRing::reset()
{
  written_.store(0);
  read_.store(0);
}

int KeyRing::size() const
{
  return static_cast<int>(written_.load(std::memory_order_acquire) -
                          read_.load(std::memory_order_acquire));
}

KeyRing& key_ring()
{
  static KeyRing ring;
  return ring;
}
