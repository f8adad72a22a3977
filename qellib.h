// QELLIB: numbered image windows, text-window consoles, one input box and one
// button box around a user program that supplies user_setup and user_main.
#pragma once

#include <cstdint>

// ---- Limits -------------------------------------------------------------------
constexpr int slot_count = 256;           // image slots 0..255
constexpr int text_window_count = 256;    // text windows 0..255
constexpr int line_size = 256;            // lines, titles and field texts, with the zero
constexpr int print_buffer_size = 4096;   // one formatted print
constexpr int path_size = 260;            // file paths

// ---- Result codes and numbers the calls below take --------------------------------
enum QelCreateResult : int {          // QEL_CreateImage* and QEL_ResizeImage
  QEL_OK = 0,
  QEL_SLOT_IN_USE = 1,
  QEL_NO_ZOOM_FITS = 2,
  QEL_NO_BUFFER = 3,                  // also a bit depth other than 32 or 8, or no window
  QEL_BAD_SLOT = 4,
};
enum QelTextWindowResult : int {      // QEL_OpenTextWindow
  QEL_TEXT_WINDOW_CREATED = 0,
  QEL_WAS_OPEN = 1,
  QEL_BAD_INDEX = 2,
  QEL_NO_WINDOW = 3,
};
enum QelFileFormat : int {            // QEL_SaveImage
  QEL_BMP = 0, QEL_JPEG = 1, QEL_GIF = 2, QEL_PNG = 3, QEL_TIFF = 4,
};
enum QelLoadResult : int { QEL_LOADED = 0, QEL_NOT_AN_IMAGE = 1, QEL_LOAD_SLOT_FREE = 2 };
enum QelSaveResult : int { QEL_SAVED = 0, QEL_SAVE_FAILED = 1, QEL_SAVE_EMPTY = 2, QEL_SAVE_SLOT_FREE = 3 };
enum QelCopyResult : int { QEL_COPIED = 0, QEL_COPY_SLOT_FREE = 1, QEL_CLIPBOARD_BUSY = 2, QEL_COPY_NO_MEMORY = 3 };
enum QelPasteResult : int { QEL_PASTED = 0, QEL_PASTE_SLOT_FREE = 1, QEL_NO_PICTURE = 2, QEL_PASTE_CANCELLED = 3 };

// ---- Run control (read by long-running user code) ------------------------------
int  qel_stop_requested();                // 1 after Stop or Exit until the run ends
int  qel_exit_requested();                // 1 once Exit was chosen

// ---- Image slots ----------------------------------------------------------------
// The globals of this header belong to the worker thread, where the user
// program and the framework's windows run.
extern int qel_current_image;             // slot that pixel calls act on; keep it 0..255
int  QEL_CreateImage(int slot, const char* title, int x, int y, int w, int h, int zoom);    // 0 ok; 1 in use; 2 no zoom fits; 3 no buffer; 4 bad slot
int  QEL_CreateImage8(int slot, const char* title, int x, int y, int w, int h, int zoom);   // as QEL_CreateImage, 8-bit palette image
int  QEL_CreateImageFL(int slot, const char* title, int x, int y, int w, int h, int zoom);  // as QEL_CreateImage with loose size limits
int  QEL_CreateImage8FL(int slot, const char* title, int x, int y, int w, int h, int zoom); // 8-bit with loose size limits
int  QEL_DestroyImage(int slot);                                 // 0 ok; 1 bad or free slot
int  QEL_ResizeImage(int slot, int w, int h);                    // re-create cleared at a new size; codes as creation
int  QEL_SelectImage(int slot);                                  // 0 ok; 1 bad or free slot
int  QEL_RestoreImage();                                         // 0 ok; 1 remembered slot not in use
int  QEL_SetPalette(const std::uint32_t* entries, int count);    // 0 ok; 1 free; 2 not 8-bit (entries 0x00RRGGBB)
int  QEL_GetPalette(std::uint32_t* entries);                     // 256 entries out; 0 ok; 1 free; 2 not 8-bit
int  QEL_FindImageWindow(void* window);                          // slot shown by that window, or -1
int  QEL_FindImageWindow(void* window, int select);              // as above and select it when found and select != 0

