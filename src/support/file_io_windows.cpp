#include <windows.h>

#include <algorithm>

#include <atomic>

#include "support/file_io.h"

namespace tarnwick {
namespace {

// Closes the handle when the scope ends, whichever way it ends.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (ok()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool Close() {
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

bool IsDiskFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  for (std::size_t written = 0; written < bytes.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 20));
    DWORD n = 0;
    if (!WriteFile(file, bytes.data() + written, chunk, &n, nullptr) || n == 0) return false;
    written += n;
  }
  return true;
}

bool TruncateAt(HANDLE file, std::size_t size) {
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

bool IsRefusedFolder(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
}

}  // namespace

FileRead ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) {
    const DWORD error = GetLastError();
    return {error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                ? FileRead::State::Missing
                : FileRead::State::Unreadable,
            {}};
  }
  FileRead contents;
  LARGE_INTEGER size{};
  if (IsDiskFile(file.get()) && GetFileSizeEx(file.get(), &size) &&
      static_cast<unsigned long long>(size.QuadPart) <= maxBytes) {
    contents.bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[65536];
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) break;
      if (got == 0) {
        contents.state = FileRead::State::Read;
        break;
      }
      if (contents.bytes.size() + got > maxBytes) break;
      contents.bytes.append(buffer, got);
    }
  }
  if (contents.state != FileRead::State::Read) contents.bytes.clear();
  return contents;
}

Replaced ReplaceFileWhole(const std::filesystem::path& path, std::string_view bytes) {
  // A name no other writer uses: this process's id and a counter.
  static std::atomic<unsigned> counter{0};
  const std::wstring temporary = path.wstring() + L"." + std::to_wstring(GetCurrentProcessId()) +
                                 L"-" + std::to_wstring(counter++);
  FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) return IsRefusedFolder(GetLastError()) ? Replaced::NoRoomBeside : Replaced::No;
  bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  ok = file.Close() && ok;
  if (ok) {
    ok = MoveFileExW(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) DeleteFileW(temporary.c_str());
  return ok ? Replaced::Yes : Replaced::No;
}

bool RewriteFileInPlace(const std::filesystem::path& path, std::string_view bytes,
                        std::string_view previous) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok() || !IsDiskFile(file.get())) return false;
  bool ok = WriteAll(file.get(), bytes) && TruncateAt(file.get(), bytes.size()) &&
            FlushFileBuffers(file.get());
  if (!ok && TruncateAt(file.get(), 0)) {
    WriteAll(file.get(), previous);
  }
  return file.Close() && ok;
}

std::filesystem::path ExecutableFolder() {
  // Long paths: grow the buffer until the whole name fits.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) break;
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);
  }
  std::error_code error;
  return std::filesystem::current_path(error);
}

}  // namespace tarnwick
