// Cli, reading side: the inspect, list, verify and extract subcommands (see Cli.h).
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "payload/Checksum.h"
#include "payload/EntryReader.h"
#include "payload/PayloadWriter.h"
#include "payload/TrailerReader.h"
#include "tarvo-pack/Cli.h"
#include "tarvo-pack/CliArgs.h"
#include "tarvo-pack/HostFiles.h"
#include "tarvo-pack/InstallerCheck.h"
#include "tarvo-pack/InstallerScan.h"
#include "tarvo-pack/Json.h"
#include "util/KSUB.h"

namespace tarvopack {

namespace {

namespace fs = std::filesystem;

const OptionSpec kHelpOption{"help", 'h', "", "show this help"};
const OptionSpec kJsonOption{"json", 0, "", "print the report as JSON"};

// The file asked about and the data files of its set.
struct SetView {
  FileScan file;
  bool isSet = false;           // launcher or a disk of a chain: disks are numbered
  std::vector<FileScan> disks;  // the files that carry the entries (for an installer: itself)
  std::string missing;          // the disk that should follow but is not there
};

bool LoadSet(const std::string& path, SetView& view, std::string& error) {
  if (!ScanInstaller(path, view.file, error)) return false;
  const FileScan& f = view.file;
  const bool launcher = f.magicOk && (f.trailer.flags & payload::kFlagSpanFirstLevel) != 0;
  const bool chained =
      f.magicOk && ((f.trailer.flags & payload::kFlagNextDisk) != 0 || path.ends_with(".001"));
  if (!(launcher || chained) || f.continuation) {
    view.disks.push_back(f);
    return true;
  }
  view.isSet = true;
  std::string missing;
  for (const std::string& disk : SeriesFrom(path, missing)) {
    FileScan scan;
    if (!ScanInstaller(disk, scan, error)) return false;
    view.disks.push_back(std::move(scan));
  }
  const bool wantsMore =
      view.disks.empty() || (view.disks.back().trailer.flags & payload::kFlagNextDisk) != 0;
  if (wantsMore) view.missing = missing;
  return true;
}

// Which disk of its set the file is: 0 for a launcher or a file outside a set.
int DiskNumber(const SetView& view) {
  const FileScan& f = view.file;
  if (f.continuation) return std::atoi(f.path.substr(f.path.size() - 3).c_str());
  if (!view.isSet || (f.trailer.flags & payload::kFlagSpanFirstLevel)) return 0;
  return 1;
}

Verdict Judge(const SetView& view) {
  Verdict v = CheckFile(view.file);
  if (view.file.continuation && !view.isSet) return v;
  for (const FileScan& d : view.disks) {
    if (&d == &view.disks.front() && d.path == view.file.path) continue;
    const Verdict disk = CheckFile(d);
    for (const std::string& p : disk.problems) v.problems.push_back(d.path + ": " + p);
  }
  if (!view.missing.empty()) v.problems.push_back("the next disk " + view.missing + " is missing");
  const bool launcher = (view.file.trailer.flags & payload::kFlagSpanFirstLevel) != 0;
  const Verdict set = CheckSet(view.disks, launcher ? &view.file : nullptr);
  v.problems.insert(v.problems.end(), set.problems.begin(), set.problems.end());
  v.notes.insert(v.notes.end(), set.notes.begin(), set.notes.end());
  const FileScan& lead = view.disks.empty() ? view.file : view.disks.front();
  if (view.file.magicOk && !lead.continuation &&
      ContentBytes(view.disks) > lead.trailer.requiredSpace[0])
    v.notes.push_back("the required space (" + Grouped(lead.trailer.requiredSpace[0]) +
                      " bytes) is below the files carried (" + Grouped(ContentBytes(view.disks)) +
                      " bytes)");
  return v;
}

std::string Hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

std::string HexBytes(const uint8_t* bytes, size_t size) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    out += kHex[bytes[i] >> 4];
    out += kHex[bytes[i] & 0x0F];
  }
  return out;
}

std::string FlagNames(uint8_t flags) {
  static const char* const kNames[] = {"temp-drive notice", "next disk", "spanned launcher",
                                       "activity bar", "agent log"};
  std::string out;
  for (int bit = 0; bit < 5; ++bit) {
    if (flags & (1 << bit)) out += (out.empty() ? "" : ", ") + std::string(kNames[bit]);
  }
  return out.empty() ? "none" : out;
}

