// Cli, writing side: the build, agent, split and inform subcommands (see Cli.h).
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "payload/PayloadWriter.h"
#include "payload/TGFileInfo.h"
#include "payload/Token.h"
#include "payload/TokenScramble.h"
#include "tarvo-pack/Builder.h"
#include "tarvo-pack/Cli.h"
#include "tarvo-pack/CliArgs.h"
#include "tarvo-pack/HostFiles.h"
#include "tarvo-pack/InformFile.h"
#include "tarvo-pack/Json.h"
#include "tarvo-pack/Spanner.h"

namespace tarvopack {

namespace {

namespace fs = std::filesystem;

const OptionSpec kHelp{"help", 'h', "", "show this help"};
const OptionSpec kQuiet{"quiet", 'q', "", "no progress display"};
const OptionSpec kJson{"json", 0, "", "print the summary as JSON"};
const OptionSpec kThreads{"threads", 'j', "N", "compression threads (default: all cores)"};
const OptionSpec kSeed{
    "seed", 0, "N",
    "seed of the per-build bytes and token scrambling (default: SOURCE_DATE_EPOCH, "
    "else the clock)"};

const std::vector<OptionSpec> kProjectOptions = {
    {"output", 'o', "FILE", "the installer to write ([Installer] Output)"},
    {"stub", 0, "FILE", "the stub program, tarvostub.exe ([Installer] Stub)"},
    {"engine", 0, "FILE", "the installer engine ([Engine] File)"},
    {"engine-args", 0, "TEXT", "extra command-line text for the engine ([Engine] Arguments)"},
    {"setup-file", 0, "FILE", "add a file for the engine, stored without prefix ([Setup Files])"},
    {"product-file", 0, "FILE", "add a product file ([Product Files] File)"},
    {"product-folder", 0, "DIR", "add every file of a folder ([Product Files] Folder)"},
    {"token", 0, "TEXT", "the product's build token ([Installer] Token)"},
    {"set", 0, "SEC.KEY=VALUE", "replace a project value, e.g. --set Installer.Hidden=1"},
    {"add", 0, "SEC.KEY=VALUE", "append a project value, e.g. --add \"Product Files.File=x.dll\""},
    {"level", 0, "N", "compression level 0 (store) to 9 ([Installer] Compression)"},
    {"piece-size", 0, "SIZE", "largest piece of one file per entry ([Installer] PieceSize)"},
    {"no-checksum", 0, "", "store 1234 instead of the checksum ([Installer] Checksum=0)"},
};

const char kProjectDetails[] =
    "Paths on the command line are taken from the current folder; paths in the project file and "
    "in\n"
    "--set/--add values from the project file's folder. Without a project file the options alone\n"
    "describe the build. SOURCE_DATE_EPOCH, when set, is the default seed and the modification\n"
    "time given to the files written, so a build can be repeated byte for byte.\n";

CommandSpec BuildSpec() {
  CommandSpec cmdSpec{"build",
                      "[PROJECT] [options]",
                      "Builds an installer (or a web installer pair, or a spanned set).",
                      kProjectDetails,
                      kProjectOptions,
                      0,
                      1};
  cmdSpec.options.push_back(
      {"disk-size", 0, "SIZE", "build a spanned set of disks this large ([Installer] DiskSize)"});
  for (const OptionSpec& o : {kSeed, kThreads, kQuiet, kJson, kHelp}) cmdSpec.options.push_back(o);
  return cmdSpec;
}

CommandSpec AgentSpec() {
  CommandSpec cmdSpec{
      "agent",
      "[PROJECT] [options]",
      "Builds an update agent: the stub with the project's language and parameter blocks,\n"
      "no entries, and the update-agent flag. The default output is [Update] AgentFile\n"
      "next to [Installer] Output.",
      kProjectDetails,
      {},
      0,
      1};
  for (const OptionSpec& o : kProjectOptions) {
    if (o.name == "output" || o.name == "stub" || o.name == "token" || o.name == "set" ||
        o.name == "add" || o.name == "no-checksum")
      cmdSpec.options.push_back(o);
  }
  for (const OptionSpec& o : {kSeed, kQuiet, kJson, kHelp}) cmdSpec.options.push_back(o);
  return cmdSpec;
}

bool ParseUnsigned(const std::string& text, uint64_t& value) {
  if (text.empty() || text[0] == '-') return false;
  char* end = nullptr;
  errno = 0;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  value = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
  return errno == 0 && end != nullptr && *end == '\0';
}

std::string Absolute(const std::string& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  return ec ? path : absolute.string();
}

// SEC.KEY=VALUE: the section is everything before the last "." ahead of the "=".
bool SplitOverride(const std::string& text, std::string& section, std::string& key,
                   std::string& value) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  const size_t dot = text.rfind('.', equals);
  if (dot == std::string::npos || dot == 0 || dot + 1 == equals) return false;
  section = text.substr(0, dot);
  key = text.substr(dot + 1, equals - dot - 1);
  value = text.substr(equals + 1);
  return true;
}

// The project value each plain option stands for.
struct OptionTarget {
  const char* option;
  const char* section;
  const char* key;
  bool path;          // taken from the current folder
  bool add;           // appended, else replaced
  const char* fixed;  // the value of a flag; null: the option's value
};

const OptionTarget kOptionTargets[] = {
    {"output", kSecInstaller, "Output", true, false, nullptr},
    {"stub", kSecInstaller, "Stub", true, false, nullptr},
    {"engine", kSecEngine, "File", true, false, nullptr},
    {"engine-args", kSecEngine, "Arguments", false, false, nullptr},
    {"setup-file", kSecSetupFiles, "File", true, true, nullptr},
    {"product-file", kSecProductFiles, "File", true, true, nullptr},
    {"product-folder", kSecProductFiles, "Folder", true, true, nullptr},
    {"token", kSecInstaller, "Token", false, false, nullptr},
    {"level", kSecInstaller, "Compression", false, false, nullptr},
    {"piece-size", kSecInstaller, "PieceSize", false, false, nullptr},
    {"disk-size", kSecInstaller, "DiskSize", false, false, nullptr},
    {"no-checksum", kSecInstaller, "Checksum", false, false, "0"},
};

const OptionTarget* TargetOf(const std::string& option) {
  for (const OptionTarget& t : kOptionTargets)
    if (option == t.option) return &t;
  return nullptr;
}

bool ApplyOverrides(const ParsedArgs& args, const std::string& baseDir, IniFile& ini,
                    std::string& error) {
  for (const auto& [name, value] : args.InOrder()) {
    if (const OptionTarget* t = TargetOf(name)) {
      const std::string text = t->fixed ? t->fixed : t->path ? Absolute(value) : value;
      if (t->add)
        ini.Add(t->section, t->key, text);
      else
        ini.Set(t->section, t->key, text);
    } else if (name == "set" || name == "add") {
      std::string section, key, text;
      if (!SplitOverride(value, section, key, text)) {
        error = "--" + name + " \"" + value + "\": expected SECTION.KEY=VALUE";
        return false;
      }
      if (name == "set")
        ini.Set(section, key, text);
      else
        ini.Add(section, key, text);
    }
  }
  (void)baseDir;
  return true;
}

// Reads the project file (if any), applies the overrides and checks everything.
bool LoadFromArgs(const ParsedArgs& args, ProjectUse use, CliContext& context, Project& project,
                  std::string& error) {
  IniFile ini;
  std::string baseDir;
  if (!args.Positional().empty()) {
    const std::string path = Absolute(args.Positional()[0]);
    std::string text;
    if (!ReadWholeFile(path, text, error)) return false;
    if (!ini.Parse(text, error)) {
      error = path + ", " + error;
      return false;
    }
    baseDir = FolderOf(path);
  }
  if (!ApplyOverrides(args, baseDir, ini, error)) return false;
  if (!LoadProject(ini, baseDir, use, project, error)) return false;
  for (const std::string& warning : project.warnings)
    context.err << "tarvo-pack: warning: " << warning << "\n";
  return true;
}

bool ChooseSeed(const ParsedArgs& args, const CliContext& context, uint64_t& seed,
                std::string& error) {
  if (args.Has("seed")) {
    if (ParseUnsigned(args.Get("seed"), seed)) return true;
    error = "--seed \"" + args.Get("seed") + "\" is not a whole number";
    return false;
  }
  if (context.sourceDateEpoch) {
    if (ParseUnsigned(*context.sourceDateEpoch, seed)) return true;
    error =
        "SOURCE_DATE_EPOCH \"" + *context.sourceDateEpoch + "\" is not a whole number of seconds";
    return false;
  }
  seed = context.clockSeed;
  return true;
}

bool ChooseThreads(const ParsedArgs& args, const CliContext& context, unsigned& threads,
                   std::string& error) {
  threads = std::max(1u, context.hardwareThreads);
  if (!args.Has("threads")) return true;
  uint64_t n = 0;
  if (!ParseUnsigned(args.Get("threads"), n) || n < 1 || n > 256) {
    error = "--threads \"" + args.Get("threads") + "\" is not a number from 1 to 256";
    return false;
  }
  threads = static_cast<unsigned>(n);
  return true;
}

// Shows how far a long write has got: one redrawn line on a terminal, else a line per tenth.
class ProgressDisplay {
 public:
  ProgressDisplay(CliContext& context, bool quiet) : context_(context), quiet_(quiet) {}
  ~ProgressDisplay() { EndLine(); }
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  BuildProgressFn Callback() {
    if (quiet_) return {};
    return [this](const std::string& path, uint32_t done, uint32_t total, uint64_t bytes) {
      Show(path, done, total, bytes);
    };
  }

