// Commands of the console: the whole line must match, case included, so an
// aborted read (an empty line) is invalid like any other unknown word.
#include "text/console.h"

#include <cstdio>
#include <cstring>

#include "qellib.h"

namespace {

struct CommandName {
  const char* name;
  ConsoleCommand command;
};

constexpr CommandName command_names[] = {
    {"exit", ConsoleCommand::exit}, {"start", ConsoleCommand::start},
    {"help", ConsoleCommand::help}, {"ver", ConsoleCommand::ver},
    {"color", ConsoleCommand::color},
};

// The drawing colour as its three bytes, then both text colours.
std::string colour_settings()
{
  const unsigned colour = qel_draw_colour;
  char text[128];
  std::snprintf(text, sizeof text, "Red  :%3u\nGreen:%3u\nBlue :%3u\nqel_tttc=%06x\nqel_tc=%06x\n",
                (colour >> 16) & 255, (colour >> 8) & 255, colour & 255,
                static_cast<unsigned>(qel_tttc), static_cast<unsigned>(qel_tc));
  return text;
}

} // namespace

ConsoleCommand console_command(const char* line)
{
  for (const CommandName& c : command_names)
    if (std::strcmp(line, c.name) == 0)
      return c.command;
  return ConsoleCommand::invalid;
}

std::string console_text(ConsoleCommand command)
{
  switch (command) {
  case ConsoleCommand::help: return "Command list:exit help start ver color\n";
  case ConsoleCommand::color: return colour_settings();
  case ConsoleCommand::invalid: return "Invalid command\n";
  default: return {};
  }
}

int console_result(ConsoleCommand command)
{
  return command == ConsoleCommand::invalid ? 1 : 0;
}
