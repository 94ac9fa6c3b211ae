#pragma once
// Linux programs started from the Windows test build under Wine (Windows only). Wine runs a
// Linux program given by its "Z:\" path, but hands back no process to wait for, so a caller
// learns of its end from what the program leaves behind.

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::testing {

// The Linux path of a Windows path (UTF-8 both); throws when Wine cannot map it.
std::string UnixPath(std::string_view windowsPath);

// Starts `program` (a Linux path) with `arguments` and returns at once; throws when it cannot
// be started.
void StartLinuxProgram(std::string_view program, const std::vector<std::string>& arguments);

// Runs a /bin/sh command line and waits (up to `timeoutSeconds`) for it to end: true when it
// ended with status 0. `scratchFolder` (a Windows path) receives a file for its exit status.
bool RunLinuxShell(const std::string& command, const std::string& scratchFolder,
                   int timeoutSeconds);

}  // namespace tarnwick::testing
