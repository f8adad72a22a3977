// The queue of typed characters between the text window procedure, which
// stores keys as they arrive, and line input, which takes them one by one.
// One thread stores, one thread takes: each index has a single writer, and
// the release/acquire pairs hand the character slots over between them.
#pragma once

#include <atomic>
#include <cstdint>

class KeyRing {
public:
  static constexpr int capacity = 256;

  // Producer side: false when the ring is full and the character is dropped.
  bool put(wchar_t ch);
  // Consumer side: the oldest character, or 0 when the ring is empty.
  wchar_t take();
  // Consumer side: forget everything stored so far.
  void drain();
  // Neither side running: back to the empty start-up state.
  void reset();

  int size() const;

private:
  wchar_t slots_[capacity] = {};
  // Counts of characters ever stored and taken; their difference is the fill.
  std::atomic<std::uint32_t> written_{0};
  std::atomic<std::uint32_t> read_{0};
};

// The ring that the text windows fill and QEL_Gets empties.
KeyRing& key_ring();
