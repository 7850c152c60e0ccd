// Project: reading and checking a project file (see Project.h).
#include "tarvo-pack/Project.h"

#include <cmath>
#include <cstdlib>
#include <set>

#include "payload/TokenScramble.h"
#include "tarvo-pack/HostFiles.h"

namespace tarvopack {

namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool StartsWithName(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

// Reads the keys of one section, refusing keys it does not know (a typo must not pass silently).
class SectionReader {
 public:
  SectionReader(const IniFile& ini, std::string section, std::vector<std::string> known)
      : ini_(ini), section_(std::move(section)), known_(std::move(known)) {}

  std::string Where(const std::string& key) const {
    const IniSection* s = ini_.Find(section_);
    if (s != nullptr) {
      for (const IniEntry& e : s->entries) {
        if (SameName(e.key, key) && e.line > 0)
          return "line " + std::to_string(e.line) + ", [" + section_ + "] " + key;
      }
    }
    return "[" + section_ + "] " + key;
  }

  bool CheckKeys(std::string& error) const {
    const IniSection* s = ini_.Find(section_);
    if (s == nullptr) return true;
    for (const IniEntry& e : s->entries) {
      bool ok = false;
      for (const std::string& k : known_) ok = ok || SameName(k, e.key);
      if (!ok) {
        error = Where(e.key) + ": unknown key (known here: " + KnownList() + ")";
        return false;
      }
    }
    return true;
  }

  std::string Text(const std::string& key, const std::string& def = "") const {
    return ini_.Value(section_, key, def);
  }

  bool Switch(const std::string& key, bool& value, std::string& error) const {
    const std::string text = Text(key);
    if (text.empty()) return true;
    if (ParseSwitch(text, value)) return true;
    error = Where(key) + ": \"" + text + "\" is not 0 or 1";
    return false;
  }

  bool Size(const std::string& key, uint64_t& value, std::string& error) const {
    const std::string text = Text(key);
    if (text.empty()) return true;
    if (ParseByteSize(text, value)) return true;
    error = Where(key) + ": \"" + text + "\" is not a size (examples: 4096, 512K, 1.44M, 2G)";
    return false;
  }

  std::vector<const IniEntry*> All(const std::string& key) const {
    std::vector<const IniEntry*> out;
    if (const IniSection* s = ini_.Find(section_)) {
      for (const IniEntry& e : s->entries) {
        if (SameName(e.key, key)) out.push_back(&e);
      }
    }
    return out;
  }

 private:
  std::string KnownList() const {
    std::string list;
    for (const std::string& k : known_) list += (list.empty() ? "" : ", ") + k;
    return list;
  }
  const IniFile& ini_;
  std::string section_;
  std::vector<std::string> known_;
};

// Holds bytes above 127 that all form valid UTF-8 sequences (an editor's default, not ANSI).
bool LooksLikeUtf8(const std::string& text) {
  bool multibyte = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<uint8_t>(text[i]);
    if (b < 0x80) continue;
    const size_t follow = (b & 0xE0) == 0xC0   ? 1
                          : (b & 0xF0) == 0xE0 ? 2
                          : (b & 0xF8) == 0xF0 ? 3
                                               : 0;
    if (follow == 0 || i + follow >= text.size()) return false;
    for (size_t k = 1; k <= follow; ++k) {
      if ((static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += follow;
    multibyte = true;
  }
  return multibyte;
}

bool LookAtFile(const std::string& where, const std::string& path, InputFile& file,
                std::string& error) {
  file.path = path;
  std::string why;
  if (!RegularFileSize(path, file.size, why) || !FileDosTime(path, file.dosTime, why)) {
    error = where + ": " + why;
    return false;
  }
  return true;
}

bool ReadInstaller(const IniFile& ini, const std::string& base, ProjectUse use, Project& p,
                   std::string& error) {
  const SectionReader r(
      ini, kSecInstaller,
      {"Stub", "Output", "Token", "Hidden", "TempNotice", "ActivityBar", "AgentLog", "MakeAgent",
       "Checksum", "ExtraSpace", "Compression", "PieceSize", "DiskSize"});
  if (!r.CheckKeys(error)) return false;
  p.stubPath = r.Text("Stub").empty() ? "" : JoinPath(base, r.Text("Stub"));
  p.outputPath = r.Text("Output").empty() ? "" : JoinPath(base, r.Text("Output"));
  if (p.stubPath.empty()) {
    error = "[Installer] Stub: no stub given (the tarvostub.exe to put in front of the payload)";
    return false;
  }
  if (p.outputPath.empty() && use == ProjectUse::Installer) {
    error = "[Installer] Output: no output file given";
    return false;
  }
  p.token = r.Text("Token");
  if (!p.token.empty()) {
    const std::string why = payload::CheckPlainToken(p.token);
    if (!why.empty()) {
      error = r.Where("Token") + ": " + why;
      return false;
    }
  }
  if (!r.Switch("Hidden", p.hidden, error) || !r.Switch("TempNotice", p.tempNotice, error) ||
      !r.Switch("ActivityBar", p.activityBar, error) || !r.Switch("AgentLog", p.agentLog, error) ||
      !r.Switch("MakeAgent", p.makeAgent, error) || !r.Switch("Checksum", p.checksum, error) ||
      !r.Size("ExtraSpace", p.extraSpace, error) || !r.Size("PieceSize", p.pieceSize, error) ||
      !r.Size("DiskSize", p.diskSize, error))
    return false;
  const std::string level = r.Text("Compression", "9");
  if (level.size() != 1 || level[0] < '0' || level[0] > '9') {
    error = r.Where("Compression") + ": \"" + level + "\" is not a level from 0 (store) to 9";
    return false;
  }
  p.level = level[0] - '0';
  if (p.pieceSize < 4096 || p.pieceSize > kMaxPieceSize) {
    error = r.Where("PieceSize") + ": a piece must hold from 4K to 1G bytes";
    return false;
  }
  return true;
}

bool ReadEngine(const IniFile& ini, const std::string& base, ProjectUse use, Project& p,
                std::string& error) {
  const SectionReader r(ini, kSecEngine, {"File", "Arguments"});
  if (!r.CheckKeys(error)) return false;
  if (use == ProjectUse::Agent) return true;
  if (r.Text("File").empty()) {
    error =
        "[Engine] File: no installer engine given (every installer carries one, as its first "
        "entry)";
    return false;
  }
  if (!LookAtFile(r.Where("File"), JoinPath(base, r.Text("File")), p.engine, error)) return false;
  p.engine.name = BaseName(p.engine.path);
  std::string why = payload::CheckEntryName(p.engine.name);
  p.engineArguments = r.Text("Arguments");
  if (why.empty()) why = payload::CheckFieldText("the engine's arguments", p.engineArguments);
  if (why.empty() && p.engineArguments.find('*') != std::string::npos)
    why = "the engine's arguments must not contain \"*\" (it marks the engine)";
  if (!why.empty()) {
    error = r.Where(p.engineArguments.empty() ? "File" : "Arguments") + ": " + why;
    return false;
  }
  return true;
}

bool ReadFileList(const IniFile& ini, const std::string& base, ProjectUse use,
                  const std::string& section, std::vector<InputFile>& files, std::string& error) {
  const SectionReader r(ini, section, {"File", "Folder"});
  if (!r.CheckKeys(error)) return false;
  const IniSection* s = ini.Find(section);
  if (s == nullptr || use == ProjectUse::Agent) return true;
  for (const IniEntry& e : s->entries) {
    const std::string where = r.Where(e.key) + " = " + e.value;
    std::vector<std::string> paths;
    if (SameName(e.key, "Folder")) {
      std::string why;
      if (!ListFolderFiles(JoinPath(base, e.value), paths, why)) {
        error = where + ": " + why;
        return false;
      }
    } else {
      paths.push_back(JoinPath(base, e.value));
    }
    for (const std::string& path : paths) {
      InputFile file;
      if (!LookAtFile(where, path, file, error)) return false;
      file.name = BaseName(path);
      const std::string why = payload::CheckEntryName(file.name);
      if (!why.empty()) {
        error = where + ": " + why;
        return false;
      }
      files.push_back(file);
    }
  }
  return true;
}

bool ReadUpdate(const IniFile& ini, Project& p, std::string& error) {
  const SectionReader r(ini, kSecUpdate, {"Server", "InfoFile", "AgentFile"});
  if (!r.CheckKeys(error)) return false;
  p.hasUpdate = ini.Find(kSecUpdate) != nullptr;
  const payload::ParameterFields defaults;
  p.updateServer = r.Text("Server", defaults.updateServer);
  p.infoFile = r.Text("InfoFile", defaults.infoFile);
  p.agentFile = r.Text("AgentFile", defaults.agentFile);
  for (const char* key : {"Server", "InfoFile", "AgentFile"}) {
    const std::string why = payload::CheckFieldText(key, r.Text(key));
    if (!why.empty()) {
      error = r.Where(key) + ": " + why;
      return false;
    }
  }
  if (p.makeAgent && !p.hasUpdate)
    p.warnings.push_back(
        "[Installer] MakeAgent is on but there is no [Update] section: the agent copy gets the "
        "name \".exe\"");
  if (p.hasUpdate) {
    const std::string why = payload::CheckEntryName(p.agentFile);
    if (!why.empty()) {
      error = r.Where("AgentFile") + ": " + why;
      return false;
    }
  }
  return true;
}

bool ReadWeb(const IniFile& ini, const std::string& base, Project& p, std::string& error) {
  const SectionReader r(
      ini, kSecWeb,
      {"Address", "FileName", "AlwaysDownload", "AskBeforeDownload", "Output", "Token"});
  if (!r.CheckKeys(error)) return false;
  p.hasWeb = ini.Find(kSecWeb) != nullptr;
  if (!p.hasWeb) return true;
  p.webAddress = r.Text("Address");
  p.webFileName = r.Text("FileName", BaseName(p.outputPath));
  p.webOutputPath = r.Text("Output").empty() ? "" : JoinPath(base, r.Text("Output"));
  p.webToken = r.Text("Token");
  if (!r.Switch("AlwaysDownload", p.webAlwaysDownload, error) ||
      !r.Switch("AskBeforeDownload", p.webAskBeforeDownload, error))
    return false;
  std::string why;
  if (p.webAddress.empty()) {
    error = "[Web] Address: a web installer needs the address the setup file is downloaded from";
    return false;
  }
  if (p.webOutputPath.empty()) {
    error = "[Web] Output: no file name given for the web installer";
    return false;
  }
  if (p.diskSize > 0) {
    error = "[Web] and [Installer] DiskSize exclude each other: a web installer downloads one file";
    return false;
  }
  if ((why = payload::CheckFieldText("the address", p.webAddress)).empty() &&
      (why = payload::CheckEntryName(p.webFileName)).empty() && !p.webToken.empty())
    why = payload::CheckPlainToken(p.webToken);
  if (!why.empty()) {
    error = "[Web]: " + why;
    return false;
  }
  return true;
}

bool ReadLanguages(const IniFile& ini, Project& p, std::string& error) {
  for (const IniSection& s : ini.Sections()) {
    if (!StartsWithName(s.name, kLanguagePrefix)) continue;
    payload::LanguageSection language;
    const auto first = s.name.find_first_not_of(' ', sizeof(kLanguagePrefix) - 1);
    language.name = first == std::string::npos ? "" : s.name.substr(first);
    const std::string where = "line " + std::to_string(s.line) + ", [" + s.name + "]";
    if (language.name.empty()) {
      error = where + ": the section needs a language name, as in [Language English]";
      return false;
    }
    for (const IniEntry& e : s.entries) {
      if (LooksLikeUtf8(e.value))
        p.warnings.push_back(
            where + " " + e.key +
            ": the value looks like UTF-8; the stub shows bytes in the ANSI code page");
      bool known = false;
      for (const auto& [key, text] : LanguageDefaults()) known = known || SameName(key, e.key);
      if (!known)
        p.warnings.push_back(where + ": the stub does not read the key \"" + e.key + "\"");
      language.items.emplace_back(e.key, e.value);
    }
    p.languages.push_back(std::move(language));
  }
  if (p.languages.empty()) {
    // The stub has its own texts; a section still names the language and its fonts.
    p.languages.push_back(
        {"English", {{"Charset", "0"}, {"FontSize", "8"}, {"FontName", "Tahoma"}}});
  }
  std::string why;
  payload::BuildLanguageBlock(p.languages, why);
  if (!why.empty()) {
    error = "language sections: " + why;
    return false;
  }
  return true;
}

bool CheckSections(const IniFile& ini, std::string& error) {
  for (const IniSection& s : ini.Sections()) {
    bool known = StartsWithName(s.name, kLanguagePrefix);
    for (const char* name :
         {kSecInstaller, kSecEngine, kSecSetupFiles, kSecProductFiles, kSecUpdate, kSecWeb})
      known = known || SameName(s.name, name);
    if (!known) {
      error =
          "line " + std::to_string(s.line) + ": unknown section [" + s.name +
          "] (known: Installer, Engine, Setup Files, Product Files, Update, Web, Language <name>)";
      return false;
    }
  }
  return true;
}

// The names the extraction folder will hold must be distinct (Windows ignores case).
bool CheckDistinctNames(ProjectUse use, Project& p, std::string& error) {
  if (use == ProjectUse::Agent) return true;
  if (p.productFiles.size() > 99999) {
    error = "[Product Files]: more than 99999 files";
    return false;
  }
  for (size_t i = 0; i < p.productFiles.size(); ++i) {
    const std::string number = std::to_string(i + 1);
    p.productFiles[i].name =
        std::string(5 - number.size(), '0') + number + "#" + p.productFiles[i].name;
  }
  std::set<std::string> seen;
  auto add = [&](const InputFile& f) {
    if (seen.insert(Upper(f.name)).second) return true;
    error = f.path + ": a second file named " + f.name + " (names must differ, ignoring case)";
    return false;
  };
  if (!add(p.engine)) return false;
  for (const InputFile& f : p.setupFiles) {
    if (!add(f)) return false;
  }
  for (const InputFile& f : p.productFiles) {
    if (!add(f)) return false;
  }
  return true;
}

}  // namespace

bool ParseByteSize(const std::string& text, uint64_t& bytes) {
  if (text.empty()) return false;
  char* end = nullptr;
  const double number = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !(number >= 0)) return false;
  const std::string unit = Upper(std::string(end));
  double scale = 1;
  if (unit == "K" || unit == "KB")
    scale = 1024.0;
  else if (unit == "M" || unit == "MB")
    scale = 1024.0 * 1024;
  else if (unit == "G" || unit == "GB")
    scale = 1024.0 * 1024 * 1024;
  else if (!unit.empty() && unit != "B")
    return false;
  const double value = std::floor(number * scale);
  if (value > 1.8e19) return false;
  bytes = static_cast<uint64_t>(value);
  return true;
}

bool ParseSwitch(const std::string& text, bool& value) {
  const std::string t = Upper(text);
  if (t == "1" || t == "YES" || t == "TRUE" || t == "ON")
    value = true;
  else if (t == "0" || t == "NO" || t == "FALSE" || t == "OFF")
    value = false;
  else
    return false;
  return true;
}

const std::vector<std::pair<std::string, std::string>>& LanguageDefaults() {
  static const std::vector<std::pair<std::string, std::string>> defaults = {
      {"s0", "Tarvo Installation Suite"},
      {"s1", "Extracting Files..."},
      {"s2", "Tarvo will extract files to your Temp Drive (<DRIVE>)<P>"},
      {"s3", "Limited Free Space on your Temp Drive! (<DRIVE>)<P>"},
      {"s4", "<P>Estimated space required on your Temp drive is: <T>  <SPACE_REQ> MB<P>"},
      {"s5", "Free space available on your Temp drive is: <T>  <SPACE_AVAIL> MB<P>"},
      {"s6", "<P>Continue with Setup?<P>"},
      {"s7", "Bad CRC!<P>This indicates that your setup file might be corrupted..."},
      {"s8", "Please insert <B>DISK #<DISK_NUM></B> and press OK to continue"},
      {"s10", "Downloading File..."},
      {"s11",
       "<b>INTERNET DOWNLOAD</b><p><p>Tarvo will download the Setup File from the "
       "Internet...<p>Please "
       "make sure your Internet connection is properly set.<p><p>Continue with Setup?<p><P>Size: "
       "<SIZE> "
       "MB<P>"},
      {"s12", "No valid Internet Connection.<p>Can not Download File!"},
      {"BtnText", "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|"},
      {"Error", "Error"},
      {"Attention", "Attention"},
      {"Confirm", "Confirm"},
      {"Charset", "0"},
      {"FontSize", "8"},
      {"FontName", "Tahoma"},
  };
  return defaults;
}

bool LoadProject(const IniFile& ini, const std::string& baseDir, ProjectUse use, Project& project,
                 std::string& error) {
  project = Project{};
  error.clear();
  return CheckSections(ini, error) && ReadInstaller(ini, baseDir, use, project, error) &&
         ReadEngine(ini, baseDir, use, project, error) &&
         ReadFileList(ini, baseDir, use, kSecSetupFiles, project.setupFiles, error) &&
         ReadFileList(ini, baseDir, use, kSecProductFiles, project.productFiles, error) &&
         ReadUpdate(ini, project, error) && ReadWeb(ini, baseDir, project, error) &&
         ReadLanguages(ini, project, error) && CheckDistinctNames(use, project, error);
}

}  // namespace tarvopack
