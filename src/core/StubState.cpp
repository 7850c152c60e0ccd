// StubState: the process-wide state of a run.
#include "core/StubState.h"

#include <memory>

namespace {

std::unique_ptr<TGFileInfo> fileInfo;
bool autoUpdateProg = false;
std::string instanceMarker;
int exitCode = 0;

}  // namespace

const TGFileInfo& FileInfo() {
  static const TGFileInfo empty;
  return fileInfo ? *fileInfo : empty;
}

void CreateFileInfo(const std::string& programFullPath) {
  fileInfo = std::make_unique<TGFileInfo>(programFullPath);
  autoUpdateProg = fileInfo->IsAgent();
}

void FreeFileInfo() {
  fileInfo.reset();
}

bool ThisIs_AutoUpdateProg() {
  return autoUpdateProg;
}

const std::string& InstanceMarker() {
  return instanceMarker;
}

void SetInstanceMarker(const std::string& marker) {
  instanceMarker = marker;
}

int StubExitCode() {
  return exitCode;
}

void SetStubExitCode(int code) {
  exitCode = code;
}
