#include "support/json_object.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <optional>
#include <variant>

#include "support/json_writer.h"

namespace tarnwick {

using Json = nlohmann::ordered_json;

// The value a root stands for: `node` within the document `doc`. Documents are shared between
// the roots made from one another and copied before a shared one would change.
struct JsonObject::Root {
  std::shared_ptr<Json> doc;  // null: the root holds nothing
  Json* node = nullptr;

  void Replace(Json value) {
    doc = std::make_shared<Json>(std::move(value));
    node = doc.get();
  }
  Json* Writable() {
    if (!doc) return nullptr;
    if (doc.use_count() > 1) Replace(*node);
    return node;
  }
};

namespace {

// Setting an element past an array's end fills the gap with nulls, as script arrays do; an
// index further out than this is refused, so that one call cannot claim gigabytes.
constexpr std::size_t kMaxElementsAdded = 1024;

bool CanHoldIndex(const Json& array, std::size_t index) {
  return index < array.size() || index - array.size() < kMaxElementsAdded;
}

// Deeper nesting than any reply has is refused, so that no text can exhaust the stack.
constexpr int kMaxDepth = 512;

bool NestingWithinLimit(std::string_view text) {
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxDepth) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return true;
}

std::optional<Json> ParseJson(std::string_view text) {
  if (!NestingWithinLimit(text)) return std::nullopt;
  Json value = Json::parse(text.begin(), text.end(), nullptr, false);
  if (value.is_discarded()) return std::nullopt;
  return value;
}

// A value given as text: a string, or with `asJson` the value the text describes.
std::optional<Json> ValueOf(std::string_view text, bool asJson) {
  if (!asJson) return Json(std::string(text));
  return ParseJson(text);
}

using Step = std::variant<std::string, std::size_t>;

// "a.b[2][0].c" into its steps. A leading "[n]" is taken only where the caller allows one;
// an empty path has no steps. Malformed paths give nothing.
std::optional<std::vector<Step>> ParsePath(std::string_view path, bool leadingIndexAllowed) {
  std::vector<Step> steps;
  std::size_t at = 0;
  bool expectName = !(leadingIndexAllowed && path.starts_with('['));
  while (at < path.size()) {
    if (expectName) {
      std::size_t end = path.find_first_of(".[", at);
      if (end == std::string_view::npos) end = path.size();
      if (end == at) return std::nullopt;
      steps.emplace_back(std::string(path.substr(at, end - at)));
      at = end;
      expectName = false;
    } else if (path[at] == '.') {
      ++at;
      expectName = true;
      if (at == path.size()) return std::nullopt;
    } else if (path[at] == '[') {
      const std::size_t close = path.find(']', at);
      if (close == std::string_view::npos || close == at + 1) return std::nullopt;
      std::size_t index = 0;
      const auto result = std::from_chars(path.data() + at + 1, path.data() + close, index);
      if (result.ec != std::errc() || result.ptr != path.data() + close) return std::nullopt;
      steps.emplace_back(index);
      at = close + 1;
    } else {
      return std::nullopt;
    }
  }
  return steps;
}

// An index step on an object reads the member named by the index, as property access does.
Json* Child(Json& parent, const Step& step) {
  if (const auto* name = std::get_if<std::string>(&step)) {
    if (!parent.is_object()) return nullptr;
    const auto found = parent.find(*name);
    return found == parent.end() ? nullptr : &*found;
  }
  const std::size_t index = std::get<std::size_t>(step);
  if (parent.is_array()) return index < parent.size() ? &parent[index] : nullptr;
  if (parent.is_object()) return Child(parent, Step(std::to_string(index)));
  return nullptr;
}

Json* Walk(Json* node, const std::vector<Step>& steps, std::size_t count) {
  for (std::size_t i = 0; node && i < count; ++i) node = Child(*node, steps[i]);
  return node;
}

enum class EmptyPath { SelectsRoot, Invalid };
enum class LeadingIndex { Allowed, Refused };

// Stores `value` at the last step of the path below `root`; the parent must exist already.
bool Assign(Json* root, std::string_view path, Json value) {
  const auto steps = ParsePath(path, false);
  if (!root || !steps || steps->empty()) return false;
  Json* parent = Walk(root, *steps, steps->size() - 1);
  if (!parent) return false;
  const Step& last = steps->back();
  if (const auto* name = std::get_if<std::string>(&last)) {
    if (!parent->is_object()) return false;
    (*parent)[*name] = std::move(value);
    return true;
  }
  const std::size_t index = std::get<std::size_t>(last);
  if (parent->is_array()) {
    if (!CanHoldIndex(*parent, index)) return false;
    while (parent->size() <= index) parent->push_back(nullptr);
    (*parent)[index] = std::move(value);
    return true;
  }
  if (parent->is_object()) {
    (*parent)[std::to_string(index)] = std::move(value);
    return true;
  }
  return false;
}

std::string TextOf(const Json* value, bool asJson) {
  if (!value) return {};
  if (asJson) return WriteCompactJson(*value);
  if (value->is_string()) return value->get<std::string>();
  if (value->is_number()) return FormatJsonNumber(*value);
  if (value->is_boolean()) return value->get<bool>() ? "true" : "false";
  if (value->is_null()) return {};
  return WriteCompactJson(*value);
}

std::string ElementPath(std::string_view path, int index) {
  return std::string(path) + "[" + std::to_string(index) + "]";
}

}  // namespace

