// Files and memory blocks built byte by byte, for the readers of picture
// headers and clipboard bitmaps: numbers little-endian unless `big`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

struct File : std::vector<std::uint8_t> {
  File& put(int bytes, std::uint32_t v, bool big = false)
  {
    for (int i = 0; i < bytes; ++i)
      push_back(static_cast<std::uint8_t>(v >> 8 * (big ? bytes - 1 - i : i)));
    return *this;
  }
  File& b(std::initializer_list<int> list)
  {
    for (int v : list)
      put(1, v);
    return *this;
  }
  File& text(const char* s)
  {
    while (*s)
      put(1, *s++);
    return *this;
  }
  File& zeros(std::size_t n)
  {
    resize(size() + n);
    return *this;
  }
  File& le16(std::uint32_t v) { return put(2, v); }
  File& le32(std::uint32_t v) { return put(4, v); }
  File& be16(std::uint32_t v) { return put(2, v, true); }
  File& be32(std::uint32_t v) { return put(4, v, true); }
};
