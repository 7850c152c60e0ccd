// PayloadWriter: dates, header blocks, entry records, trailer and required space (see
// PayloadWriter.h).
#include "payload/PayloadWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace payload {

namespace {

constexpr uint64_t kMaxU32 = std::numeric_limits<uint32_t>::max();
constexpr uint64_t kMaxRecordData = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());

void PutU32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool HasSeparator(const std::string& text) {
  return text.find(kLangSectionSep) != std::string::npos ||
         text.find(kLangItemSep) != std::string::npos;
}

uint64_t RoundUp(uint64_t size, uint64_t cluster) {
  return (size + cluster - 1) / cluster * cluster;
}

uint32_t Saturate(uint64_t value) {
  return static_cast<uint32_t>(std::min(value, kMaxU32));
}

}  // namespace

// ---- Dates -------------------------------------------------------------------------------

uint32_t PackDosDateTime(const CalendarTime& t) {
  if (t.year < 1980) return (1u << 5 | 1u) << 16;  // 1980-01-01 00:00:00
  if (t.year > 2107) return PackDosDateTime({2107, 12, 31, 23, 59, 59});
  const uint32_t date = static_cast<uint32_t>((t.year - 1980) << 9 | t.month << 5 | t.day);
  const uint32_t time = static_cast<uint32_t>(t.hour << 11 | t.minute << 5 | t.second / 2);
  return date << 16 | time;
}

bool UnpackDosDateTime(uint32_t packed, CalendarTime& t) {
  const uint32_t date = packed >> 16;
  const uint32_t time = packed & 0xFFFF;
  t.year = static_cast<int>(1980 + (date >> 9));
  t.month = static_cast<int>((date >> 5) & 0x0F);
  t.day = static_cast<int>(date & 0x1F);
  t.hour = static_cast<int>(time >> 11);
  t.minute = static_cast<int>((time >> 5) & 0x3F);
  t.second = static_cast<int>((time & 0x1F) * 2);
  return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.hour <= 23 && t.minute <= 59 &&
         t.second <= 59;
}

