// EngineCommand: the installer engine's side of the hand-off, as text: its command line, the
// thread tag, the names of the hand-off atom and of the engine's dialog class, and RemoveSwitch.
#pragma once

#include <cstdint>
#include <string>

// "_" and the thread id in decimal: ties the atom and the dialog class to this one stub.
std::string ThreadTag(std::uint32_t threadId);
// The global atom the stub adds before the start and the engine deletes on success.
std::string HandOffAtomName(const std::string& threadTag);
// The class of a dialog the engine may leave open after its process has ended.
std::string EngineDialogClass(const std::string& threadTag);

// Text without the first occurrence (exact case) of sw and its value: from the switch on,
// characters go until the next "/" or the end. The blank before the switch stays.
std::string RemoveSwitch(const std::string& text, const std::string& sw);

// The engine's file name in the extraction folder: the entry's name field before "*", trimmed.
std::string EngineFileName(const std::string& engineEntry);
// arguments, a blank and the entry's text after "*", trimmed (arguments alone when none).
std::string EngineArguments(const std::string& engineEntry, const std::string& arguments);

struct EngineLaunch {
  std::string folder;       // the extraction folder
  std::string engineEntry;  // the engine entry's name field, "*" and extra text included
  std::string arguments;    // the stub's own argument text (or what the caller passes instead)
  std::string threadTag;
  std::string programPath;  // the stub's own full path, for "/OriginExe="
  bool autoUpdateProg = false;
};

// The engine's command line: folder\engine (unquoted), the arguments with the entry's extra text,
// " /TH_ID=" and the tag, " /OriginExe=" with the quoted program path unless the line has one,
// " /AutoUpdateProg" for an update agent; then without "/SpanCdLvl=" and "/SpanDiskFName1=".
std::string EngineCommandLine(const EngineLaunch& launch);
