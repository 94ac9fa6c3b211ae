#include "support/linux_program.h"

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "support/paths.h"
#include "support/wide_text.h"

namespace tarnwick::testing {

std::string UnixPath(std::string_view windowsPath) {
  // Wine's own export: a plain Windows program has no way to ask this.
  using ToUnix = char*(CDECL*)(const wchar_t*);
  static const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) throw std::runtime_error("not running under Wine");
  char* unix = toUnix(Widen(windowsPath).c_str());
  if (!unix) throw std::runtime_error("no Linux path for " + std::string(windowsPath));
  std::string path(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

void StartLinuxProgram(std::string_view program, const std::vector<std::string>& arguments) {
  std::wstring commandLine = L"\"" + Widen(program) + L"\"";
  for (const std::string& argument : arguments) commandLine += L" \"" + Widen(argument) + L"\"";
  const std::wstring image = L"Z:" + Widen(program);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(image.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    throw std::runtime_error("could not start " + std::string(program));
  }
  // For a Linux program Wine hands back no handles: the fields hold whatever its stack held, and
  // closing them would close some other handle of this process (a socket, a thread).
}

bool RunLinuxShell(const std::string& command, const std::string& scratchFolder,
                   int timeoutSeconds) {
  const std::filesystem::path status = Utf8Path(scratchFolder) / "shell-status";
  std::filesystem::remove(status);
  const std::string unixStatus = UnixPath(scratchFolder) + "/shell-status";
  // The status file appears whole or not at all.
  StartLinuxProgram("/bin/sh",
                    {"-c", "(" + command + "); echo $? > '" + unixStatus + ".part' && mv '" +
                               unixStatus + ".part' '" + unixStatus + "'"});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (!std::filesystem::exists(status)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::ifstream file(status);
  int code = -1;
  file >> code;
  return code == 0;
}

}  // namespace tarnwick::testing
