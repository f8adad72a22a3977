// Fuzz target of the clipboard bitmap reader. Any bytes must be read or
// refused without touching memory outside the block; a picture that is read
// must be consistent and come back unchanged when copied out and read again.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imageio/dib.h"

namespace {

void require(bool holds)
{
  if (!holds)
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  DibPicture picture;
  if (read_dib(data, size, &picture) != dib_ok)
    return 0;
  const int width = picture.width, height = picture.height;
  require(width > 0 && height > 0 && picture.palette.size() <= 256);
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (picture.bits == 32)
    require(picture.pixels.size() == count && picture.indices.empty());
  else
    require(picture.bits == 8 && picture.indices.size() == count && picture.pixels.empty());
  require(opaque_argb(picture).size() == count);

  std::vector<std::uint32_t> palette = picture.palette;
  palette.resize(256);
  const SlotPixels view{picture.pixels.data(), picture.indices.data(), width, height, width, picture.bits};
  std::vector<std::uint8_t> block(dib_block_size(width, height, picture.bits));
  require(!block.empty() && write_dib(view, palette.data(), block.data(), block.size()) == 0);
  DibPicture again;
  require(read_dib(block.data(), block.size(), &again) == dib_ok);
  require(again.pixels == picture.pixels && again.indices == picture.indices);
  return 0;
}
