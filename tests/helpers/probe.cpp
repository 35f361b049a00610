// probe.exe: looks at and pokes the windows of other programs from outside,
// for the end-to-end tests: `probe COMMAND ARGS...`, or `probe serve` (below).
// Commands (listed in the probe_*.cpp files) print machine-readable lines;
// texts always as HEX, so Shift-JIS, CR LF and blanks survive the trip.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "probe.h"

namespace {

using namespace probe;

const Command* const kTables[] = {kWindowCommands, kActionCommands, kBarCommands};

int runCommand(int argc, char** argv) {
  for (const Command* table : kTables)
    for (const Command* c = table; c->name; ++c)
      if (strcmp(argv[1], c->name) == 0) return c->run(argc, argv);
  helpers::fail("unknown command '%s'", argv[1]);
}

// probe serve: one command per line on stdin, its arguments separated by
// tabs; after each, its output and the line "\x1e STATUS". Saves the tests a
// Wine start per look (about a tenth of a second each). Commands that need a
// process of their own (mkwindow, hold*) are refused.
int serve() {
  helpers::serving = true;
  for (std::string line; std::getline(std::cin, line);) {
    std::vector<std::string> words{"probe"};
    std::istringstream fields(line);
    for (std::string word; std::getline(fields, word, '\t');) words.push_back(word);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    int status;
    try {
      if (words.size() < 2 || words[1] == "mkwindow" || words[1].rfind("hold", 0) == 0)
        helpers::fail("'%s' cannot be served", line.c_str());
      status = runCommand(static_cast<int>(words.size()), argv.data());
    } catch (const helpers::CommandEnd& e) {
      status = e.status;
    }
    CloseClipboard();  // a command that failed half-way never keeps it
    helpers::out("\x1e %d\n", status);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  helpers::programName = "probe";
  // Measure as the bar lives: per-monitor v2 where the system has it.
  if (!SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  // Plain "\n" line ends on the pipe to the tests.
  _setmode(_fileno(stdout), _O_BINARY);
  helpers::need(argc, 2, "COMMAND ARGS... | serve");
  if (strcmp(argv[1], "serve") == 0) return serve();
  return runCommand(argc, argv);
}