// ---- Display and zoom -------------------------------------------------------------
int  QEL_ShowImage(int slot);                                    // copy the pixels to the window; 0 ok; 1 bad or free
int  QEL_ZoomImage(int slot, int zoom);                          // 0 ok; 1 bad or free; 2 no zoom fits
int  QEL_SetStretchMode(int slot, int mode);                     // 3 plain, 4 smooth; 0 ok; 1 bad or free
int  QEL_GetStretchMode(int slot);                               // 3 or 4; 0 for a bad or free slot
void QEL_PasteBitmap(void* bitmap);                               // system bitmap into the current image at (0, 0), clipped; deletes it

// ---- Pixels and colour -----------------------------------------------------------
void QEL_PutPixel(int x, int y, std::uint32_t value);            // write and move the pen; outside is ignored
std::uint32_t QEL_GetPixel(int x, int y);                        // packed colour or index; 0 outside
void QEL_XorPixel(int x, int y);                                 // invert the colour bits and move the pen
void QEL_GetRow(void* destination, int y, int count);            // row y into words (32-bit) or bytes (8-bit)
void QEL_GetBlock(void* destination, int x0, int y0, int w, int h); // block, stride w, outside read as 0
void QEL_ClearImage(int slot);                                   // all bytes of the buffer to 0
void QEL_RGBToHSV(std::uint32_t colour, int* h, int* s, int* v); // H 0..359, S spread 0..255, V max 0..255
int  QEL_GetH(std::uint32_t colour);                             // hue of QEL_RGBToHSV
int  QEL_GetS(std::uint32_t colour);                             // spread of QEL_RGBToHSV
int  QEL_GetV(std::uint32_t colour);                             // value of QEL_RGBToHSV
std::uint32_t QEL_HSVToRGB(int v, int s, int h);                 // packed colour

// ---- Drawing and text into the current image -------------------------------------
extern std::uint32_t qel_draw_colour;     // colour of QEL_Box, QEL_FillCircle, QEL_Paint and the tools
extern std::uint32_t qel_tc;              // bitmap-font text colour
extern std::uint32_t qel_tttc;            // TrueType text colour
extern int text_x;                        // left edge of the next character cell
extern int text_y;                        // row below the next bitmap-font cell; TrueType: the cell's bottom row
extern int text_margin;                   // x to which a new line returns
extern int tt_cell_width;                 // width asked of the TrueType text font
extern int tt_line_height;                // height of the TrueType text font and its line advance
void QEL_Line(std::uint32_t colour, int x1, int y1, int x2, int y2);  // every pixel once, pen ends at (x2, y2)
void QEL_Box(int x1, int y1, int x2, int y2);                         // outline in the drawing colour
void QEL_FillBox(int x1, int y1, int x2, int y2, std::uint32_t edge, std::uint32_t fill); // outline and inside
void QEL_Circle(std::uint32_t colour, int cx, int cy, int r);         // outline
void QEL_FillCircle(int cx, int cy, int r);                           // filled disc in the drawing colour
void QEL_Paint(int x, int y);                                         // flood fill in the drawing colour
void QEL_PutChar(int code);                                           // one bitmap-font character at the text cursor
void QEL_PutString(const char* text);                                 // bitmap-font text
void QEL_ImagePrintf(const char* format, ...);                        // formatted bitmap-font text (4095 bytes at most)
int  QEL_TTSetFontSize(int cell_width, int height);                   // 0 ok; 1 the font could not be made
void QEL_TTPutChar(int code);                                         // one TrueType character, 1-6 style controls
void QEL_TTPutString(const char* text);                               // TrueType text, double-byte aware