// The items of a 0x01 list, shown with a visible separator.
std::vector<std::string> ListFields(const std::string& list) {
  std::vector<std::string> fields;
  for (int i = 0; i < SUB::FieldCount(list); ++i) fields.push_back(SUB::Field(list, i, ""));
  return fields;
}

std::string Printable(const std::string& text) {
  std::string out;
  for (char c : text) {
    const auto b = static_cast<uint8_t>(c);
    if (b < 32) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\x%02X", b);
      out += esc;
    } else {
      out += c;
    }
  }
  return out;
}

std::string EntryName(const RecordScan& r) {
  if (!r.hasHeader) return "(no header)";
  return r.info.name;
}

std::string Column(std::string text, size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

void PrintEntries(std::ostream& out, const FileScan& s) {
  out << "entries (" << s.trailer.filesCount << " counted in the trailer)\n";
  if (s.records.size() ==
      static_cast<size_t>(std::count_if(s.records.begin(), s.records.end(),
                                        [](const RecordScan& r) { return r.isBlock; })))
    return;
  out << "     #      offset  method      stored        size  crc32       time                 "
         "name\n";
  int n = 0;
  for (const RecordScan& r : s.records) {
    if (r.isBlock) continue;
    ++n;
    const uint64_t stored =
        static_cast<uint64_t>(r.length > 0 ? r.length : -static_cast<int64_t>(r.length));
    out << Column(std::to_string(n), 6) << Column(std::to_string(r.offset), 12) << "  "
        << (r.length > 0 ? "deflate" : "stored ") << Column(Grouped(stored), 11)
        << Column(Grouped(r.contentSize), 12) << "  " << Hex32(r.crc32) << "  "
        << payload::FormatDosDateTime(r.info.dosTime) << "  " << Printable(EntryName(r));
    if (r.info.isEngine)
      out << "  [engine" << (r.info.extraArgs.empty() ? "" : ", arguments: " + r.info.extraArgs)
          << "]";
    if (!r.error.empty()) out << "  DAMAGED: " << r.error;
    out << "\n";
  }
}

void PrintBlocks(std::ostream& out, const FileScan& s) {
  if (s.continuation) {
    out << "header blocks   none (a further disk: its entries follow the first disk's)\n";
    return;
  }
  const std::vector<std::string> sections = ListFields(s.languageBlock);
  out << "languages (" << sections.size() << ")\n";
  for (const std::string& section : sections) {
    const std::vector<std::string> items = ListFields(section);
    out << "  " << (items.empty() ? "(unnamed)" : Printable(items[0])) << "\n";
    for (size_t i = 1; i < items.size(); ++i) out << "    " << Printable(items[i]) << "\n";
  }
  const std::string& p = s.parameterBlock;
  std::string token;
  const bool tokenOk = TokenDescrambles(SUB::Field(p, 3, ""), token);
  out << "parameters\n"
      << "  update server   " << Printable(SUB::Field(p, 0, "")) << "\n"
      << "  info file       " << Printable(SUB::Field(p, 1, "")) << "\n"
      << "  agent file      " << Printable(SUB::Field(p, 2, "")) << "\n"
      << "  build token     " << (tokenOk ? Printable(token) : "(does not descramble)")
      << "  (stored " << Printable(SUB::Field(p, 3, "")) << ")\n"
      << "  hidden          " << (SUB::Field(p, 4, "") == "1" ? "yes" : "no") << "\n";
  if (s.trailer.headerBlocks < 3) return;
  const std::string& w = s.webBlock;
  const bool webOk = TokenDescrambles(SUB::Field(w, 3, ""), token);
  out << "web block\n"
      << "  address         " << Printable(SUB::Field(w, 0, "")) << "\n"
      << "  file name       " << Printable(SUB::Field(w, 1, "")) << "\n"
      << "  always download " << (SUB::Field(w, 2, "") == "1" ? "yes" : "no") << "\n"
      << "  web token       " << (webOk ? Printable(token) : "(does not descramble)") << "\n"
      << "  file size       " << Printable(SUB::Field(w, 4, "")) << "\n";
}

void PrintVerdict(std::ostream& out, const Verdict& v) {
  out << "verdict: " << (v.Sound() ? "OK" : "PROBLEMS (" + std::to_string(v.problems.size()) + ")")
      << "\n";
  for (const std::string& p : v.problems) out << "  problem: " << p << "\n";
  for (const std::string& n : v.notes) out << "  note: " << n << "\n";
}

void PrintInspect(std::ostream& out, const SetView& view, const Verdict& verdict) {
  const FileScan& s = view.file;
  out << "file            " << s.path << "\n"
      << "kind            " << KindOf(s, DiskNumber(view)) << "\n"
      << "size            " << Grouped(s.physicalSize) << " bytes";
  if (s.realEnd > 0)
    out << " (recorded length " << Grouped(static_cast<uint64_t>(s.realEnd)) << ")";
  out << "\n";
  if (!s.magicOk) {
    PrintVerdict(out, verdict);
    return;
  }
  if (s.isStub)
    out << "stub            " << Grouped(static_cast<uint64_t>(s.trailer.startOffset))
        << " bytes, PE signature at 0x100\n"
        << "build bytes     " << HexBytes(s.buildBytes.data(), s.buildBytes.size()) << "\n";
  else
    out << "stub            none\n";
  const payload::Trailer& t = s.trailer;
  out << "trailer         format " << int{t.format} << ", header blocks " << int{t.headerBlocks}
      << ", start offset " << t.startOffset << ", entries " << t.filesCount << ", size field "
      << s.trailerSizeField << "\n"
      << "flags           " << Hex32(t.flags).substr(8) << " (" << FlagNames(t.flags) << ")\n"
      << "bytes 66-69     web installer " << int{t.webInstaller} << ", ask before download "
      << int{t.askBeforeDownload} << ", makes agent " << int{t.makeAgent} << ", update agent "
      << int{t.agent} << "\n"
      << "checksum        stored " << Hex32(t.checksum) << ", computed "
      << Hex32(s.computedChecksum) << ": "
      << (payload::ChecksumPasses(s.computedChecksum, t.checksum) ? "passes" : "FAILS") << "\n"
      << "required space  " << Grouped(t.requiredSpace[0]) << " bytes; by cluster size:";
  static const char* const kClusters[] = {"", "512", "1K", "2K", "4K", "8K", "16K", "32K", "64K"};
  for (int i = 1; i < 9; ++i) out << " " << kClusters[i] << " " << Grouped(t.requiredSpace[i]);
  out << "\n";
  PrintBlocks(out, s);
  PrintEntries(out, s);
  if (view.isSet) {
    out << "spanned set\n";
    for (size_t i = 0; i < view.disks.size(); ++i)
      out << "  disk " << i + 1 << "  " << view.disks[i].path << "  "
          << view.disks[i].trailer.filesCount << " entries, "
          << (CheckFile(view.disks[i]).Sound() ? "sound" : "DAMAGED") << "\n";
    if (!view.missing.empty()) out << "  missing: " << view.missing << "\n";
  }
  PrintVerdict(out, verdict);
}

void JsonEntries(JsonWriter& w, const FileScan& s) {
  w.BeginArray("entries");
  for (const RecordScan& r : s.records) {
    if (r.isBlock) continue;
    w.BeginObject()
        .Number("offset", r.offset)
        .SignedNumber("length", r.length)
        .Bool("compressed", r.length > 0)
        .Bool("hasHeader", r.hasHeader)
        .Text("header", r.info.header)
        .Text("name", r.info.name)
        .Bool("engine", r.info.isEngine)
        .Text("engineArguments", r.info.extraArgs)
        .Number("dosTime", r.info.dosTime)
        .Text("time", payload::FormatDosDateTime(r.info.dosTime))
        .Number("size", r.contentSize)
        .Number("crc32", r.crc32)
        .Text("error", r.error)
        .EndObject();
  }
  w.EndArray();
}

void JsonInspect(std::ostream& out, const SetView& view, const Verdict& verdict) {
  const FileScan& s = view.file;
  const payload::Trailer& t = s.trailer;
  JsonWriter w;
  w.BeginObject()
      .Text("path", s.path)
      .Text("kind", KindOf(s, DiskNumber(view)))
      .Number("size", s.physicalSize)
      .SignedNumber("recordedLength", s.realEnd)
      .Bool("stub", s.isStub)
      .Bool("magic", s.magicOk)
      .Text("buildBytes", HexBytes(s.buildBytes.data(), s.buildBytes.size()));
  w.BeginObject("trailer")
      .Number("format", t.format)
      .Number("headerBlocks", t.headerBlocks)
      .SignedNumber("startOffset", t.startOffset)
      .Number("filesCount", t.filesCount)
      .Number("checksum", t.checksum)
      .Number("flags", t.flags)
      .Text("flagNames", FlagNames(t.flags))
      .Number("webInstaller", t.webInstaller)
      .Number("askBeforeDownload", t.askBeforeDownload)
      .Number("makeAgent", t.makeAgent)
      .Number("agent", t.agent)
      .Number("sizeField", s.trailerSizeField)
      .BeginArray("requiredSpace");
  for (uint32_t v : t.requiredSpace) w.Number(v);
  w.EndArray().EndObject();
  w.BeginObject("checksum")
      .Number("stored", t.checksum)
      .Number("computed", s.computedChecksum)
      .Bool("passes", payload::ChecksumPasses(s.computedChecksum, t.checksum))
      .EndObject();
  w.BeginArray("languages");
  for (const std::string& section : ListFields(s.languageBlock)) {
    const std::vector<std::string> items = ListFields(section);
    w.BeginObject().Text("name", items.empty() ? "" : items[0]).BeginArray("items");
    for (size_t i = 1; i < items.size(); ++i) w.Text(items[i]);
    w.EndArray().EndObject();
  }
  w.EndArray();
  std::string token;
  const std::string& p = s.parameterBlock;
  const bool tokenOk = TokenDescrambles(SUB::Field(p, 3, ""), token);
  w.BeginObject("parameters")
      .Text("updateServer", SUB::Field(p, 0, ""))
      .Text("infoFile", SUB::Field(p, 1, ""))
      .Text("agentFile", SUB::Field(p, 2, ""))
      .Text("storedToken", SUB::Field(p, 3, ""))
      .Text("buildToken", tokenOk ? token : "")
      .Bool("hidden", SUB::Field(p, 4, "") == "1")
      .EndObject();
  if (t.headerBlocks >= 3 && !s.continuation) {
    const std::string& web = s.webBlock;
    const bool webOk = TokenDescrambles(SUB::Field(web, 3, ""), token);
    w.BeginObject("web")
        .Text("address", SUB::Field(web, 0, ""))
        .Text("fileName", SUB::Field(web, 1, ""))
        .Bool("alwaysDownload", SUB::Field(web, 2, "") == "1")
        .Text("token", webOk ? token : "")
        .Text("fileSize", SUB::Field(web, 4, ""))
        .EndObject();
  }
  JsonEntries(w, s);
  w.BeginArray("disks");
  if (view.isSet) {
    for (const FileScan& d : view.disks) w.Text(d.path);
  }
  w.EndArray();
  w.Bool("sound", verdict.Sound()).BeginArray("problems");
  for (const std::string& problem : verdict.problems) w.Text(problem);
  w.EndArray().BeginArray("notes");
  for (const std::string& note : verdict.notes) w.Text(note);
  w.EndArray().EndObject();
  out << w.Str();
}

// The opening of the reading commands: help, options, then the set of the file named first;
// with needsTrailer a file without a trailer is refused as well. Nothing (go on) when view is
// ready, else the exit status.
std::optional<int> OpenSet(const CommandSpec& cmdSpec, const std::vector<std::string>& argv,
                           CliContext& context, ParsedArgs& args, SetView& view,
                           bool needsTrailer) {
  if (const auto exit = StartCommand(cmdSpec, argv, context, args)) return exit;
  std::string error;
  if (!LoadSet(args.Positional()[0], view, error)) return Fail(context, error);
  if (needsTrailer && !view.file.magicOk)
    return Fail(context, view.file.path + " is not an installer (no trailer)");
  return std::nullopt;
}

// One file that extraction creates, with its pieces gathered.
struct ListedFile {
  std::string name;
  uint64_t size = 0;
  uint32_t crc = 0;
  uint32_t dosTime = 0;
  int pieces = 0;
  bool engine = false;
  std::string arguments;
};

std::string FoldedName(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}

std::vector<ListedFile> GatherFiles(const std::vector<FileScan>& disks) {
  std::vector<ListedFile> files;
  std::map<std::string, size_t> index;  // Windows names ignore case
  for (const FileScan& d : disks) {
    for (const RecordScan& r : d.records) {
      if (r.isBlock || !r.hasHeader) continue;
      const auto [it, added] = index.emplace(FoldedName(r.info.name), files.size());
      if (added) files.push_back({r.info.name, 0, 0, 0, 0, false, ""});
      ListedFile& f = files[it->second];
      f.crc =
          static_cast<uint32_t>(crc32_combine(f.crc, r.crc32, static_cast<z_off_t>(r.contentSize)));
      f.size += r.contentSize;
      if (r.info.dosTime != 0) f.dosTime = r.info.dosTime;  // the last piece's time stays
      ++f.pieces;
      if (r.info.isEngine) {
        f.engine = true;
        f.arguments = r.info.extraArgs;
      }
    }
  }
  return files;
}

// Writes the entries of a walk into a folder: the first entry of a name creates the file, later
// ones append to it, and each sets the stored time, as the stub does.
class FolderSink : public payload::EntrySink {
 public:
  FolderSink(std::string folder, bool plainNames)
      : folder_(std::move(folder)), plainNames_(plainNames) {}

  void Begin(const payload::EntryInfo& entry) override {
    std::string name = entry.name;
    if (plainNames_ && name.size() > 6 && name[5] == '#' &&
        std::all_of(name.begin(), name.begin() + 5, [](char c) { return c >= '0' && c <= '9'; }))
      name = name.substr(6);
    const auto [it, added] =
        created_.emplace(FoldedName(name), Created{JoinPath(folder_, name), entry.name});
    path_ = it->second.path;
    if (!added && it->second.storedName != entry.name && error_.empty())
      error_ = entry.name + " and " + it->second.storedName + " both become " + name +
               " (extract without --plain-names)";
    dosTime_ = entry.dosTime;
    if (added) ++files_;
    out_.open(fs::path(path_), std::ios::binary | (added ? std::ios::trunc : std::ios::app));
    if (!out_ && error_.empty()) error_ = "cannot write " + path_;
  }
  void Data(const char* bytes, size_t size) override {
    out_.write(bytes, static_cast<std::streamsize>(size));
    bytes_ += size;
  }
  void End(bool ok, const std::string& why) override {
    out_.close();
    if (!out_ && error_.empty()) error_ = "cannot write " + path_;
    if (!ok && error_.empty()) error_ = path_ + ": " + why;
    if (ok && dosTime_ != 0) SetFileDosTime(path_, dosTime_);
    out_.clear();
  }

  const std::string& Error() const { return error_; }
  size_t Files() const { return files_; }
  uint64_t Bytes() const { return bytes_; }

 private:
  std::string folder_;
  bool plainNames_;
  struct Created {
    std::string path;
    std::string storedName;  // pieces of one file share it; other files must not
  };
  std::map<std::string, Created> created_;
  std::ofstream out_;
  std::string path_;
  uint32_t dosTime_ = 0;
  std::string error_;
  size_t files_ = 0;
  uint64_t bytes_ = 0;
};

}  // namespace

