#pragma once
// JsonObject holds one JSON value, its root, and answers questions about it by member path
// ("words_result[0].words"): texts, numbers, sub-objects, array elements, member names and the
// compact JSON text. It never throws and never reports errors: a failure gives the empty value
// of the result type. It knows nothing of the service whose replies it reads.
//
// A root is a value, null (after parsing something that is not JSON), or nothing (after parsing
// empty text, or when made from a missing member). Copies of an object share one root; an
// object returned by GetObject or GetElementObject has a root of its own. Those are cheap: the
// selected value is shared until either side changes, and only then copied.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

enum JsonType : int {
  kJsonMissing = 0,  // missing, or null
  kJsonNumber = 2,
  kJsonObjectType = 4,
  kJsonArray = 5,
  kJsonString = 6,
  kJsonOther = -1,  // a boolean
};

class JsonObject {
 public:
  JsonObject();

  // The root becomes an empty object.
  void Init();
  // True for an object, array, number, boolean or string; false for null, empty text and text
  // that is not JSON.
  bool Parse(std::string_view text);
  std::string ToJson() const;

  void SetText(std::string_view path, std::string_view value, bool asJson = false);
  void SetJson(std::string_view path, std::string_view json);
  void SetNumber(std::string_view path, double number);
  double GetNumber(std::string_view path) const;
  std::string GetJson(std::string_view path) const;
  std::string GetText(std::string_view path, bool asJson = false) const;
  JsonObject GetObject(std::string_view path) const;
  int MemberCount(std::string_view path = {}) const;
  void Push(std::string_view value, std::string_view path = {}, bool asJson = false);
  JsonObject GetElementObject(int index, std::string_view path = {}) const;
  std::string GetElementText(int index, std::string_view path = {}, bool asJson = false) const;
  void SetElement(int index, std::string_view value, bool asJson = false);
  void RemoveElement(int index);
  // Kinds 0 and 4 make the root an empty object, kind 5 an empty array; others change nothing.
  void Reset(int kind);
  void SetValue(std::string_view value, bool asJson = false);
  bool Has(std::string_view path) const;
  // Replaces `names` with the member names of the object at the path (array: "0", "1", ...).
  int MemberNames(std::vector<std::string>& names, std::string_view path = {}) const;
  int TypeOf(std::string_view path = {}) const;
  void Clear();

 private:
  struct Root;
  explicit JsonObject(std::shared_ptr<Root> root);

  std::shared_ptr<Root> root_;
};

}  // namespace tarnwick