// ---- Point tools (clicks on the slot's window; the slot stays current) ------------
int  QEL_ClickPoint(int slot, int* x, int* y);                   // 0 taken or stopped; 1 cancelled first; 2 bad, free or closed slot
int  QEL_ClickLine(int slot, int* x1, int* y1, int* x2, int* y2); // both clicks as given; codes as QEL_ClickPoint
int  QEL_ClickBox(int slot, int* left, int* top, int* right, int* bottom); // corners ordered; codes as QEL_ClickPoint
int  QEL_ClickCircle(int slot, int* cx, int* cy, int* r);        // centre, radius to the 2nd click rounded; codes as QEL_ClickPoint
int  QEL_ClickRow(int slot, int* x, int* y);                     // a click, its row shown; codes as QEL_ClickPoint
int  QEL_ClickColumn(int slot, int* x, int* y);                  // a click, its column shown; codes as QEL_ClickPoint
int  QEL_ClickPlace(int slot, int w, int h, int* x, int* y);     // centre of a w x h box; codes as QEL_ClickPoint

// ---- Text windows ------------------------------------------------------------------
int  QEL_OpenTextWindow(int n, int x, int y, int w, int h);      // 0 created; 1 was open (brought forward); 2 bad n; 3 no window
int  QEL_SelectTextWindow(int n);                                // 0 ok; 1 closed or bad
int  QEL_CloseTextWindow(int n);                                 // 0 ok; 1 closed or bad
void QEL_Printf(const char* format, ...);                        // print into the current text window and pump
void QEL_Gets(char* buffer);                                     // read a line (256 bytes); "" when aborted

// ---- Input box and button box ---------------------------------------------------------
void QEL_OpenInputBox(int x, int y, int items);                  // 1..30 titled fields
void QEL_CloseInputBox();
void QEL_SetInputBoxTitle(int item, const char* text);
void QEL_SetInputBoxInt(int item, int value);
void QEL_SetInputBoxReal(int item, double value);                // 10 significant digits
int  QEL_GetInputBoxInt(int item);                               // atoi of the stored text; 0 if none
double QEL_GetInputBoxReal(int item);                            // atof of the stored text; 0 if none
void QEL_ResizeInputBox(int isize, int esize);                   // title and field widths
void QEL_OpenButtonBox(int x, int y, int nx, int ny);            // nx x ny buttons, at most 256
void QEL_CloseButtonBox();
void QEL_SetButtonBoxTitle(int button, const char* text);
int  QEL_ButtonPressed(int button);                              // presses since the last call, then cleared
void QEL_ResizeButtonBox(int width, int height);                 // client size of the box

// ---- Files and clipboard ------------------------------------------------------------------
extern int qel_jpeg_quality;             // JPEG encoder quality 0..100, initially 100
int  QEL_LoadImage(const char* file, int x, int y);              // 0 ok (or lands outside); 1 not an image or too big; 2 current slot free
int  QEL_SaveImage(int w, int h, int format, const char* file);  // 0 ok; 1 failed, no file left (GetLastError: why); 2 empty; 3 current slot free

int  QEL_CopyImage(int slot);                                    // whole image as a bitmap; 0 ok; 1 bad or free slot; 2 clipboard busy; 3 no memory (said)
int  QEL_PasteImage(int slot, int x, int y);                     // picture at (x, y), -1 by a click; 0 ok; 1 bad or free; 2 no picture; 3 cancelled

// ---- Run control and messages ---------------------------------------------------------
void QEL_DoEvents();                                             // pump the worker's messages
void QEL_Pause(const char* text);                                // modal box captioned "Pause"
constexpr int QELMAINWINDOW = -1;                                // the main window, for QEL_SetForeground
int  QEL_SetForeground(int window);                              // QELMAINWINDOW or text window 0..255 to the front; 0 ok; 1 not open

// ---- User hooks (supplied by the user program) ------------------------------------------
void user_setup();                                               // once, on the worker thread, before the loop
void user_main();                                                // each time Start is pressed
