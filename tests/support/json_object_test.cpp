#include "support/json_object.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarnwick {
namespace {

TEST(JsonObject, FailedParsesLeaveNullOrNothing) {
  struct Case {
    const char* text;
    const char* toJson;
  } cases[] = {{"", ""}, {"null", "null"}, {"{\"a\":", "null"}, {"{} trailing", "null"}};
  for (const Case& c : cases) {
    JsonObject json;
    EXPECT_FALSE(json.Parse(c.text)) << c.text;
    EXPECT_EQ(json.ToJson(), c.toJson) << c.text;
    EXPECT_EQ(json.GetText("a"), "") << c.text;
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(json.MemberNames(names), 0);
    EXPECT_TRUE(names.empty());
  }
}

TEST(JsonObject, ParseAcceptsObjectsArraysNumbersAndBooleans) {
  JsonObject json;
  for (const char* text : {"{}", "[1]", "3", "false"}) EXPECT_TRUE(json.Parse(text)) << text;
  ASSERT_TRUE(json.Parse("{}"));
  std::vector<std::string> names;
  EXPECT_EQ(json.MemberNames(names), 0);
  EXPECT_EQ(json.ToJson(), "{}");
  EXPECT_EQ(JsonObject().ToJson(), "{}");
}

TEST(JsonObject, ReadsMembersAlongPaths) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(R"({"a":{"b":"x"},"n":3,"s":"3","f":2.5,"z":null,"t":true})"));
  EXPECT_EQ(json.GetText("a.b"), "x");
  EXPECT_EQ(json.GetText("a.c"), "");
  EXPECT_EQ(json.GetText("z.c"), "");
  EXPECT_EQ(json.GetText("a.b.c.d"), "");
  EXPECT_EQ(json.GetObject("a").ToJson(), R"({"b":"x"})");
  EXPECT_EQ(json.GetText("n"), "3");
  EXPECT_EQ(json.GetText("s"), "3");
  EXPECT_EQ(json.GetText("f"), "2.5");
  EXPECT_EQ(json.GetText("z"), "");
  EXPECT_EQ(json.GetText("a", true), R"({"b":"x"})");
  EXPECT_EQ(json.GetText("missing", true), "");
  EXPECT_EQ(json.GetJson("z"), "null");
  EXPECT_EQ(json.GetNumber("n"), 3);
  EXPECT_EQ(json.GetNumber("missing"), 0);
  EXPECT_TRUE(json.Has("a"));
  EXPECT_FALSE(json.Has("z"));
  EXPECT_FALSE(json.Has("nope"));
  struct Type {
    const char* path;
    int code;
  } types[] = {{"a", 4}, {"n", 2}, {"s", 6}, {"z", 0}, {"nope", 0}, {"t", -1}, {"", 4}};
  for (const Type& t : types) EXPECT_EQ(json.TypeOf(t.path), t.code) << t.path;
  for (const char* bad : {"a..b", "a.", ".a", "a[", "a[x]", "a[]"}) {
    EXPECT_EQ(json.GetText(bad), "") << bad;
  }
}

TEST(JsonObject, ReadsArraysByIndex) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(R"({"l":[{"w":"a"},{"w":"b"}],"m":[[1,2],[3]]})"));
  EXPECT_EQ(json.GetElementText(1, "l", true), R"({"w":"b"})");
  EXPECT_EQ(json.GetElementText(2, "l"), "");
  EXPECT_EQ(json.GetElementText(-1, "l"), "");
  EXPECT_EQ(json.GetObject("l[0]").ToJson(), R"({"w":"a"})");
  EXPECT_EQ(json.GetText("l[1].w"), "b");
  EXPECT_EQ(json.GetText("m[0][1]"), "2");
  EXPECT_EQ(json.GetElementObject(1, "l").GetText("w"), "b");
  EXPECT_EQ(json.GetElementObject(5, "l").ToJson(), "");
  EXPECT_EQ(json.MemberCount("l"), 2);
  EXPECT_EQ(json.MemberCount(), 2);
  EXPECT_EQ(json.MemberCount("l[0].w"), 0);
  std::vector<std::string> names;
  EXPECT_EQ(json.MemberNames(names, "l"), 2);
  EXPECT_EQ(names, (std::vector<std::string>{"0", "1"}));

  JsonObject list;
  ASSERT_TRUE(list.Parse(R"([{"x":1},7])"));
  EXPECT_EQ(list.GetText("[0].x"), "1");
  EXPECT_EQ(list.GetObject("[1]").ToJson(), "7");
  EXPECT_EQ(list.GetElementText(1), "7");
  EXPECT_EQ(list.MemberCount("[0]"), 1);
  // Every reading operation takes a path that starts with an index into a root array.
  EXPECT_EQ(list.GetJson("[0]"), R"({"x":1})");
  EXPECT_EQ(list.GetNumber("[1]"), 7);
  EXPECT_EQ(list.GetNumber("[0].x"), 1);
  EXPECT_TRUE(list.Has("[0].x"));
  EXPECT_FALSE(list.Has("[2]"));
  EXPECT_EQ(list.TypeOf("[0]"), kJsonObjectType);
  EXPECT_EQ(list.TypeOf("[1]"), kJsonNumber);
  EXPECT_EQ(list.MemberNames(names, "[0]"), 1);
  EXPECT_EQ(names, (std::vector<std::string>{"x"}));
}

