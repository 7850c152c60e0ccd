// Files, portable rules: the piece size of large writes, the root a free-space query asks about,
// path joining and the text of the self-deletion script.
#pragma once

#include <cstdint>
#include <string>

// Data up to this many bytes is written in one call; longer data in pieces.
constexpr std::int64_t kWholeWriteLimit = 1048576;

// A tenth of total, at most 1 MiB; when a tenth would be 1024 bytes or less, 1024 bytes or total
// when that is smaller.
std::int64_t WriteChunkSize(std::int64_t total);

// "/" becomes "\". Empty path: empty. Forced, or a path shorter than 3 characters: the upper-case
// first character and ":\". Otherwise the path cut before its fourth "\" (a network path keeps
// its server and share), or the whole path when it has fewer.
std::string DriveRootOf(const std::string& path, bool forceLetter);

// folder and name with exactly one "\" between them ("C:\" + "a" gives "C:\a").
std::string JoinPath(const std::string& folder, const std::string& name);

// The script's name inside the temporary folder.
constexpr const char* kDeleteMeScriptName = "_DEL_ME_.BAT";

// A path as the command interpreter reads it literally inside a batch file: in double quotes,
// each "%" doubled so that no part of it is taken as a variable.
std::string BatchQuoted(const std::string& path);

// The self-deletion script, lines ending with CR LF: a loop that force-deletes the program file
// until it is gone, with removeFolder the removal of its (then empty) folder, and finally the
// deletion of the script itself.
std::string DeleteMeScript(const std::string& programFile, const std::string& programFolder,
                           const std::string& scriptFile, bool removeFolder);
