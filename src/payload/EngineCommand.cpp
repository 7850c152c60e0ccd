// EngineCommand: the engine's command line and the names of the hand-off atom and dialog class.
#include "payload/EngineCommand.h"

#include "util/Utils.h"

std::string ThreadTag(std::uint32_t threadId) {
  return "_" + std::to_string(threadId);
}

std::string HandOffAtomName(const std::string& threadTag) {
  return "AutoUpdateAtomTokenByTarvo" + threadTag;
}

std::string EngineDialogClass(const std::string& threadTag) {
  return ".SDialog_Class_Name." + threadTag;
}

std::string RemoveSwitch(const std::string& text, const std::string& sw) {
  if (sw.empty()) return text;
  const std::size_t at = text.find(sw);
  if (at == std::string::npos) return text;
  // The switch's own "/" goes first; then everything up to the next switch.
  std::size_t end = at + 1;
  while (end < text.size() && text[end] != '/') ++end;
  return text.substr(0, at) + text.substr(end);
}

std::string EngineFileName(const std::string& engineEntry) {
  return Trim(engineEntry.substr(0, engineEntry.find('*')));
}

std::string EngineArguments(const std::string& engineEntry, const std::string& arguments) {
  const std::size_t star = engineEntry.find('*');
  if (star == std::string::npos) return Trim(arguments);
  return Trim(arguments + " " + Trim(engineEntry.substr(star + 1)));
}

std::string EngineCommandLine(const EngineLaunch& launch) {
  std::string cmd = SetTrailingBackslash(launch.folder, true) + EngineFileName(launch.engineEntry);
  const std::string arguments = EngineArguments(launch.engineEntry, launch.arguments);
  if (!arguments.empty()) cmd += " " + arguments;
  cmd += " /TH_ID=" + launch.threadTag;
  if (cmd.find("/OriginExe=") == std::string::npos)
    cmd += " /OriginExe=\"" + launch.programPath + "\"";
  if (launch.autoUpdateProg) cmd += " /AutoUpdateProg";
  cmd = RemoveSwitch(cmd, "/SpanCdLvl=");
  return RemoveSwitch(cmd, "/SpanDiskFName1=");
}