TEST(JsonObject, MissingObjectsHoldNothingAllTheWayDown) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(R"({"a":1})"));
  JsonObject missing = json.GetObject("b");
  EXPECT_EQ(missing.ToJson(), "");
  EXPECT_EQ(missing.GetText("x"), "");
  std::vector<std::string> names{"x"};
  EXPECT_EQ(missing.MemberNames(names), 0);
  EXPECT_EQ(missing.GetObject("x").ToJson(), "");
  EXPECT_EQ(std::atoi(missing.ToJson().c_str()), 0);
}

TEST(JsonObject, KeepsDocumentOrderAndChineseText) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(R"({"z":1,"a":2,"m":{"姓名":"张三","住址":"北京"}})"));
  std::vector<std::string> names;
  EXPECT_EQ(json.MemberNames(names), 3);
  EXPECT_EQ(names, (std::vector<std::string>{"z", "a", "m"}));
  EXPECT_EQ(json.MemberNames(names, "m"), 2);
  EXPECT_EQ(names, (std::vector<std::string>{"姓名", "住址"}));
  EXPECT_EQ(json.GetText("m.姓名"), "张三");
  EXPECT_EQ(json.ToJson(), R"({"z":1,"a":2,"m":{"姓名":"张三","住址":"北京"}})");
}

TEST(JsonObject, WritesTheCompactFormWithItsEscapes) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(
      R"({"e":"q\"b\\s/\b\f\n\r\t\u0001\u007f\u00ad\u2028\ufeff中","n":[30.0,-0.0,1e21,0.5,-7,18446744073709551615],"b":[true,false,null]})"));
  EXPECT_EQ(
      json.ToJson(),
      R"({"e":"q\"b\\s/\b\f\n\r\t\u0001\u007f\u00ad\u2028\ufeff中","n":[30,0,1000000000000000000000,0.5,-7,18446744073709551615],"b":[true,false,null]})");
  JsonObject again;
  EXPECT_TRUE(again.Parse(json.ToJson()));
  EXPECT_EQ(again.ToJson(), json.ToJson());
  JsonObject numbers;
  numbers.SetNumber("inf", std::numeric_limits<double>::infinity());
  numbers.SetNumber("nan", std::nan(""));
  numbers.SetNumber("i", 42);
  EXPECT_EQ(numbers.ToJson(), R"({"inf":null,"nan":null,"i":42})");
}

TEST(JsonObject, CopiesShareARootAndSubObjectsAreIndependent) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(R"({"a":{"b":1}})"));
  JsonObject copy = json;
  JsonObject sub = json.GetObject("a");
  copy.SetNumber("c", 2);
  EXPECT_EQ(json.ToJson(), R"({"a":{"b":1},"c":2})");
  json.SetNumber("a.b", 5);
  EXPECT_EQ(sub.ToJson(), R"({"b":1})");
  sub.SetText("b", "changed");
  EXPECT_EQ(json.GetText("a.b"), "5");
  EXPECT_EQ(sub.GetText("b"), "changed");
  JsonObject element = json.GetElementObject(0, "missing");
  EXPECT_EQ(element.ToJson(), "");
  copy.Parse("[1]");
  EXPECT_EQ(json.ToJson(), "[1]");
}

