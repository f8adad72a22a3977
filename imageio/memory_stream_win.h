// A COM stream over bytes held in memory, for GDI+'s encoders and decoders:
// the platform's own memory streams live in ole32, which the program does
// not load. Grows when written past its end; reads stop at the end.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <vector>

// Created with one reference; Release() frees it.
IStream* new_memory_stream(std::vector<std::uint8_t> bytes = {});
// The bytes of a stream made by new_memory_stream.
const std::vector<std::uint8_t>& memory_stream_bytes(IStream* stream);
std::vector<std::uint8_t>& memory_stream_bytes_for_edit(IStream* stream);

// Owns one reference to a stream.
struct StreamRef {
  IStream* stream = nullptr;
  explicit StreamRef(IStream* s) : stream(s) {}
  StreamRef(const StreamRef&) = delete;
  StreamRef& operator=(const StreamRef&) = delete;
  ~StreamRef()
  {
    if (stream)
      stream->Release();
  }
};