JsonObject::JsonObject() : root_(std::make_shared<Root>()) {
  Init();
}

JsonObject::JsonObject(std::shared_ptr<Root> root) : root_(std::move(root)) {}

namespace {

Json* Select(Json* root, std::string_view path, EmptyPath empty, LeadingIndex leading) {
  if (!root) return nullptr;
  if (path.empty()) return empty == EmptyPath::SelectsRoot ? root : nullptr;
  const auto steps = ParsePath(path, leading == LeadingIndex::Allowed);
  if (!steps) return nullptr;
  return Walk(root, *steps, steps->size());
}

}  // namespace

void JsonObject::Init() {
  root_->Replace(Json::object());
}

bool JsonObject::Parse(std::string_view text) {
  if (text.empty()) {
    root_->doc.reset();
    root_->node = nullptr;
    return false;
  }
  std::optional<Json> value = ParseJson(text);
  root_->Replace(value ? std::move(*value) : Json());
  return !root_->node->is_null();
}

std::string JsonObject::ToJson() const {
  return root_->node ? WriteCompactJson(*root_->node) : std::string();
}

void JsonObject::SetText(std::string_view path, std::string_view value, bool asJson) {
  std::optional<Json> parsed = ValueOf(asJson && value.empty() ? "{}" : value, asJson);
  if (parsed) Assign(root_->Writable(), path, std::move(*parsed));
}

void JsonObject::SetJson(std::string_view path, std::string_view json) {
  if (std::optional<Json> parsed = ParseJson(json)) Assign(root_->Writable(), path, *parsed);
}

void JsonObject::SetNumber(std::string_view path, double number) {
  Assign(root_->Writable(), path, Json(number));
}

double JsonObject::GetNumber(std::string_view path) const {
  const Json* value = Select(root_->node, path, EmptyPath::Invalid, LeadingIndex::Allowed);
  return value && value->is_number() ? value->get<double>() : 0;
}

std::string JsonObject::GetJson(std::string_view path) const {
  return TextOf(Select(root_->node, path, EmptyPath::Invalid, LeadingIndex::Allowed), true);
}

std::string JsonObject::GetText(std::string_view path, bool asJson) const {
  return TextOf(Select(root_->node, path, EmptyPath::Invalid, LeadingIndex::Allowed), asJson);
}

JsonObject JsonObject::GetObject(std::string_view path) const {
  auto view = std::make_shared<Root>();
  if (Json* value = Select(root_->node, path, EmptyPath::Invalid, LeadingIndex::Allowed)) {
    view->doc = root_->doc;
    view->node = value;
  }
  return JsonObject(std::move(view));
}

