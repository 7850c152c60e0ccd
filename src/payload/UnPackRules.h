// UnPackRules: the portable rules of the extraction: the file names of a spanned set's disks,
// the disk prompt, the texts of the failure reports, and the update-agent copy's bytes.
#pragma once

#include <cstdint>
#include <string>

#include "payload/PayloadFormat.h"

// The stub's exit code when its setup file is damaged (failed checksum, broken entry): the
// system's code for a corrupt file, so that a caller never takes the run for a success.
constexpr int kDamagedSetupExitCode = 1392;

// The source file without a final ".001" (exact case): the base the further disks are named on.
std::string SpanBaseName(const std::string& sourceFile);
// base, "." and the disk number with at least three digits: Setup.exe.002 for disk 2.
std::string DiskFileName(const std::string& base, int disk);
// The prompt with every "<DISK_NUM>" (any letter case) replaced by the disk number.
std::string DiskPromptText(const std::string& prompt, int disk);

// What the first failed write reports: the system's text for the error, then the content's
// size, the size of the file now at the path and the free bytes of its drive (no fractions).
std::string WriteFailureReport(const std::string& systemError, std::uint64_t dataSize,
                               std::int64_t fileSize, double bytesFree);
// The box texts: what failed, then the reason.
std::string WriteFailureText(const std::string& path, const std::string& report);
std::string CreateFolderFailureText(const std::string& folder, const std::string& systemError);
// A setup file whose data cannot be read back (a damaged stream, an unsafe entry name).
std::string DamagedSetupText(const std::string& sourceFile, const std::string& why);

// An update-agent copy is cut from files named *.exe or *.exe.001 only (any letter case).
bool IsAgentSource(const std::string& sourceFile);
// The agent copy of an installer: head holds its first bytes up to where the entries begin (the
// stub and the header blocks); the real end at 0xFC is cleared, and the record follows with the
// agent flag set and a trailer size of 74. No entries.
std::string AgentImage(std::string head, payload::Trailer record);
