// TestInstaller: small installers for the Wine tests, and the stub processes they start.
#include "TestInstaller.h"

#include <cstdint>

#include "WinTempFolder.h"
#include "WinTestSupport.h"
#include "payload/PayloadFormat.h"
#include "payload/PayloadWriter.h"

namespace wintest {
namespace {

std::string U32(std::uint32_t v) {
  std::string b(4, '\0');
  for (int i = 0; i < 4; ++i) b[static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return b;
}

std::string Block(const std::string& bytes) {
  return U32(static_cast<std::uint32_t>(bytes.size())) + bytes;
}

}  // namespace

bool WriteInstaller(const std::string& path, const InstallerSpec& recipe) {
  const std::string stub = TempFolder::Read(BesideTests("tarvostub.exe"));
  if (stub.empty()) return false;
  std::string error;
  payload::LanguageSection english{"English", recipe.language};
  const std::string language = payload::BuildLanguageBlock({english}, error);
  payload::ParameterFields parameters;
  parameters.agentFile = recipe.agentFile;
  const std::string parameterBlock = payload::BuildParameterBlock(parameters, error);
  if (language.empty() || parameterBlock.empty()) return false;

  payload::Trailer trailer{};
  trailer.format = 1;
  trailer.headerBlocks = 2;
  trailer.startOffset = static_cast<std::int32_t>(stub.size());
  trailer.magic = payload::kMagic;
  trailer.checksum = recipe.checksum;
  trailer.flags = recipe.flags;
  trailer.agent = recipe.agent ? 1 : 0;
  trailer.trailerSize = payload::kTrailerSize;
  const std::string file =
      stub + Block(language) + Block(parameterBlock) + payload::EncodeTrailer(trailer);

  const win::UniqueFile h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return h && WriteFile(h.get(), file.data(), static_cast<DWORD>(file.size()), &written, nullptr) &&
         written == file.size();
}

StubProcess::StubProcess(const std::string& commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                     &pi)) {
    process_.reset(pi.hProcess);
    CloseHandle(pi.hThread);
    id_ = pi.dwProcessId;
  }
}

StubProcess::~StubProcess() {
  Terminate();
}

DWORD StubProcess::WaitExit(DWORD timeoutMs) {
  if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0)
    return 0xFFFFFFFF;
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

bool StubProcess::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

void StubProcess::Terminate() {
  if (!Running()) return;
  TerminateProcess(process_.get(), 0xDEAD);
  WaitForSingleObject(process_.get(), 5000);
}

HWND WaitForWindowClass(const std::string& windowClass, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND found = FindWindowA(windowClass.c_str(), nullptr);
    if (found != nullptr || GetTickCount() - start > timeoutMs) return found;
    Sleep(50);
  }
}

}  // namespace wintest
