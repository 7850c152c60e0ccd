// Own-file reader: the trailer and header blocks of an installer file, and the answers drawn from
// them.
#include "payload/TGFileInfo.h"

#include <algorithm>
#include <climits>

#include "payload/ClusterSize.h"
#include "payload/Token.h"
#include "payload/TrailerReader.h"
#include "ui/LangStrings.h"
#include "util/KSUB.h"

namespace {

constexpr int kRequiredSpaceElements = 9;

// One u32-length block at *position, cut short where the file ends; *position moves past it.
std::string ReadBlock(const payload::ByteSource& file, int64_t* position) {
  const uint64_t size = file.Size();
  const auto at = static_cast<uint64_t>(*position);
  if (at >= size || size - at < 4) {
    *position = static_cast<int64_t>(std::max<uint64_t>(at, size));
    return std::string();
  }
  const uint64_t declared = payload::ReadU32At(file, at);
  const uint64_t available = size - at - 4;
  std::string block(static_cast<size_t>(std::min(declared, available)), '\0');
  block.resize(file.ReadAt(at + 4, block.data(), block.size()));
  *position = static_cast<int64_t>(at + 4 + std::min(declared, available));
  return block;
}

// The part after the last folder separator or drive colon.
std::string FileNamePart(const std::string& path) {
  const size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

TGFileInfo::TGFileInfo(const std::string& fileName) {
  const payload::FileSource file(fileName);
  if (file.IsOpen()) Read(file);
}

TGFileInfo::TGFileInfo(const payload::ByteSource& file) {
  Read(file);
}

void TGFileInfo::Read(const payload::ByteSource& file) {
  payload::ReadTrailer(file, trailer_);
  if (trailer_.magic != payload::kMagic || trailer_.startOffset < 0) return;
  int64_t position = trailer_.startOffset;
  langBlock_ = ReadBlock(file, &position);
  paramBlock_ = ReadBlock(file, &position);
  if (trailer_.headerBlocks >= 3) webBlock_ = ReadBlock(file, &position);
  trailer_.startOffset = static_cast<int32_t>(std::min<int64_t>(position, INT32_MAX));
}

std::string TGFileInfo::GetUpdateServer() const {
  return SUB::Field(paramBlock_, 0, "");
}

std::string TGFileInfo::GetInfoFileName() const {
  return FileNamePart(SUB::Field(paramBlock_, 1, ""));
}

std::string TGFileInfo::GetOriginalFileName() const {
  const std::string name = GetInfoFileName();
  return name.substr(0, name.find('.')) + ".original";
}

std::string TGFileInfo::GetAgentFileName() const {
  return SUB::Field(paramBlock_, 2, "");
}

std::string TGFileInfo::GetBuildToken(bool descramble) const {
  const std::string token = SUB::Field(paramBlock_, 3, "");
  return descramble ? payload::DescrambleToken(token) : token;
}

bool TGFileInfo::IsHidden() const {
  return SUB::Field(paramBlock_, 4, "") == "1";
}

std::string TGFileInfo::GetWebAddress() const {
  return SUB::Field(webBlock_, 0, "");
}

std::string TGFileInfo::GetWebFileName() const {
  return SUB::Field(webBlock_, 1, "");
}

bool TGFileInfo::IsWebAlwaysDownload() const {
  return SUB::Field(webBlock_, 2, "") == "1";
}

std::string TGFileInfo::GetWebToken(bool descramble) const {
  const std::string token = SUB::Field(webBlock_, 3, "");
  return descramble ? payload::DescrambleToken(token) : token;
}

std::string TGFileInfo::GetWebFileSize() const {
  return SUB::Field(webBlock_, 4, "");
}

double TGFileInfo::GetRequiredSpace(const std::string& folder) const {
  return RequiredSpaceForCluster(payload::GetClusterSize(folder));
}

double TGFileInfo::RequiredSpaceForCluster(uint32_t clusterSize) const {
  uint32_t result = trailer_.requiredSpace[0];
  for (int i = 1; i < kRequiredSpaceElements; ++i) {
    if (clusterSize >= (256u << i)) result = trailer_.requiredSpace[i];
  }
  return static_cast<double>(result);
}

bool TGFileInfo::SameWebToken(const TGFileInfo& other) const {
  return GetWebToken(true) == other.GetWebToken(true);
}

std::string TGFileInfo::GetLangString(const std::string& key, const std::string& def) const {
  return ::GetLangString(langBlock_, key, def);
}

int TGFileInfo::GetLangCharset() const {
  return ::GetLangCharset(langBlock_);
}

int TGFileInfo::GetLangFontSize() const {
  return ::GetLangFontSize(langBlock_);
}

std::string TGFileInfo::GetLangFontName() const {
  return ::GetLangFontName(langBlock_);
}
