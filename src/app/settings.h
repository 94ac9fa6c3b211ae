#pragma once
// The settings file beside the program: an INI file in GBK that keeps the user's keys, the
// cached access token and a few options between runs. Values are read and written one key at
// a time, the moment they are needed or change; every other line of the file stays as it was.
//
// A write replaces the file in one step (a new file renamed over the old), so the keys are
// never left truncated or half-written, and a new file is readable by its owner only. Where
// the folder refuses new files but the file itself may be written, the file is rewritten in
// place. A file that is there but cannot be read is never written over.

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick {

inline constexpr char kSettingsFileName[] = "百度ocr_config.ini";

class SettingsFile {
 public:
  explicit SettingsFile(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& path() const { return path_; }

  // The stored value, or `fallback` when the file, the section or the key is missing.
  std::string ReadSetting(std::string_view section, std::string_view key,
                          std::string_view fallback = {}) const;
  // Stores the value, creating the file, the section and the key as needed. A failed write is
  // not reported: the caller's option still takes effect for this run.
  bool WriteSetting(std::string_view section, std::string_view key, std::string_view value);

 private:
  std::filesystem::path path_;
};

}  // namespace tarnwick