int JsonObject::MemberCount(std::string_view path) const {
  const Json* value = Select(root_->node, path, EmptyPath::SelectsRoot, LeadingIndex::Allowed);
  if (!value || !(value->is_object() || value->is_array())) return 0;
  return static_cast<int>(value->size());
}

void JsonObject::Push(std::string_view value, std::string_view path, bool asJson) {
  std::optional<Json> element = ValueOf(value, asJson);
  if (!element) return;
  if (path.empty()) {
    if (!root_->doc) root_->Replace(Json::array());
    Json* root = root_->Writable();
    if (!root->is_array()) *root = Json::array();
    root->push_back(std::move(*element));
    return;
  }
  Json* root = root_->Writable();
  Json* target = Select(root, path, EmptyPath::Invalid, LeadingIndex::Refused);
  if (!target) {
    if (!Assign(root, path, Json::array())) return;
    target = Select(root, path, EmptyPath::Invalid, LeadingIndex::Refused);
  }
  if (!target->is_array()) *target = Json::array();
  target->push_back(std::move(*element));
}

JsonObject JsonObject::GetElementObject(int index, std::string_view path) const {
  if (index < 0) return JsonObject(std::make_shared<Root>());
  return GetObject(ElementPath(path, index));
}

std::string JsonObject::GetElementText(int index, std::string_view path, bool asJson) const {
  if (index < 0) return {};
  return TextOf(
      Select(root_->node, ElementPath(path, index), EmptyPath::Invalid, LeadingIndex::Allowed),
      asJson);
}

void JsonObject::SetElement(int index, std::string_view value, bool asJson) {
  std::optional<Json> element = ValueOf(value, asJson);
  if (!element || index < 0 || !root_->node || !root_->node->is_array()) return;
  if (!CanHoldIndex(*root_->node, static_cast<std::size_t>(index))) return;
  Json* root = root_->Writable();
  while (root->size() <= static_cast<std::size_t>(index)) root->push_back(nullptr);
  (*root)[static_cast<std::size_t>(index)] = std::move(*element);
}

void JsonObject::RemoveElement(int index) {
  if (index < 0 || !root_->node || !root_->node->is_array()) return;
  if (static_cast<std::size_t>(index) >= root_->node->size()) return;
  root_->Writable()->erase(static_cast<std::size_t>(index));
}

void JsonObject::Reset(int kind) {
  if (kind == 0 || kind == 4) root_->Replace(Json::object());
  if (kind == 5) root_->Replace(Json::array());
}

void JsonObject::SetValue(std::string_view value, bool asJson) {
  if (std::optional<Json> parsed = ValueOf(value, asJson)) root_->Replace(std::move(*parsed));
}

bool JsonObject::Has(std::string_view path) const {
  const Json* value = Select(root_->node, path, EmptyPath::Invalid, LeadingIndex::Allowed);
  return value && !value->is_null();
}

int JsonObject::MemberNames(std::vector<std::string>& names, std::string_view path) const {
  names.clear();
  const Json* value = Select(root_->node, path, EmptyPath::SelectsRoot, LeadingIndex::Allowed);
  if (value && value->is_object()) {
    for (const auto& member : value->items()) names.push_back(member.key());
  } else if (value && value->is_array()) {
    for (std::size_t i = 0; i < value->size(); ++i) names.push_back(std::to_string(i));
  }
  return static_cast<int>(names.size());
}

int JsonObject::TypeOf(std::string_view path) const {
  const Json* value = Select(root_->node, path, EmptyPath::SelectsRoot, LeadingIndex::Allowed);
  if (!value || value->is_null()) return kJsonMissing;
  if (value->is_number()) return kJsonNumber;
  if (value->is_object()) return kJsonObjectType;
  if (value->is_array()) return kJsonArray;
  if (value->is_string()) return kJsonString;
  return kJsonOther;
}

void JsonObject::Clear() {
  root_->Replace(Json::object());
}

}  // namespace tarnwick
