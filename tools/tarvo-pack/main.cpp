// tarvo-pack: the installer builder's entry point; gathers the system facts the commands use.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <optional>
#include <thread>
#include <algorithm>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#define TARVO_ISATTY _isatty
#define TARVO_FILENO _fileno
#else
#include <unistd.h>
#define TARVO_ISATTY isatty
#define TARVO_FILENO fileno
#endif

#include "tarvo-pack/Cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  tarvopack::CliContext context{std::cout, std::cerr, false, std::nullopt, 0, 1};
  context.errIsTerminal = TARVO_ISATTY(TARVO_FILENO(stderr)) != 0;
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"))
    context.sourceDateEpoch = std::string(epoch);
  context.clockSeed =
      static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  context.hardwareThreads = std::max(1u, std::thread::hardware_concurrency());
  const int code = tarvopack::RunTarvoPack(args, context);
  std::cout.flush();
  return code;
}
