#pragma once
// The sample pictures that the desktop program offers as default addresses in its input boxes.
// When the program is pointed at this service, those addresses lead here, so a user who presses
// OK on a default recognises real text. Read once from the sample folder at start.

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace tarnwick::service {

struct SamplePicture {
  const char* path;  // the address path the program offers
  const char* file;  // in the sample folder
};

extern const SamplePicture kSamplePictures[7];

class SamplePictures {
 public:
  // Files that are missing are left out; the service still runs without them.
  explicit SamplePictures(const std::filesystem::path& folder);

  const std::string* Find(const std::string& path) const;
  std::size_t size() const { return bytes_.size(); }

 private:
  std::map<std::string, std::string> bytes_;  // by path
};

}  // namespace tarnwick::service
