// Images on the clipboard: the copy of a whole image, the reader of what
// other programs put there (a device-independent bitmap, or a PNG file's
// bytes), the paste into an image at a point or at a clicked place, the
// image window's Cut, Copy and Paste, and the main window's Paste into a new
// image window. Win32 for the clipboard, global memory and bitmaps; the
// block format and the placement are portable.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "image/image_win.h"
#include "image/slot_backend.h"
#include "image/slots.h"
#include "imageio/dib.h"
#include "imageio/gdiplus_win.h"
#include "imageio/imageio_win.h"
#include "imageio/picture_header.h"
#include "imageio/place.h"
#include "imgproc/point_tools.h"
#include "qellib.h"
#include "shell/gdi_win.h"
#include "shell/ids.h"
#include "shell/run_control.h"

namespace {

constexpr char no_memory_text[] = "No enough memory for copy";
constexpr int palette_size = 256;

// The clipboard, open while the object lives. Other programs, and Wine's
// bridge to the X11 clipboard, hold it open for moments: a few tries over
// some 50 ms ride that out, and only a longer hold counts as busy.
class OpenedClipboard {
public:
  explicit OpenedClipboard(HWND owner)
  {
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      if (attempt > 0)
        Sleep(5);
      open_ = OpenClipboard(owner) != 0;
    }
  }
  ~OpenedClipboard()
  {
    if (open_)
      CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  explicit operator bool() const { return open_; }

private:
  bool open_ = false;
};

// A clipboard block's bytes, locked while the object lives. The size is the
// block's real size, which is all that a reader of it may trust.
class LockedBlock {
public:
  explicit LockedBlock(HANDLE block)
      : block_(block), bytes_(block ? static_cast<const std::uint8_t*>(GlobalLock(block)) : nullptr),
        size_(bytes_ ? GlobalSize(block) : 0)
  {
  }
  ~LockedBlock()
  {
    if (bytes_)
      GlobalUnlock(block_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  const std::uint8_t* bytes() const { return bytes_; }
  std::size_t size() const { return size_; }

private:
  HANDLE block_;
  const std::uint8_t* bytes_;
  std::size_t size_;
};

// Anything read_dib refuses pastes nothing.
bool read_dib_block(HANDLE block, DecodedPicture& picture)
{
  const LockedBlock locked(block);
  DibPicture dib;
  if (!locked.bytes() || read_dib(locked.bytes(), locked.size(), &dib) != dib_ok)
    return false;
  picture.width = dib.width;
  picture.height = dib.height;
  picture.argb = opaque_argb(dib);
  picture.palette = std::move(dib.palette);
  return true;
}

// The bytes are copied out so that the clipboard is closed again before the
// slow decode. A "PNG" larger than the decode budget cannot be a picture the
// budget allows.
bool copy_png_block(HANDLE block, std::vector<std::uint8_t>& bytes)
{
  const LockedBlock locked(block);
  if (!locked.bytes() || locked.size() == 0 || locked.size() > decode_budget_bytes)
    return false;
  bytes.assign(locked.bytes(), locked.bytes() + locked.size());
  return true;
}

// The clipboard's picture: its device-independent bitmap, or, when there is
// none that can be read, the registered format "PNG" that browsers and X11
// programs offer alone. Reading needs no owner window; `owner` may be null.
bool read_clipboard_picture(HWND owner, DecodedPicture& picture)
{
  const UINT png_format = RegisterClipboardFormatW(L"PNG");
  std::vector<std::uint8_t> png;
  {
    const OpenedClipboard clipboard(owner);
    if (!clipboard)
      return false;
    if (read_dib_block(GetClipboardData(CF_DIB), picture))
      return true;
    if (!png_format || !copy_png_block(GetClipboardData(png_format), png))
      return false;
  }
  return decode_png_bytes(std::move(png), &picture);
}

// An 8-bit image takes the picture's colour table into its first entries,
// then each pixel becomes the nearest entry; a 32-bit image takes the pixels.
void place_on_slot(int slot, const DecodedPicture& picture, int x, int y)
{
  const SlotPixels& image = slot_pixels[slot];
  std::uint32_t palette[palette_size] = {};
  if (image.bits == 8) {
    const int entries = static_cast<int>(std::min<std::size_t>(picture.palette.size(), palette_size));
    backend_write_palette(slot, picture.palette.data(), entries);
    backend_read_palette(slot, palette);
  }
  GdiFlush();   // drawing still queued for the image's bitmap goes first
  place_picture(image, picture.width, picture.height, picture.argb.data(), x, y, palette);
}

void cut(int slot)
{
  // The image is cleared only once it is safe on the clipboard.
  if (QEL_CopyImage(slot) != QEL_COPIED)
    return;
  QEL_ClearImage(slot);
  QEL_ShowImage(slot);
}

} // namespace

// 32-bit images go out as 24-bit rows, 8-bit ones as 8-bit rows after all
// 256 palette entries; other programs read either.
int QEL_CopyImage(int slot)
{
  if (!slot_in_use(slot))
    return QEL_COPY_SLOT_FREE;
  bool handed_over = false, allocated = false;
  {
    // Emptying the clipboard needs an owner window: the image's own.
    const OpenedClipboard clipboard(slot_window(slot));
    if (!clipboard)
      return QEL_CLIPBOARD_BUSY;
    EmptyClipboard();
    const SlotPixels& image = slot_pixels[slot];
    const std::size_t size = dib_block_size(image.width, image.height, image.bits);
    const HGLOBAL block = size ? GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size) : nullptr;
    allocated = block != nullptr;
    if (block) {
      std::uint32_t palette[palette_size] = {};
      if (image.bits == 8)
        backend_read_palette(slot, palette);
      GdiFlush();   // drawing still queued for the image's bitmap goes first
      if (auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block))) {
        const bool written = write_dib(image, palette, bytes, size) == 0;
        GlobalUnlock(block);
        // From here on the clipboard owns the block.
        handed_over = written && SetClipboardData(CF_DIB, block);
      }
      if (!handed_over)
        GlobalFree(block);
    }
  }
  if (handed_over)
    return QEL_COPIED;
  if (allocated)
    return QEL_CLIPBOARD_BUSY;
  // The message waits for a person: the clipboard is closed before it shows.
  QEL_Pause(no_memory_text);
  return QEL_COPY_NO_MEMORY;
}

