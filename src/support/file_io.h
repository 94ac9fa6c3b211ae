#pragma once
// The few file operations whose safety depends on the operating system: reading a file only
// when it is a regular file of bounded size, and replacing a file without ever leaving it
// half-written, and finding the program's own folder. file_io_posix.cpp and file_io_windows.cpp
// hold the two systems' versions.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick {

// What reading found: the bytes, no file at all, or a file that is there but could not be read
// (no permission, not a regular file, larger than allowed, a read error). Callers that write
// the file back must tell the last two apart: an unreadable file must never be replaced.
struct FileRead {
  enum class State { Read, Missing, Unreadable } state = State::Unreadable;
  std::string bytes;  // empty unless Read
};

// Never blocks on a pipe or device put where a file was expected.
FileRead ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes);

enum class Replaced { Yes, NoRoomBeside, No };

// Writes a new file beside `path` and renames it over `path`, keeping the old file's
// permissions. NoRoomBeside: the folder refuses new files (the file itself may still be
// writable).
Replaced ReplaceFileWhole(const std::filesystem::path& path, std::string_view bytes);

// Overwrites the regular file at `path` in place; should the write break off, `previous` is
// put back as far as the disk allows.
bool RewriteFileInPlace(const std::filesystem::path& path, std::string_view bytes,
                        std::string_view previous);

// The folder of the running program's executable; the current folder when that cannot be
// told.
std::filesystem::path ExecutableFolder();

}  // namespace tarnwick