int CommandInspect(const std::vector<std::string>& argv, CliContext& context) {
  const CommandSpec cmdSpec{
      "inspect",
      "FILE [--json]",
      "Shows everything about an installer file: stub header, trailer and flags, checksum, the\n"
      "language, parameter and web blocks with the tokens descrambled, every entry (decoded to\n"
      "check it), and a verdict with the problems that would make the stub fail. For a launcher\n"
      "or a disk of a spanned set, the whole set is checked. Exit status 1 when there is a "
      "problem.",
      "",
      {kJsonOption, kHelpOption},
      1,
      1};
  ParsedArgs args;
  SetView view;
  if (const auto exit = OpenSet(cmdSpec, argv, context, args, view, false)) return *exit;
  const Verdict verdict = Judge(view);
  if (args.Has("json"))
    JsonInspect(context.out, view, verdict);
  else
    PrintInspect(context.out, view, verdict);
  return verdict.Sound() ? kExitOk : kExitFailed;
}

int CommandList(const std::vector<std::string>& argv, CliContext& context) {
  const CommandSpec cmdSpec{
      "list",
      "FILE [--json]",
      "Lists the files that extracting FILE (and the rest of its spanned set) creates: name, "
      "size,\n"
      "DOS time, CRC-32 of the contents and the number of entries each is stored in.",
      "",
      {kJsonOption, kHelpOption},
      1,
      1};
  ParsedArgs args;
  SetView view;
  if (const auto exit = OpenSet(cmdSpec, argv, context, args, view, true)) return *exit;
  const std::vector<ListedFile> files = GatherFiles(view.disks);
  if (args.Has("json")) {
    JsonWriter w;
    w.BeginArray();
    for (const ListedFile& f : files) {
      w.BeginObject()
          .Text("name", f.name)
          .Number("size", f.size)
          .Number("crc32", f.crc)
          .Number("dosTime", f.dosTime)
          .Text("time", payload::FormatDosDateTime(f.dosTime))
          .Number("pieces", static_cast<uint64_t>(f.pieces))
          .Bool("engine", f.engine)
          .Text("engineArguments", f.arguments)
          .EndObject();
    }
    w.EndArray();
    context.out << w.Str();
  } else {
    uint64_t total = 0;
    context.out << "         size  crc32       time                 pieces  name\n";
    for (const ListedFile& f : files) {
      context.out << Column(Grouped(f.size), 13) << "  " << Hex32(f.crc) << "  "
                  << payload::FormatDosDateTime(f.dosTime) << Column(std::to_string(f.pieces), 8)
                  << "  " << Printable(f.name);
      if (f.engine)
        context.out << "  [engine" << (f.arguments.empty() ? "" : ", arguments: " + f.arguments)
                    << "]";
      context.out << "\n";
      total += f.size;
    }
    context.out << files.size() << " files, " << Grouped(total) << " bytes\n";
  }
  return kExitOk;
}

