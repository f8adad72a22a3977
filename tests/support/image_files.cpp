#include "image_files.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "qel_test.h"

namespace {

std::wstring exe_folder()
{
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

// One shell word in single quotes. The script travels inside double quotes
// on the Windows command line, so double quotes are not allowed in it.
std::string shell_quoted(const std::string& argument)
{
  std::string result = "'";
  for (const char c : argument)
    result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

std::wstring widen(const std::string& text)
{
  wchar_t buffer[4096];
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer, 4096);
  return buffer;
}

} // namespace

std::string ansi(const std::wstring& wide)
{
  char buffer[4096];
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

std::wstring fresh_test_folder(const wchar_t* name)
{
  const std::wstring folder = exe_folder() + L"\\" + name;
  run_unix({"/bin/rm", "-rf", unix_path(folder)});
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::string unix_path(const std::wstring& windows_path)
{
  // Wine's own mapping when it has one; drive Z: is the Unix root otherwise.
  using Convert = char*(CDECL*)(const wchar_t*);
  static const auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (convert) {
    if (char* path = convert(windows_path.c_str())) {
      std::string result = path;
      HeapFree(GetProcessHeap(), 0, path);
      return result;
    }
  }
  std::string path = ansi(windows_path.substr(2));
  for (char& c : path)
    if (c == '\\')
      c = '/';
  return path;
}

// Wine starts Unix programs without a process handle to wait on, so the
// program runs under a shell that writes its exit code to a file when done.
int run_unix(const std::vector<std::string>& arguments, int timeout_ms)
{
  static std::atomic<int> calls{0};
  const std::wstring status = exe_folder() + L"\\unix_status_" + std::to_wstring(GetCurrentProcessId()) +
                              L"_" + std::to_wstring(++calls);
  const std::string status_path = unix_path(status);
  std::string script;
  for (const std::string& a : arguments)
    script += shell_quoted(a) + " ";
  script += "; echo $? > " + shell_quoted(status_path + ".tmp") + " && mv " +
            shell_quoted(status_path + ".tmp") + " " + shell_quoted(status_path);
  std::wstring command = widen("/bin/sh -c \"" + script + "\"");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  if (process.hThread)
    CloseHandle(process.hThread);
  if (process.hProcess)
    CloseHandle(process.hProcess);
  const DWORD start = GetTickCount();
  while (GetFileAttributesW(status.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (static_cast<int>(GetTickCount() - start) > timeout_ms) {
      std::fprintf(stderr, "no end of: %s\n", script.c_str());
      return -1;
    }
    Sleep(2);
  }
  std::ifstream in(status.c_str());
  int code = -1;
  in >> code;
  in.close();
  DeleteFileW(status.c_str());
  return code;
}

bool write_ppm(const std::wstring& path, const RgbPicture& picture)
{
  std::ofstream out(path.c_str(), std::ios::binary);
  out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
  for (const std::uint32_t c : picture.pixels) {
    const char rgb[3] = {static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};
    out.write(rgb, 3);
  }
  return static_cast<bool>(out);
}

bool read_ppm(const std::wstring& path, RgbPicture* picture)
{
  std::ifstream in(path.c_str(), std::ios::binary);
  std::string magic;
  int maximum = 0;
  in >> magic >> picture->width >> picture->height >> maximum;
  in.get();
  if (!in || magic != "P6" || maximum != 255 || picture->width <= 0 || picture->height <= 0)
    return false;
  picture->pixels.resize(static_cast<size_t>(picture->width) * picture->height);
  for (std::uint32_t& c : picture->pixels) {
    unsigned char rgb[3];
    in.read(reinterpret_cast<char*>(rgb), 3);
    c = static_cast<std::uint32_t>(rgb[0]) << 16 | rgb[1] << 8 | rgb[2];
  }
  return static_cast<bool>(in);
}

bool magick_convert(const std::wstring& source, const std::vector<std::string>& options,
                    const std::wstring& target, const std::string& target_prefix)
{
  std::vector<std::string> arguments{"/usr/bin/convert", unix_path(source)};
  arguments.insert(arguments.end(), options.begin(), options.end());
  arguments.push_back(target_prefix + unix_path(target));
  return run_unix(arguments) == 0;
}

bool magick_write(const RgbPicture& picture, const std::vector<std::string>& options,
                  const std::wstring& target, const std::string& target_prefix)
{
  const std::wstring ppm = target + L".source.ppm";
  return write_ppm(ppm, picture) && magick_convert(ppm, options, target, target_prefix);
}

std::string magick_verbose(const std::wstring& file)
{
  const std::wstring text = file + L".verbose.txt";
  DeleteFileW(text.c_str());
  if (run_unix({"/usr/bin/convert", unix_path(file) + "[0]", "-verbose",
                "info:" + unix_path(text)}) != 0)
    return {};
  std::ifstream in(text.c_str(), std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

// Lines "  Colormap:", then "    i: (r,g,b) #RRGGBB ..." (values may be in
// percent; the hex form is always there, #RRRRGGGGBBBB for 16-bit maps).
std::vector<std::uint32_t> magick_colormap(const std::wstring& file)
{
  std::istringstream in(magick_verbose(file));
  std::vector<std::uint32_t> entries;
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (line.find("Colormap:") != std::string::npos) {
      inside = true;
      continue;
    }
    if (!inside)
      continue;
    int index = -1;
    const size_t hash = line.find(") #");
    if (std::sscanf(line.c_str(), " %d:", &index) != 1 || index != static_cast<int>(entries.size()) ||
        hash == std::string::npos)
      break;
    std::string hex = line.substr(hash + 3);
    hex = hex.substr(0, hex.find(' '));
    const size_t digits = hex.size() / 3;
    if (digits != 2 && digits != 4)
      break;
    std::uint32_t colour = 0;
    for (int c = 0; c < 3; ++c)
      colour = colour << 8 | static_cast<std::uint32_t>(std::stoul(hex.substr(c * digits, 2), nullptr, 16));
    entries.push_back(colour);
  }
  return entries;
}

RgbPicture magick_read(const std::wstring& file)
{
  const std::wstring ppm = file + L".check.ppm";
  RgbPicture picture;
  DeleteFileW(ppm.c_str());
  if (run_unix({"/usr/bin/convert", unix_path(file) + "[0]", "-alpha", "off", "-depth", "8",
                "ppm:" + unix_path(ppm)}) != 0 ||
      !read_ppm(ppm, &picture))
    return {};
  return picture;
}

std::string magick_info(const std::wstring& file, const std::string& format)
{
  const std::wstring text = file + L".info.txt";
  DeleteFileW(text.c_str());
  if (run_unix({"/usr/bin/convert", unix_path(file) + "[0]", "-format", format,
                "info:" + unix_path(text)}) != 0)
    return {};
  std::ifstream in(text.c_str(), std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

bool as_user_program(const std::function<void()>& body, int timeout_ms)
{
  std::atomic<bool> done{false};
  std::atomic<bool> completed{false};
  test_hooks.main = [&] {
    try {
      body();
      completed = true;
    } catch (...) {
    }
    done = true;
  };
  PostMessageW(main_window, WM_COMMAND, cmd_start, 0);
  const bool ended = wait_until([&] { return done.load(); }, timeout_ms) &&
                     wait_until([] { return user_running.load() == 0; }, 5000);
  test_hooks.main = nullptr;
  // After a run the worker gives the main window its drop target back, a call
  // into the GUI thread; let it finish before a test goes on to Exit.
  Sleep(100);
  return ended && completed;
}
