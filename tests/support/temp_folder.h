#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away: the run directory of a program under test.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace tarnwick::testing {

class TempFolder {
 public:
  TempFolder() {
    // create_directory fails on a name that exists, so a folder made here is this one's alone.
    std::random_device random;
    for (;;) {
      path_ = std::filesystem::temp_directory_path() / ("tarnwick-" + std::to_string(random()));
      if (std::filesystem::create_directory(path_)) break;
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
}

}  // namespace tarnwick::testing
