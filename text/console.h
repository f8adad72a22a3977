// The rules of the one-shot command console of a text window: which command
// an entered line is, and what the console prints for it. Reading the line,
// posting keys to the main window and the About banner are the platform's.
#pragma once

#include <string>

constexpr char console_prompt[] = "Cmd>";

enum class ConsoleCommand { exit, start, help, ver, color, invalid };

ConsoleCommand console_command(const char* line);    // whole line, exact and case-sensitive
std::string    console_text(ConsoleCommand command); // what it prints; "" for exit, start and ver
int            console_result(ConsoleCommand command); // 1 for an invalid command, else 0
