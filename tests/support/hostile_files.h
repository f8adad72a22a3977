// Files and folders that loads and saves must survive.
#pragma once

#include <string>
#include <vector>

// A folder where writing fails: a tmpfs of its own mounted over a fresh
// folder beside the test executable, "ro" to refuse every write, "size=8k"
// to fill up at once. Mounting needs root (the tests run as root on CI);
// without it `mounted` is false and the tests that need it skip.
struct TestDisk {
  TestDisk(const wchar_t* name, const char* mount_options);
  ~TestDisk();
  TestDisk(const TestDisk&) = delete;
  TestDisk& operator=(const TestDisk&) = delete;
  std::wstring folder;
  bool mounted = false;
};

void write_bytes(const std::wstring& path, const std::vector<char>& bytes);

// A BMP of a few dozen bytes whose header claims width x height: its RLE
// data ends at once, so a decoder still makes the whole picture.
std::vector<char> tiny_bmp_of_size(int width, int height);
