// Project: what one installer build is made of, read and checked from a project file (IniFile)
// before any byte is written, so every mistake is reported with its section and key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payload/PayloadWriter.h"
#include "tarvo-pack/IniFile.h"

namespace tarvopack {

// Section names of the project file.
inline constexpr char kSecInstaller[] = "Installer";
inline constexpr char kSecEngine[] = "Engine";
inline constexpr char kSecSetupFiles[] = "Setup Files";
inline constexpr char kSecProductFiles[] = "Product Files";
inline constexpr char kSecUpdate[] = "Update";
inline constexpr char kSecWeb[] = "Web";
inline constexpr char kLanguagePrefix[] = "Language ";

inline constexpr uint64_t kDefaultPieceSize = 32ull << 20;
inline constexpr uint64_t kMaxPieceSize = 1ull << 30;

// One file to carry: where it is read from and the name its entries get.
struct InputFile {
  std::string path;
  std::string name;  // for product files with the "NNNNN#" prefix
  uint64_t size = 0;
  uint32_t dosTime = 0;
};

struct Project {
  std::string stubPath;
  std::string outputPath;
  std::string token;  // plain build token; empty: one is drawn from the seed
  bool hidden = false;
  bool tempNotice = false;
  bool activityBar = false;
  bool agentLog = false;
  bool makeAgent = false;
  bool checksum = true;
  uint64_t extraSpace = 0;
  int level = 9;
  uint64_t pieceSize = kDefaultPieceSize;
  uint64_t diskSize = 0;  // above 0: the build is split into a spanned set

  InputFile engine;
  std::string engineArguments;
  std::vector<InputFile> setupFiles;
  std::vector<InputFile> productFiles;

  bool hasUpdate = false;
  std::string updateServer, infoFile, agentFile;

  bool hasWeb = false;
  std::string webAddress, webFileName, webOutputPath, webToken;
  bool webAlwaysDownload = false;
  bool webAskBeforeDownload = true;

  std::vector<payload::LanguageSection> languages;
  std::vector<std::string> warnings;
};

// What a build needs from the project: an installer needs its engine and output; an update agent
// only the stub and the blocks.
enum class ProjectUse { Installer, Agent };

// Reads the settings and looks at every input file (existence, size, time). Relative paths are
// taken from baseDir. False with a message naming the section and key on the first mistake.
bool LoadProject(const IniFile& ini, const std::string& baseDir, ProjectUse use, Project& project,
                 std::string& error);

// "32M", "1.44M", "4096", "2G", "512K": bytes, with K, M, G as powers of 1024.
bool ParseByteSize(const std::string& text, uint64_t& bytes);
// "1", "0", "yes", "no", "true", "false", "on", "off".
bool ParseSwitch(const std::string& text, bool& value);

// The language keys the stub reads, with the texts it uses when a key is missing.
const std::vector<std::pair<std::string, std::string>>& LanguageDefaults();

}  // namespace tarvopack
