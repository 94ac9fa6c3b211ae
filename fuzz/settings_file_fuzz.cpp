// The settings file on arbitrary contents: a write stores one value that reads back as
// written, leaves every other key's value as it was, and changes no line but its own (it may
// add its section and key).

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/settings.h"
#include "support/gbk_text.h"

namespace {

// Names as the program uses them, and names whose GBK bytes look like "]" or ASCII letters.
const char* const kSections[] = {"参数", "勾选", "乚节", "Other", "other"};
const char* const kKeys[] = {"apikey", "APIKEY", "SecretKey", "延迟ms", "丄", "乤", "k"};

std::filesystem::path ScratchFile() {
  static const std::filesystem::path path = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "settings-fuzz-XXXXXX").string();
    return std::filesystem::path(mkdtemp(pattern.data())) / "config.ini";
  }();
  return path;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    const bool ended = end != std::string::npos;
    if (!ended) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (ended && !line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// What a value reads back as: GBK's view of it, on one line, without surrounding blanks.
std::string Expected(const std::string& value) {
  std::string text;
  for (const char c : tarnwick::NormalizeToGbk(value)) {
    if (c != '\r' && c != '\n') text += c;
  }
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.PickValueInArray(kSections);
  const std::string key = input.PickValueInArray(kKeys);
  const std::string otherSection = input.PickValueInArray(kSections);
  const std::string otherKey = input.PickValueInArray(kKeys);
  const std::string value = input.ConsumeRandomLengthString(64);
  const std::string contents = input.ConsumeRemainingBytesAsString();

  const std::filesystem::path path = ScratchFile();
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << contents;
  }
  tarnwick::SettingsFile settings(path);
  const auto fold = [](std::string name) {
    for (char& c : name) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return name;
  };
  const bool sameKey = fold(section) == fold(otherSection) && fold(key) == fold(otherKey);
  const std::string otherBefore = settings.ReadSetting(otherSection, otherKey, "<none>");

  if (!settings.WriteSetting(section, key, value)) std::abort();
  if (settings.ReadSetting(section, key, "<none>") != Expected(value)) std::abort();
  if (!sameKey && settings.ReadSetting(otherSection, otherKey, "<none>") != otherBefore) {
    std::abort();
  }

  // The old lines, in order, with at most one replaced and at most two added.
  const std::vector<std::string> before = Lines(contents);
  const std::vector<std::string> after = Lines(ReadAll(path));
  if (after.size() < before.size() || after.size() > before.size() + 2) std::abort();
  std::size_t differing = 0;
  for (std::size_t i = 0, j = 0; i < before.size(); ++j) {
    if (j >= after.size()) std::abort();
    if (before[i] == after[j]) {
      ++i;
    } else if (after.size() - j > before.size() - i) {
      ++differing;  // an added line
    } else {
      ++differing;  // the replaced line
      ++i;
    }
  }
  if (differing > 2) std::abort();
  return 0;
}
