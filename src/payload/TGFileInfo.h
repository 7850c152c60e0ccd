// Own-file reader: the trailer and header blocks of an installer file, and the answers drawn from
// them.
#pragma once

#include <cstdint>
#include <string>

#include "payload/ByteSource.h"
#include "payload/PayloadFormat.h"

// Reads everything it needs while it is made and keeps no file open. A missing file gives an empty
// instance; a wrong magic keeps the trailer bytes but reads no blocks; a block cut short by the end
// of the file keeps what was there.
class TGFileInfo {
 public:
  TGFileInfo() = default;
  explicit TGFileInfo(const std::string& fileName);
  // Reads an image from any source (an open file, bytes in memory).
  explicit TGFileInfo(const payload::ByteSource& file);

  // The trailer as read; its start offset has been moved past the header blocks that were read.
  const payload::Trailer& Record() const { return trailer_; }
  uint32_t FilesCount() const { return trailer_.filesCount; }
  const std::string& LanguageBlock() const { return langBlock_; }
  const std::string& ParameterBlock() const { return paramBlock_; }
  const std::string& WebBlock() const { return webBlock_; }

  bool ShowTempNotice() const { return (trailer_.flags & payload::kFlagTempNotice) != 0; }
  bool HasNextDisk() const { return (trailer_.flags & payload::kFlagNextDisk) != 0; }
  bool IsSpanFirstLevel() const { return (trailer_.flags & payload::kFlagSpanFirstLevel) != 0; }
  bool ShowActivityBar() const { return (trailer_.flags & payload::kFlagActivityBar) != 0; }
  bool IsLogEnabled() const { return (trailer_.flags & payload::kFlagAgentLog) != 0; }
  bool IsWebInstaller() const { return trailer_.webInstaller != 0; }
  bool AskBeforeDownload() const { return trailer_.askBeforeDownload != 0; }
  bool MakesAgent() const { return trailer_.makeAgent != 0; }
  bool IsAgent() const { return trailer_.agent != 0; }

  // Parameter block.
  std::string GetUpdateServer() const;
  std::string GetInfoFileName() const;
  std::string GetOriginalFileName() const;
  std::string GetAgentFileName() const;
  std::string GetBuildToken(bool descramble) const;
  bool IsHidden() const;

  // Web block.
  std::string GetWebAddress() const;
  std::string GetWebFileName() const;
  bool IsWebAlwaysDownload() const;
  std::string GetWebToken(bool descramble) const;
  std::string GetWebFileSize() const;

  // The required-space element that fits the cluster size of folder's drive (element 0 when
  // unknown).
  double GetRequiredSpace(const std::string& folder) const;
  // The same for a given cluster size: element i for the largest i in 1..8 with 256 << i <=
  // clusterSize.
  double RequiredSpaceForCluster(uint32_t clusterSize) const;

  // The descrambled web tokens of both files are equal (false as a rule when either fails to
  // descramble).
  bool SameWebToken(const TGFileInfo& other) const;

  // Language lookups over this file's language block (the section is chosen once per process).
  std::string GetLangString(const std::string& key, const std::string& def) const;
  int GetLangCharset() const;
  int GetLangFontSize() const;
  std::string GetLangFontName() const;

 private:
  void Read(const payload::ByteSource& file);

  payload::Trailer trailer_{};
  std::string langBlock_;
  std::string paramBlock_;
  std::string webBlock_;
};