  void EndLine() {
    if (open_) context_.err << "\n";
    open_ = false;
  }

 private:
  void Show(const std::string& path, uint32_t done, uint32_t total, uint64_t bytes) {
    const uint32_t tenth = total == 0 ? 10 : done * 10 / total;
    const std::string line = "  " + BaseName(path) + ": " + std::to_string(done) + "/" +
                             std::to_string(total) + " entries, " + Grouped(bytes) + " bytes";
    if (context_.errIsTerminal) {
      context_.err << "\r" << line << "\x1b[K";
      open_ = true;
      if (done == total) EndLine();
    } else if (total >= kLinesFrom && (path != path_ || tenth != tenth_)) {
      context_.err << line << "\n";
    }
    path_ = path;
    tenth_ = tenth;
  }

  static constexpr uint32_t kLinesFrom = 20;  // smaller files finish before lines would help

  CliContext& context_;
  bool quiet_;
  bool open_ = false;
  std::string path_;
  uint32_t tenth_ = 0;
};

// Runs a long write with the progress display in slot; the display's line is closed before the
// caller reports a failure, and the slot is emptied before the display goes.
template <typename Write>
bool WithProgress(CliContext& context, bool quiet, BuildProgressFn& slot, Write write) {
  ProgressDisplay progress(context, quiet);
  slot = progress.Callback();
  const bool ok = write();
  slot = {};
  return ok;
}

void StampOutputs(const CliContext& context, const std::vector<BuiltFile>& files) {
  uint64_t seconds = 0;
  if (!context.sourceDateEpoch || !ParseUnsigned(*context.sourceDateEpoch, seconds)) return;
  for (const BuiltFile& f : files) SetFileUnixTime(f.path, static_cast<int64_t>(seconds));
}

void PrintSummary(CliContext& context, const BuildResult& result, uint64_t seed, bool json) {
  if (json) {
    JsonWriter w;
    w.BeginObject().BeginArray("files");
    for (const BuiltFile& f : result.files) {
      w.BeginObject()
          .Text("path", f.path)
          .Text("role", f.role)
          .Number("size", f.stats.fileSize)
          .Number("entries", f.stats.entries)
          .Number("decodedBytes", f.stats.decodedBytes)
          .Number("checksum", f.stats.checksum)
          .EndObject();
    }
    w.EndArray().Text("token", result.plainToken).Bool("tokenDrawn", result.tokenDrawn);
    w.Text("storedToken", result.scrambledToken).Number("seed", seed).BeginArray("requiredSpace");
    for (uint32_t v : result.space) w.Number(v);
    w.EndArray().EndObject();
    context.out << w.Str();
    return;
  }
  for (const BuiltFile& f : result.files) {
    char sum[16];
    std::snprintf(sum, sizeof sum, "0x%08X", static_cast<unsigned>(f.stats.checksum));
    context.out << "wrote " << f.path << " (" << f.role << "): " << Grouped(f.stats.fileSize)
                << " bytes, " << f.stats.entries << " entries, checksum " << sum << "\n";
  }
  if (!result.plainToken.empty()) {
    context.out << "build token: " << result.plainToken;
    if (result.tokenDrawn)
      context.out << " (drawn from the seed; set [Installer] Token to keep it across releases)";
    context.out << "\n";
  }
  if (result.space[0] > 0)
    context.out << "required space: " << Grouped(result.space[0]) << " bytes ("
                << Grouped(result.space[4]) << " on 4K clusters)\n";
  context.out << "seed: " << seed << " (repeat this build with --seed " << seed << ")\n";
}

}  // namespace