TEST(JsonObject, ChangesValuesThroughTheSettingOperations) {
  JsonObject json;
  json.SetText("s", "it's \\ \r\n");
  json.SetText("o", "", true);
  json.SetText("bad", "{oops", true);
  json.SetJson("j", R"({"k":[1]})");
  json.SetJson("empty", "");
  json.SetText("o.inner", "x");
  json.SetText("missing.inner", "x");
  EXPECT_EQ(json.ToJson(), R"({"s":"it's \\ \r\n","o":{"inner":"x"},"j":{"k":[1]}})");
  json.SetText("s", "replaced in place");
  EXPECT_EQ(json.GetText("s"), "replaced in place");
  EXPECT_EQ(json.MemberCount(), 3);

  json.Push("a", "list");
  json.Push(R"({"v":1})", "list", true);
  json.Push("x", "s");
  EXPECT_EQ(json.GetJson("list"), R"(["a",{"v":1}])");
  EXPECT_EQ(json.GetJson("s"), R"(["x"])");

  json.Reset(5);
  EXPECT_EQ(json.ToJson(), "[]");
  json.Push("1", "", true);
  json.SetElement(3, "z");
  EXPECT_EQ(json.ToJson(), R"([1,null,null,"z"])");
  json.RemoveElement(1);
  json.RemoveElement(9);
  EXPECT_EQ(json.ToJson(), R"([1,null,"z"])");
  json.Reset(7);
  EXPECT_EQ(json.ToJson(), R"([1,null,"z"])");
  json.Reset(4);
  EXPECT_EQ(json.ToJson(), "{}");
  json.SetValue("plain");
  EXPECT_EQ(json.ToJson(), R"("plain")");
  json.SetValue(R"({"r":1})", true);
  EXPECT_EQ(json.ToJson(), R"({"r":1})");
  json.Clear();
  EXPECT_EQ(json.ToJson(), "{}");
  json.Parse("");
  json.SetText("a", "b");
  EXPECT_EQ(json.ToJson(), "");
  json.Init();
  EXPECT_EQ(json.ToJson(), "{}");
}

TEST(JsonObject, WritesOnlyJsonThatParsesBack) {
  // Bytes that are not UTF-8: stray, truncated, overlong, a surrogate, beyond U+10FFFF.
  const std::string notUtf8[] = {
      "a\xFF"
      "b",
      "\xE4\xB8",
      "\xC0\xAF",
      "\xE0\x80\xAF",
      "\xED\xA0\x80",
      "\xF4\x90\x80\x80",
      "ok 中"};
  for (const std::string& text : notUtf8) {
    JsonObject json;
    json.SetText(text, text);
    json.Push(text, "list");
    const std::string written = json.ToJson();
    JsonObject reread;
    EXPECT_TRUE(reread.Parse(written)) << written;
    EXPECT_EQ(reread.ToJson(), written);
    JsonObject value;
    value.SetValue(text);
    EXPECT_TRUE(reread.Parse("[" + value.ToJson() + "]")) << value.ToJson();
  }
  JsonObject value;
  value.SetValue(
      "a\xFF"
      "b 中");
  EXPECT_EQ(value.ToJson(), R"("a?b 中")");
}

TEST(JsonObject, RefusesAnIndexFarBeyondTheArraysEnd) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(R"({"a":[]})"));
  json.SetText("a[10000000]", "x");
  EXPECT_EQ(json.ToJson(), R"({"a":[]})");
  json.SetText("a[2]", "x");
  EXPECT_EQ(json.ToJson(), R"({"a":[null,null,"x"]})");
  json.Reset(5);
  json.SetElement(10000000, "y");
  EXPECT_EQ(json.ToJson(), "[]");
  json.SetElement(1, "y");
  EXPECT_EQ(json.ToJson(), R"([null,"y"])");
}

TEST(JsonObject, RefusesNestingDeepEnoughToExhaustTheStack) {
  JsonObject json;
  EXPECT_FALSE(json.Parse(std::string(100000, '[') + std::string(100000, ']')));
  EXPECT_EQ(json.ToJson(), "null");
  EXPECT_TRUE(json.Parse(std::string(100, '[') + std::string(100, ']')));
}

}  // namespace
}  // namespace tarnwick
