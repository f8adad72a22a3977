// Image files on Win32: the codec helpers that the loader, the saver, the
// dialogs and the file drop share, the dialogs' memory, and the commands of
// the image window that use them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imageio/picture_header.h"

// Dialog memory kept for the whole run: the 1-based file type last chosen in
// each dialog. The folders are the shell's open_dir and save_dir. The
// worker thread's, which runs the image windows' dialogs.
extern int load_filter_index;
extern int save_filter_index;

// The file chooser dialogs: 0 when a file was chosen (its full path, ANSI,
// stands in the 260-byte buffer), 1 when cancelled (nothing changed).
int OpenImageDialog(char* buffer);
int SaveImageDialog(char* buffer);

// Class id of the first encoder whose MIME type equals `mime_type` exactly.
bool FindEncoder(const wchar_t* mime_type, CLSID* clsid);

// Format and pixel size of an image file from its header, without decoding
// it; an unreadable file is not ok.
PictureHeader read_file_header(const wchar_t* path);

// The image window's "&Load image file" and "&Save as" commands on `slot`:
// the dialog, then the load at (0, 0) and repaint, or the save of the whole
// image in the chosen type. The current image is the same afterwards.
void load_image_file_command(int slot);
void save_image_as_command(int slot);
// The image window's Cut, Copy and Paste commands on `slot`.
void clipboard_command(int slot, unsigned id);

// The clipboard's picture as a 32-bit bitmap that the caller deletes, or
// nullptr when there is none it can read; a palette picture's colour table
// (at most 256 entries) goes to `palette` and its size to `count`. Either
// thread.
HBITMAP GetClipboardBitmap(std::uint32_t* palette, int* count);
// A job for the worker (RequestJob), the main window's Paste: the clipboard's
// picture in a new 32-bit image window in the first free slot, titled "%03d".
int paste_as_image_window(void*);

// A job for the worker (RequestJob): each file of a std::vector<std::wstring>
// in order becomes a 32-bit image window of the picture's size in the next
// free slot, titled "%03d %s", with the picture loaded and shown. Stops at
// the next file once Exit is under way.
int open_files_as_image_windows(void* names);