int CommandBuild(const std::vector<std::string>& argv, CliContext& context) {
  const CommandSpec cmdSpec = BuildSpec();
  ParsedArgs args;
  if (const auto exit = StartCommand(cmdSpec, argv, context, args)) return *exit;
  std::string error;
  BuildSettings settings;
  if (!ChooseSeed(args, context, settings.seed, error) ||
      !ChooseThreads(args, context, settings.threads, error))
    return Usage(context, error);
  Project project;
  if (!LoadFromArgs(args, ProjectUse::Installer, context, project, error))
    return Fail(context, error);
  BuildResult result;
  if (!WithProgress(context, args.Has("quiet"), settings.progress,
                    [&] { return BuildInstaller(project, settings, result, error); }))
    return Fail(context, error);
  StampOutputs(context, result.files);
  PrintSummary(context, result, settings.seed, args.Has("json"));
  return kExitOk;
}

int CommandAgent(const std::vector<std::string>& argv, CliContext& context) {
  const CommandSpec cmdSpec = AgentSpec();
  ParsedArgs args;
  if (const auto exit = StartCommand(cmdSpec, argv, context, args)) return *exit;
  std::string error;
  BuildSettings settings;
  if (!ChooseSeed(args, context, settings.seed, error)) return Usage(context, error);
  Project project;
  if (!LoadFromArgs(args, ProjectUse::Agent, context, project, error)) return Fail(context, error);
  if (!project.hasUpdate)
    context.err
        << "tarvo-pack: warning: no [Update] section: the agent has no server, info file or name\n";
  std::string output = project.outputPath;
  if (!args.Has("output")) {
    if (output.empty() || !project.hasUpdate)
      return Fail(
          context,
          "give the agent's file name with -o (or [Update] AgentFile and [Installer] Output)");
    output = JoinPath(FolderOf(output), project.agentFile);
  }
  BuildResult result;
  if (!BuildAgent(project, settings, output, result, error)) return Fail(context, error);
  StampOutputs(context, result.files);
  PrintSummary(context, result, settings.seed, args.Has("json"));
  return kExitOk;
}

