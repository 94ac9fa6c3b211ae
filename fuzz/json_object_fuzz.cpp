// JsonObject on arbitrary text: every reading operation on paths the input chooses, a few
// changes, and the rule that whatever it writes parses back to the same text.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/json_object.h"

namespace {

using tarnwick::JsonObject;

// The written text, parsed again, must write the same text: the program re-reads an element's
// text into a second object and relies on this.
void CheckRoundTrip(const JsonObject& json) {
  const std::string written = json.ToJson();
  if (written.empty()) return;
  JsonObject reread;
  reread.Parse("[" + written + "]");
  if (reread.ToJson() != "[" + written + "]") std::abort();
}

void ReadEverything(const JsonObject& json, const std::string& path, int index) {
  std::vector<std::string> names;
  json.GetText(path);
  json.GetText(path, true);
  json.GetJson(path);
  json.GetNumber(path);
  json.MemberCount(path);
  json.Has(path);
  json.TypeOf(path);
  json.MemberNames(names, path);
  json.GetElementText(index, path);
  json.GetElementText(index, path, true);
  CheckRoundTrip(json.GetObject(path));
  CheckRoundTrip(json.GetElementObject(index, path));
  if (json.MemberCount(path) != 0 && json.MemberCount(path) != static_cast<int>(names.size())) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string path = input.ConsumeRandomLengthString(64);
  const std::string value = input.ConsumeRandomLengthString(256);
  // Mostly near the ends of small arrays, sometimes far out (which must not claim memory).
  const int index = input.ConsumeBool() ? input.ConsumeIntegralInRange(-2, 64)
                                        : input.ConsumeIntegralInRange(-2, 1 << 30);
  const bool asJson = input.ConsumeBool();
  const std::string text = input.ConsumeRemainingBytesAsString();

  JsonObject json;
  json.Parse(text);
  CheckRoundTrip(json);
  ReadEverything(json, path, index);
  ReadEverything(json, "", index);

  JsonObject changed = json.GetObject(path);
  changed.SetText(path, value, asJson);
  changed.SetJson(path, value);
  changed.Push(value, path, asJson);
  changed.SetElement(index, value, asJson);
  changed.RemoveElement(index);
  CheckRoundTrip(changed);
  json.SetValue(value, asJson);
  CheckRoundTrip(json);
  return 0;
}