// With x or y at -1 the user places the picture: a rectangle of its size
// follows the pointer and a click sets its centre. A right click, Stop or
// Exit while it waits pastes nothing.
int QEL_PasteImage(int slot, int x, int y)
{
  if (!slot_in_use(slot))
    return QEL_PASTE_SLOT_FREE;
  DecodedPicture picture;
  if (!read_clipboard_picture(slot_window(slot), picture))
    return QEL_NO_PICTURE;
  if (x == -1 || y == -1) {
    int centre_x = 0, centre_y = 0;
    const int result = QEL_ClickPlace(slot, picture.width, picture.height, &centre_x, &centre_y);
    if (result == tool_no_slot)
      return QEL_PASTE_SLOT_FREE;
    if (result != tool_taken || stop_requested.load(std::memory_order_acquire) ||
        exit_state.load(std::memory_order_acquire))
      return QEL_PASTE_CANCELLED;
    x = centre_x - picture.width / 2;
    y = centre_y - picture.height / 2;
  }
  place_on_slot(slot, picture, x, y);
  backend_invalidate(slot);
  return QEL_PASTED;
}

// A DIB section rather than a bitmap of the display's depth, so that the
// pixels arrive exactly whatever the display. Transparent parts of a picture
// come out black, as they would on a new image.
HBITMAP GetClipboardBitmap(std::uint32_t* palette, int* count)
{
  if (count)
    *count = 0;
  DecodedPicture picture;
  if (!read_clipboard_picture(nullptr, picture))
    return nullptr;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = picture.width;
  info.biHeight = -picture.height;   // rows top-down, as the picture's
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  void* bits = nullptr;
  OwnedBitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0));
  if (!bitmap || !bits)
    return nullptr;
  const SlotPixels target{static_cast<std::uint32_t*>(bits), nullptr, picture.width, picture.height,
                          picture.width, 32};
  place_picture(target, picture.width, picture.height, picture.argb.data(), 0, 0, nullptr);
  // The caller has room for 256 entries, however many the picture claims.
  const std::size_t entries = std::min<std::size_t>(picture.palette.size(), palette_size);
  if (palette && count) {
    std::copy_n(picture.palette.begin(), entries, palette);
    *count = static_cast<int>(entries);
  }
  return bitmap.release();
}

// The same steps as the request channel's create and paste requests, in one
// job: a 32-bit image of the picture's size in the first free slot, titled
// with its number, the picture at its top-left corner (QEL_PasteBitmap, as
// the paste request does), shown; the current image is the same afterwards.
int paste_as_image_window(void*)
{
  OwnedBitmap bitmap(GetClipboardBitmap(nullptr, nullptr));
  BITMAP size{};
  if (!bitmap || !GetObjectW(bitmap.get(), sizeof size, &size))
    return 0;
  for (int slot = 0; slot < slot_count; ++slot) {
    char title[line_size];
    std::snprintf(title, sizeof title, "%03d", slot);
    const int result = create_image(slot, title, -1, -1, size.bmWidth, std::abs(size.bmHeight), 32, 100, 1);
    if (result == QEL_OK) {
      QEL_PasteBitmap(bitmap.release());
      QEL_ShowImage(slot);
      QEL_RestoreImage();
      return 0;
    }
    if (result != QEL_SLOT_IN_USE)   // only a taken slot lets the next one be tried
      return 0;
  }
  return 0;
}

void clipboard_command(int slot, unsigned id)
{
  switch (id) {
  case img_cmd_cut: cut(slot); break;
  case img_cmd_copy: QEL_CopyImage(slot); break;
  case img_cmd_paste_click: QEL_PasteImage(slot, -1, -1); break;
  case img_cmd_paste_corner: QEL_PasteImage(slot, 0, 0); break;
  default: break;
  }
}