int CommandSplit(const std::vector<std::string>& argv, CliContext& context) {
  const CommandSpec cmdSpec{
      "split",
      "INSTALLER --disk-size SIZE [-o LAUNCHER] [options]",
      "Cuts an installer into a spanned set: LAUNCHER (the stub with the header blocks and the\n"
      "launcher flag) and LAUNCHER.001, .002, ... each at most SIZE bytes, every one but the last\n"
      "with the next-disk flag. Entries are copied unchanged; one larger than a disk is stored\n"
      "again in pieces. Without -o the launcher replaces INSTALLER.",
      "",
      {{"disk-size", 0, "SIZE", "the largest file of the set, e.g. 1.44M, 650M"},
       {"output", 'o', "LAUNCHER", "the launcher to write (default: INSTALLER itself)"},
       {"level", 0, "N", "compression level for entries that are cut again (default 9)"},
       kThreads,
       kQuiet,
       kJson,
       kHelp},
      1,
      1};
  ParsedArgs args;
  if (const auto exit = StartCommand(cmdSpec, argv, context, args)) return *exit;
  std::string error;
  SplitSettings settings;
  if (!args.Has("disk-size") || !ParseByteSize(args.Get("disk-size"), settings.diskSize) ||
      settings.diskSize == 0)
    return Usage(context, "--disk-size SIZE is needed (for example 1.44M or 650M)");
  uint64_t level = 9;
  if (args.Has("level") && (!ParseUnsigned(args.Get("level"), level) || level > 9))
    return Usage(context, "--level must be a number from 0 to 9");
  settings.level = static_cast<int>(level);
  if (!ChooseThreads(args, context, settings.threads, error)) return Usage(context, error);
  const std::string input = args.Positional()[0];
  BuildResult result;
  if (!WithProgress(context, args.Has("quiet"), settings.progress, [&] {
        return SplitInstaller(input, args.Get("output", input), settings, result.files, error);
      }))
    return Fail(context, error);
  StampOutputs(context, result.files);
  if (args.Has("json")) {
    PrintSummary(context, result, 0, true);
  } else {
    for (const BuiltFile& f : result.files)
      context.out << "wrote " << f.path << " (" << f.role << "): " << Grouped(f.stats.fileSize)
                  << " bytes, " << f.stats.entries << " entries\n";
  }
  return kExitOk;
}

