// probe.exe: looks at and pokes the windows of other programs from outside,
// for the end-to-end tests. Runs under Wine next to TAVRIN.EXE.
//
//   probe COMMAND ARGS...
//   probe serve          the same commands, one per line on stdin (see serve())
//
// Every command prints machine-readable lines on stdout; texts always as HEX,
// so Shift-JIS, CR LF and blanks survive the trip. Arguments and exit status
// as in HelperCommon.h.
//
// Commands by area: probe_windows.cpp (looking), probe_actions.cpp (driving
// windows, keys, clipboard), probe_registry.cpp (the bar's settings),
// probe_dpi.cpp (the bar's scaling).
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "probe.h"

namespace {

using namespace probe;

const Command* const kTables[] = {kWindowCommands, kActionCommands, kRegistryCommands, kDpiCommands};

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
  std::string line;
  char chunk[4096];
  while (fgets(chunk, sizeof chunk, stdin)) {
    line += chunk;
    if (line.empty() || line.back() != '\n') continue;
    line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> words{"probe"};
    for (size_t start = 0;;) {
      const size_t tab = line.find('\t', start);
      words.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    line.clear();
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    int status;
    try {
      if (words[1] == "mkwindow" || words[1].rfind("hold", 0) == 0)
        helpers::fail("%s needs a process of its own", words[1].c_str());
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
  becomePerMonitorAware();
  // Plain "\n" line ends on the pipe to the tests.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    fputs("usage: probe COMMAND ARGS...; commands:", stderr);
    for (const Command* table : kTables)
      for (const Command* c = table; c->name; ++c) fprintf(stderr, " %s", c->name);
    fputc('\n', stderr);
    return 2;
  }
  if (strcmp(argv[1], "serve") == 0) return serve();
  return runCommand(argc, argv);
}
