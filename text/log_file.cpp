// Log files of the text windows, on C stdio. One lock guards the whole table:
// the user program prints (and so writes its log) on the worker thread while
// Exit closes every log on the GUI thread, and a write must never meet a file
// that is being closed. Logs are written a print at a time, so one lock costs
// nothing next to the drawing each print does.
#include "text/log_file.h"

#include <cstdio>
#include <limits>
#include <mutex>
#include <new>

namespace {

struct Log {
  int state = log_none;
  std::FILE* file = nullptr;   // open while state is not log_none
};

std::mutex logs_mutex;
Log logs[log_count];
std::string log_folder = "\\";  // start-up directory, ending in a separator
int log_instance = 0;

bool valid(int n)
{
  return n >= 0 && n < log_count;
}

std::string file_name_locked(int n)
{
  return log_folder + "QELLIB" + std::to_string(log_instance) + std::to_string(n) + ".LOG";
}

// Each write goes to disk at once: a print that has returned is in the file
// even if the process ends without passing through Exit (a crash in the user
// program, the system ending it), and Exit's close then has nothing left to
// lose. One write call per print is small next to the redraw of a print.
void write_locked(Log& log, const char* text, std::size_t length)
{
  if (log.state != log_running || !log.file)
    return;
  std::fwrite(text, 1, length, log.file);
  std::fflush(log.file);
}

void close_locked(Log& log)
{
  if (log.file)
    std::fclose(log.file);
  log.file = nullptr;
  log.state = log_none;
}

// The whole file by name, read in binary so the platform's line ends stay as
// they are on disk.
LogContent read_whole_file(const std::string& name)
{
  LogContent content;
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (!file) {
    content.result = 2;
    return content;
  }
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0)
    size = std::ftell(file);
  std::rewind(file);
  // The caller hands the text on in a block one byte longer (its zero), so
  // the size and that byte must both be representable before allocating.
  if (size < 0 || static_cast<unsigned long>(size) >= std::numeric_limits<std::size_t>::max()) {
    std::fclose(file);
    content.result = size < 0 ? 2 : 3;
    return content;
  }
  try {
    content.text.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    std::fclose(file);
    content.result = 3;
    return content;
  }
  // A file that shrank meanwhile gives what is there.
  content.text.resize(std::fread(content.text.data(), 1, content.text.size(), file));
  std::fclose(file);
  return content;
}

} // namespace

void set_log_location(std::string_view startup_dir, int instance)
{
  std::lock_guard lock(logs_mutex);
  log_folder.assign(startup_dir);
  // Start-up keeps the directory with a trailing backslash; a directory
  // given with a forward slash is accepted as it is.
  if (log_folder.empty() || (log_folder.back() != '\\' && log_folder.back() != '/'))
    log_folder += '\\';
  log_instance = instance;
}

std::string log_file_name(int n)
{
  std::lock_guard lock(logs_mutex);
  return file_name_locked(n);
}

int log_state(int n)
{
  if (!valid(n))
    return log_none;
  std::lock_guard lock(logs_mutex);
  return logs[n].state;
}

int start_log(int n, bool window_open)
{
  if (!valid(n) || !window_open)
    return 3;
  std::lock_guard lock(logs_mutex);
  Log& log = logs[n];
  if (log.state == log_running)
    return 1;
  // The file is created empty once; a paused log resumes in the same file.
  if (!log.file) {
    log.file = std::fopen(file_name_locked(n).c_str(), "w");
    if (!log.file)
      return 2;
  }
  log.state = log_running;
  return 0;
}

int stop_log(int n, bool window_open)
{
  if (!valid(n) || !window_open)
    return 2;
  std::lock_guard lock(logs_mutex);
  Log& log = logs[n];
  if (!log.file)
    return 1;
  log.state = log_paused;
  return 0;
}

// The record of a window opened anew is cleared; its earlier file, if any,
// is closed rather than left open with nothing pointing at it.
void forget_log(int n)
{
  if (!valid(n))
    return;
  std::lock_guard lock(logs_mutex);
  close_locked(logs[n]);
}

void write_log(int n, const char* text, std::size_t length)
{
  if (!valid(n))
    return;
  std::lock_guard lock(logs_mutex);
  write_locked(logs[n], text, length);
}

void write_log_line(int n, const char* line)
{
  if (!valid(n))
    return;
  // Line and line feed under one lock, so a close never falls between them.
  std::lock_guard lock(logs_mutex);
  write_locked(logs[n], line, std::char_traits<char>::length(line));
  write_locked(logs[n], "\n", 1);
}

// Logs of windows closed meanwhile are closed as well: their files are the
// user's record just the same.
void close_all_logs()
{
  std::lock_guard lock(logs_mutex);
  for (Log& log : logs)
    close_locked(log);
}

LogContent read_log_for_copy(int n, bool window_open)
{
  if (!valid(n) || !window_open)
    return {4, {}};
  std::lock_guard lock(logs_mutex);
  Log& log = logs[n];
  const std::string name = file_name_locked(n);
  // Closed first so that the file on disk is complete; the log then goes on
  // in the same file, logging or paused as it was.
  if (log.file) {
    std::fclose(log.file);
    log.file = nullptr;
  }
  LogContent content = read_whole_file(name);
  if (log.state != log_none) {
    log.file = std::fopen(name.c_str(), "a");
    if (!log.file)
      log.state = log_none;   // the menu must not show a log that cannot be written
  }
  return content;
}

const char* log_copy_failure_text(int result)
{
  switch (result) {
  case 2: return log_open_failed_text;
  case 3: return log_no_memory_text;
  default: return nullptr;
  }
}
