// Feeds every file of the folders named on the command line to a fuzz target,
// so that its corpus replays as an ordinary test under the sanitizers.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
  std::size_t inputs = 0;
  for (int i = 1; i < argc; ++i) {
    // A folder that cannot be read throws, naming it: the replay fails.
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      if (!entry.is_regular_file())
        continue;
      std::ifstream file(entry.path(), std::ios::binary);
      const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++inputs;
    }
  }
  std::printf("%zu inputs replayed\n", inputs);
  // A missing or empty corpus tests nothing: report it as a failure.
  return inputs > 0 ? 0 : 1;
}