int CommandInform(const std::vector<std::string>& argv, CliContext& context) {
  const CommandSpec cmdSpec{
      "inform",
      "-o FILE (--token TEXT | --from INSTALLER | --project PROJECT) (--text TEXT | --text-file "
      "FILE)",
      "Writes an INFORM notice file: an ignored field, the product's build token in stored form, "
      "two\n"
      "ignored fields and the notice text (rich text, \"|\" allowed), each field closed by \"|\".",
      "The token must be the product's build token: an agent deletes a notice with another one.\n"
      "--from reuses the stored token of an installer or agent of the product.\n",
      {{"output", 'o', "FILE", "the notice file to write"},
       {"token", 0, "TEXT", "the product's build token, in plain text"},
       {"from", 0, "INSTALLER", "take the token from an installer or update agent of the product"},
       {"project", 0, "PROJECT", "take the token from a project file's [Installer] Token"},
       {"text", 0, "TEXT", "the notice text"},
       {"text-file", 0, "FILE", "read the notice text from a file"},
       {"scrambled", 0, "", "write the whole file in the \"Scrambled=01\" form"},
       kSeed,
       kHelp},
      0,
      0};
  ParsedArgs args;
  if (const auto exit = StartCommand(cmdSpec, argv, context, args)) return *exit;
  std::string error;
  const int tokenSources = args.Has("token") + args.Has("from") + args.Has("project");
  if (!args.Has("output") || tokenSources != 1 || args.Has("text") == args.Has("text-file"))
    return Usage(context, "usage: tarvo-pack inform " + cmdSpec.usage);
  uint64_t seed = 0;
  if (!ChooseSeed(args, context, seed, error)) return Usage(context, error);
  payload::BuildRandom random(seed);

  InformSettings inform;
  inform.scrambled = args.Has("scrambled");
  if (args.Has("from")) {
    const TGFileInfo info(args.Get("from"));
    if (info.Record().magic != payload::kMagic || info.ParameterBlock().empty())
      return Fail(context,
                  args.Get("from") + " is not an installer or update agent with a parameter block");
    inform.storedToken = info.GetBuildToken(false);
    if (payload::DescrambleToken(inform.storedToken) !=
        payload::DescrambleToken(inform.storedToken))
      return Fail(context, args.Get("from") + ": its build token cannot be descrambled");
  } else {
    std::string plain = args.Get("token");
    if (args.Has("project")) {
      IniFile ini;
      std::string text;
      if (!ReadWholeFile(args.Get("project"), text, error) || !ini.Parse(text, error))
        return Fail(context, args.Get("project") + ": " + error);
      plain = ini.Value(kSecInstaller, "Token", "");
      if (plain.empty())
        return Fail(context,
                    args.Get("project") + " has no [Installer] Token: a drawn token never matches");
    }
    const std::string why = payload::CheckPlainToken(plain);
    if (!why.empty()) return Fail(context, why);
    payload::BuildRandom scramble = random.Fork(1);
    inform.storedToken = payload::ScrambleToken(plain, scramble);
  }
  if (args.Has("text")) {
    inform.notice = args.Get("text");
  } else if (!ReadWholeFile(args.Get("text-file"), inform.notice, error)) {
    return Fail(context, error);
  }
  inform.key = static_cast<uint8_t>(random.Fork(2).Range(33, 122));
  std::string text;
  if (!BuildInformText(inform, text, error)) return Fail(context, error);
  const std::string output = args.Get("output");
  if (!WriteWholeFile(output, text, error)) return Fail(context, error);
  StampOutputs(context, {BuiltFile{output, "notice", {}}});
  context.out << "wrote " << output << " (notice, " << Grouped(text.size()) << " bytes"
              << (inform.scrambled ? ", scrambled" : "") << ")\n";
  return kExitOk;
}

}  // namespace tarvopack