int CommandVerify(const std::vector<std::string>& argv, CliContext& context) {
  const CommandSpec cmdSpec{
      "verify",
      "FILE",
      "Checks an installer (with the rest of its spanned set): trailer, checksum, every entry\n"
      "decoded, names, the engine. Prints the verdict; exit status 0 only when it is sound.",
      "",
      {{"quiet", 'q', "", "print nothing, only set the exit status"}, kHelpOption},
      1,
      1};
  ParsedArgs args;
  SetView view;
  if (const auto exit = OpenSet(cmdSpec, argv, context, args, view, false)) return *exit;
  const Verdict verdict = Judge(view);
  if (!args.Has("quiet")) {
    context.out << view.file.path << ": ";
    PrintVerdict(context.out, verdict);
  }
  return verdict.Sound() ? kExitOk : kExitFailed;
}

int CommandExtract(const std::vector<std::string>& argv, CliContext& context) {
  const CommandSpec cmdSpec{
      "extract",
      "FILE DIR [options]",
      "Extracts the files of an installer (and the rest of its spanned set) into DIR the way the\n"
      "stub does: pieces of one name joined, each file given its stored DOS time (read as local\n"
      "time). A file that fails its checksum is refused unless --force is given.",
      "",
      {{"plain-names", 0, "", "drop the \"00001#\" prefix of product files"},
       {"force", 0, "", "extract even when a checksum fails"},
       kHelpOption},
      2,
      2};
  ParsedArgs args;
  SetView view;
  if (const auto exit = OpenSet(cmdSpec, argv, context, args, view, true)) return *exit;
  if (!view.missing.empty()) return Fail(context, "the next disk " + view.missing + " is missing");
  for (const FileScan& d : view.disks) {
    if (!payload::ChecksumPasses(d.computedChecksum, d.trailer.checksum) && !args.Has("force"))
      return Fail(context, d.path + " fails its checksum (use --force to extract anyway)");
  }
  const std::string folder = args.Positional()[1];
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) return Fail(context, "cannot create " + folder + ": " + ec.message());
  FolderSink sink(folder, args.Has("plain-names"));
  payload::EntryWalker walker;
  for (const FileScan& d : view.disks) {
    const payload::FileSource file(d.path);
    payload::Trailer record{};
    payload::ReadTrailer(file, record);
    if (!walker.Walk(file, record, sink)) return Fail(context, d.path + ": " + walker.Error());
    if (!sink.Error().empty()) return Fail(context, sink.Error());
  }
  context.out << "extracted " << sink.Files() << " files, " << Grouped(sink.Bytes())
              << " bytes, into " << folder << "\n";
  if (!walker.EngineEntry().empty())
    context.out << "engine entry: " << walker.EngineEntry() << "\n";
  return kExitOk;
}

}  // namespace tarvopack