std::string FormatDosDateTime(uint32_t packed) {
  CalendarTime t;
  if (!UnpackDosDateTime(packed, t)) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

// ---- Header blocks -----------------------------------------------------------------------

std::string BuildLanguageBlock(const std::vector<LanguageSection>& sections, std::string& error) {
  error.clear();
  std::string block(1, kLangSectionSep);
  for (const LanguageSection& section : sections) {
    if (section.name.empty() || HasSeparator(section.name)) {
      error = "language name \"" + section.name + "\" is empty or holds a byte 1 or 2";
      return "";
    }
    std::string list(1, kLangItemSep);
    list += section.name;
    list.push_back(kLangItemSep);
    for (const auto& [key, value] : section.items) {
      if (key.empty() || key.find('=') != std::string::npos || HasSeparator(key)) {
        error = "language " + section.name + ": key \"" + key +
                "\" is empty or holds \"=\" or a byte 1 or 2";
        return "";
      }
      if (HasSeparator(value)) {
        error = "language " + section.name + ": the value of " + key + " holds a byte 1 or 2";
        return "";
      }
      list += key + "=" + value;
      list.push_back(kLangItemSep);
    }
    block += list;
    block.push_back(kLangSectionSep);
  }
  if (block.size() > kMaxU32) {
    error = "the language block is larger than 4 GiB";
    return "";
  }
  return block;
}

std::string CheckFieldText(const std::string& what, const std::string& text) {
  if (text.find(kFieldSep) != std::string::npos) return what + " must not contain \"|\"";
  if (text.find('\0') != std::string::npos) return what + " must not contain a byte 0";
  return "";
}

std::string BuildParameterBlock(const ParameterFields& f, std::string& error) {
  for (const auto& [what, text] :
       {std::pair<std::string, const std::string&>{"the update server", f.updateServer},
        {"the info file name", f.infoFile},
        {"the agent file name", f.agentFile},
        {"the scrambled token", f.scrambledToken}}) {
    error = CheckFieldText(what, text);
    if (!error.empty()) return "";
  }
  return "|" + f.updateServer + "|" + f.infoFile + "|" + f.agentFile + "|" + f.scrambledToken +
         "|" + (f.hidden ? "1" : "0") + "|";
}

std::string BuildWebBlock(const WebFields& f, std::string& error) {
  for (const auto& [what, text] :
       {std::pair<std::string, const std::string&>{"the web address", f.address},
        {"the web file name", f.fileName},
        {"the web token", f.scrambledToken},
        {"the web file size", f.fileSize}}) {
    error = CheckFieldText(what, text);
    if (!error.empty()) return "";
  }
  return "|" + f.address + "|" + f.fileName + "|" + (f.alwaysDownload ? "1" : "0") + "|" +
         f.scrambledToken + "|" + f.fileSize + "|";
}

// ---- Entries -----------------------------------------------------------------------------

std::string CheckEntryName(const std::string& name) {
  if (name.empty()) return "a file name is empty";
  if (name == "." || name == "..") return "\"" + name + "\" is not a file name";
  for (char c : name) {
    const auto b = static_cast<uint8_t>(c);
    if (b < 32) return "file name \"" + name + "\" holds a control character";
    if (std::strchr("\\/:*?\"<>|", c) != nullptr)
      return "file name \"" + name + "\" holds \"" + std::string(1, c) +
             "\" (names are plain file names; \"*\" only marks the engine)";
  }
  if (name.front() == ' ' || name.back() == ' ' || name.back() == '.')
    return "file name \"" + name + "\" starts or ends with a blank or ends with a dot";
  return "";
}

std::string EntryHeader(const std::string& name, uint32_t dosTime) {
  return "|" + name + "|" + std::to_string(dosTime) + "|";
}

bool EncodeEntryRecord(const std::string& decoded, int level, std::string& record) {
  record.clear();
  if (decoded.size() > kMaxRecordData) return false;
  if (level > 0) {
    z_stream z{};
    // Raw deflate with our own header: zlib would write 0x78 0x5E/0x9C/0xDA above level 1, and
    // the format asks for 0x78 0x01 whatever the level.
    if (deflateInit2(&z, std::min(level, 9), Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      return false;
    const uLong bound = deflateBound(&z, static_cast<uLong>(decoded.size()));
    std::string stream(6 + bound, '\0');
    stream[0] = '\x78';
    stream[1] = '\x01';
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(decoded.data()));
    z.avail_in = static_cast<uInt>(decoded.size());
    z.next_out = reinterpret_cast<Bytef*>(stream.data() + 2);
    z.avail_out = static_cast<uInt>(bound);
    const int rc = deflate(&z, Z_FINISH);
    const size_t produced = z.total_out;
    deflateEnd(&z);
    if (rc != Z_STREAM_END) return false;
    const uLong adler =
        adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(decoded.data()),
                static_cast<uInt>(decoded.size()));
    stream.resize(2 + produced);
    for (int shift = 24; shift >= 0; shift -= 8)
      stream.push_back(static_cast<char>((adler >> shift) & 0xFF));  // Adler-32 is big-endian
    if (stream.size() < decoded.size()) {
      PutU32(record, static_cast<uint32_t>(stream.size()));
      record += stream;
      return true;
    }
  }
  PutU32(record, static_cast<uint32_t>(-static_cast<int64_t>(decoded.size())));
  record += decoded;
  return true;
}

// ---- Trailer and required space --------------------------------------------------------

RequiredSpace ComputeRequiredSpace(const std::vector<uint64_t>& fileSizes, uint64_t extraBytes) {
  RequiredSpace space{};
  for (size_t i = 0; i < space.size(); ++i) {
    const uint64_t cluster = i == 0 ? 1 : 256ull << i;
    uint64_t sum = 0;
    for (uint64_t size : fileSizes)
      sum = std::min(sum + RoundUp(std::min(size, kMaxU32 + 1), cluster), kMaxU32 + 1);
    sum = std::min(sum + RoundUp(std::min(extraBytes, kMaxU32 + 1), cluster), kMaxU32 + 1);
    space[i] = Saturate(sum);
  }
  return space;
}

std::string EncodeTrailer(const Trailer& trailer) {
  std::string bytes(kTrailerSize, '\0');
  std::memcpy(bytes.data(), &trailer, kTrailerSize);
  return bytes;
}

Trailer DecodeTrailer(const std::string& bytes) {
  Trailer trailer{};
  if (bytes.size() == kTrailerSize) std::memcpy(&trailer, bytes.data(), kTrailerSize);
  return trailer;
}

std::string CheckStubImage(const std::string& stub) {
  if (stub.size() < kPeSignatureOffset + 4) return "the stub is too short to be a program";
  if (stub[0] != 'M' || stub[1] != 'Z') return "the stub does not start with \"MZ\"";
  if (stub.compare(kPeSignatureOffset, 4, std::string("PE\0\0", 4)) != 0)
    return "the stub's PE signature is not at offset 0x100";
  for (size_t at = kBuildBytesOffset; at < kPeSignatureOffset; ++at) {
    if (stub[at] != '\0')
      return "the stub's bytes 0x90..0xFF are not zero (is it an installer already?)";
  }
  if (stub.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    return "the stub is larger than 2 GiB";
  return "";
}

}  // namespace payload
