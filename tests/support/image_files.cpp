#include "image_files.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "hostile_files.h"
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

// convert <file>[0] <options...> info:<text file>, and what it wrote.
std::string magick_text(const std::wstring& file, std::vector<std::string> options)
{
  const std::wstring text = file + L".info.txt";
  DeleteFileW(text.c_str());
  options.insert(options.begin(), {"/usr/bin/convert", unix_path(file) + "[0]"});
  options.push_back("info:" + unix_path(text));
  return run_unix(options) == 0 ? file_text(ansi(text)) : std::string();
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

// Wine's own mapping of a Windows path to the Unix one.
std::string unix_path(const std::wstring& windows_path)
{
  using Convert = char*(CDECL*)(const wchar_t*);
  static const auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  char* path = convert ? convert(windows_path.c_str()) : nullptr;
  if (!path)
    return {};
  std::string result = path;
  HeapFree(GetProcessHeap(), 0, path);
  return result;
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
  std::string command = "/bin/sh -c \"" + script + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!wait_until([&] { return GetFileAttributesW(status.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeout_ms)) {
    std::fprintf(stderr, "no end of: %s\n", script.c_str());
    return -1;
  }
  int code = -1;
  std::istringstream(file_text(ansi(status))) >> code;
  DeleteFileW(status.c_str());
  return code;
}

bool magick_write(const RgbPicture& picture, const std::vector<std::string>& options,
                  const std::wstring& target, const std::string& target_prefix)
{
  const std::wstring ppm = target + L".source.ppm";
  const std::string header = "P6\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
  std::vector<char> bytes(header.begin(), header.end());
  for (const std::uint32_t c : picture.pixels)
    bytes.insert(bytes.end(), {static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)});
  write_bytes(ppm, bytes);
  std::vector<std::string> arguments{"/usr/bin/convert", unix_path(ppm)};
  arguments.insert(arguments.end(), options.begin(), options.end());
  arguments.push_back(target_prefix + unix_path(target));
  return run_unix(arguments) == 0;
}

RgbPicture magick_read(const std::wstring& file)
{
  const std::wstring ppm = file + L".check.ppm";
  DeleteFileW(ppm.c_str());
  if (run_unix({"/usr/bin/convert", unix_path(file) + "[0]", "-alpha", "off", "-depth", "8",
                "ppm:" + unix_path(ppm)}) != 0)
    return {};
  const std::string bytes = file_text(ansi(ppm));
  RgbPicture picture;
  int maximum = 0, header = 0;
  if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &picture.width, &picture.height, &maximum, &header) != 3 ||
      maximum != 255 || picture.width <= 0 || picture.height <= 0 ||
      bytes.size() != header + 1 + 3 * static_cast<size_t>(picture.width) * picture.height)
    return {};
  const auto* rgb = reinterpret_cast<const unsigned char*>(bytes.data()) + header + 1;
  for (size_t i = 0; i < static_cast<size_t>(picture.width) * picture.height; ++i, rgb += 3)
    picture.pixels.push_back(static_cast<std::uint32_t>(rgb[0]) << 16 | rgb[1] << 8 | rgb[2]);
  return picture;
}

std::string magick_info(const std::wstring& file, const std::string& format)
{
  return magick_text(file, {"-format", format});
}

// Lines "  Colormap:", then "    i: (r,g,b) #RRGGBB ..." (values may be in
// percent; the hex form is always there, #RRRRGGGGBBBB for 16-bit maps).
std::vector<std::uint32_t> magick_colormap(const std::wstring& file)
{
  std::istringstream in(magick_text(file, {"-verbose"}));
  std::vector<std::uint32_t> entries;
  std::string line;
  while (std::getline(in, line) && line.find("Colormap:") == std::string::npos) {
  }
  int index = -1;
  char hex[13] = {};
  while (std::getline(in, line) && std::sscanf(line.c_str(), " %d: (%*[^)]) #%12[0-9A-Fa-f]", &index, hex) == 2 &&
         index == static_cast<int>(entries.size()) && std::strlen(hex) >= 6) {
    const size_t digits = std::strlen(hex) >= 12 ? 4 : 2;   // an alpha channel may follow
    std::uint32_t colour = 0;
    for (size_t c = 0; c < 3; ++c)
      colour = colour << 8 | static_cast<std::uint32_t>(std::stoul(std::string(hex + c * digits, 2), nullptr, 16));
    entries.push_back(colour);
  }
  return entries;
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
  return ended && completed;
}
