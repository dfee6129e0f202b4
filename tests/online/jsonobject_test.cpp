#include "online/jsonobject.h"

#include <gtest/gtest.h>

#include <cmath>

namespace wf {
namespace {

using Keys = std::vector<std::string>;

TEST(JsonObject, ReadsADocumentAsTheScriptEngineWould) {
    JsonObject json;
    ASSERT_TRUE(json.Parse(R"({"a":[1,2],"b":{"c":"x"}})"));
    EXPECT_EQ(json.Count("a"), 2);
    EXPECT_EQ(json.Count(), 2);
    EXPECT_EQ(json.GetText("b.c"), "x");
    EXPECT_EQ(json.GetText("a[1]"), "2");
    EXPECT_EQ(json.GetText("a"), "1,2");
    EXPECT_EQ(json.GetText("a", true), "[1,2]");
    EXPECT_EQ(json.GetText("b"), "[object Object]");
    EXPECT_EQ(json.GetJson("b"), R"({"c":"x"})");
    EXPECT_EQ(json.TypeOf("a"), JsonObject::Array);
    EXPECT_EQ(json.TypeOf("b"), JsonObject::Object);
    EXPECT_EQ(json.TypeOf("z"), JsonObject::Null);
    EXPECT_EQ(json.TypeOf("z.y"), JsonObject::Other);  // reading through undefined fails
    EXPECT_EQ(json.TypeOf("b.c"), JsonObject::String);
    EXPECT_EQ(json.TypeOf("a[0]"), JsonObject::Number);
    EXPECT_EQ(json.TypeOf(), JsonObject::Object);
    Keys keys;
    EXPECT_EQ(json.Keys(keys), 2);
    EXPECT_EQ(keys, (Keys{"a", "b"}));
    EXPECT_EQ(json.Keys(keys, "a"), 2);
    EXPECT_EQ(keys, (Keys{"0", "1"}));
    EXPECT_TRUE(json.Has("b"));
    EXPECT_FALSE(json.Has("z"));
    EXPECT_EQ(json.GetText("a.length"), "2");

    for (const char* bad : {"", "null", "{a:1}", "alert(1)", "[1,", "{\"a\":1} x"}) {
        JsonObject other;
        EXPECT_FALSE(other.Parse(bad)) << bad;
        EXPECT_EQ(other.TypeOf(), JsonObject::Null) << bad;
        EXPECT_EQ(other.GetText("a"), "") << bad;
    }
    JsonObject deep;
    EXPECT_FALSE(deep.Parse(std::string(100000, '[') + std::string(100000, ']')));
}

TEST(JsonObject, TextsOfValuesAndPaths) {
    JsonObject json;
    ASSERT_TRUE(json.Parse(R"({"symbols":[{"parts":[{"part":"n.","means":["甲","乙"]}]}],
        "n":[1e21,0.1,1.0,123456789012,-0.000001,1e-7,9007199254740993,-0.0,5e-324],
        "mixed":[[1,[2]],null,"x",true,{}],"t":true,"s":"\u4f60\ud83d\ude00\n\u0001",
        "2":"two","1":"one","key with space":7})"));
    EXPECT_EQ(json.GetText("symbols[0].parts[0].part"), "n.");
    EXPECT_EQ(json.GetText("symbols[0].parts[0].means"), "甲,乙");
    JsonObject parts = json.GetObject("symbols[0].parts");
    EXPECT_EQ(parts.TypeOf(), JsonObject::Array);
    EXPECT_EQ(parts.GetText("[0].means[1]"), "乙");
    EXPECT_EQ(parts.TypeOf("[0]"), JsonObject::Object);
    EXPECT_EQ(parts.GetItemObject(0).GetText("part"), "n.");
    EXPECT_EQ(json.GetItem(1, "symbols[0].parts[0].means"), "乙");
    EXPECT_EQ(json.GetItem(0, "symbols", true), R"({"parts":[{"part":"n.","means":["甲","乙"]}]})");

    const char* numbers[] = {
        "1e+21", "0.1",   "1", "123456789012", "-0.000001", "1e-7", "9007199254740992",
        "0",     "5e-324"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(json.GetText("n[" + std::to_string(i) + "]"), numbers[i]) << i;
    }
    EXPECT_EQ(json.GetText("mixed"), "1,2,,x,true,[object Object]");
    EXPECT_EQ(json.GetText("t"), "true");
    EXPECT_EQ(json.GetText("s"), "你😀\n\x01");
    EXPECT_EQ(json.GetText("s", true), "\"你😀\\n\\u0001\"");
    EXPECT_EQ(json.GetText("s.length"), "5");
    EXPECT_EQ(json.GetText("['key with space']"), "7");
    EXPECT_EQ(json.GetText("[\"2\"]"), "two");
    EXPECT_EQ(json.GetNumber("n[1]"), 0.1);
    EXPECT_EQ(json.GetNumber("symbols"), 0);

    Keys keys;
    json.Keys(keys);
    EXPECT_EQ(keys, (Keys{"1", "2", "symbols", "n", "mixed", "t", "s", "key with space"}));
    EXPECT_EQ(json.Stringify().substr(0, 23), R"({"1":"one","2":"two","s)");

    for (const char* bad : {"a[", "a]", "a..b", "[x]", "a.", "[1", "a b", "1a", "a()"}) {
        EXPECT_EQ(json.GetText(bad), "") << bad;
        EXPECT_EQ(json.TypeOf(bad), JsonObject::Other) << bad;
    }
}

TEST(JsonObject, Editing) {
    JsonObject json;
    EXPECT_EQ(json.Stringify(), "{}");
    json.SetValue("q", R"(it's "quoted" \u4f60)");
    EXPECT_EQ(json.GetText("q"), R"(it's "quoted" \u4f60)");  // stored as text, never run
    json.SetValue("o", R"({"x":[1]})", true);
    EXPECT_EQ(json.TypeOf("o"), JsonObject::Object);
    json.SetValue("e", "", true);
    EXPECT_EQ(json.GetText("e", true), "{}");
    json.SetExpression("o.y", "2.5");
    EXPECT_EQ(json.GetNumber("o.y"), 2.5);
    json.SetExpression("bad", "function(){}");
    EXPECT_FALSE(json.Has("bad"));
    json.SetNumber("n", 3);
    EXPECT_EQ(json.GetText("n"), "3");
    json.SetValue("missing.child", "v");  // no parent: nothing happens
    EXPECT_EQ(json.TypeOf("missing"), JsonObject::Null);

    json.Push("a", "list");
    json.Push("[1,2]", "list", true);
    EXPECT_EQ(json.GetText("list", true), R"(["a",[1,2]])");
    json.Push("again", "q");  // not an array: replaced by one
    EXPECT_EQ(json.GetText("q", true), R"(["again"])");
    json.Delete("o.x");
    EXPECT_EQ(json.GetText("o", true), R"({"y":2.5})");
    json.Delete("list[0]");
    EXPECT_EQ(json.GetText("list", true), R"([null,[1,2]])");
    EXPECT_EQ(json.TypeOf("list[0]"), JsonObject::Null);
    json.SetItem(7, "seven");
    EXPECT_EQ(json.GetText("[7]"), "seven");

    json.Reset(JsonObject::Array);
    EXPECT_EQ(json.Stringify(), "[]");
    json.Push("x");
    json.SetItem(2, "z");
    EXPECT_EQ(json.Stringify(), R"(["x",null,"z"])");
    json.RemoveItem(-1);
    json.RemoveItem(0);
    EXPECT_EQ(json.Stringify(), "[null]");
    json.RemoveItem(5);
    EXPECT_EQ(json.Count(), 1);
    json.Reset(9);  // other kinds leave the document alone
    EXPECT_EQ(json.Stringify(), "[null]");

    EXPECT_TRUE(json.SetRoot("plain"));
    EXPECT_EQ(json.TypeOf(), JsonObject::String);
    EXPECT_FALSE(json.SetRoot("{oops", true));
    EXPECT_TRUE(json.SetRoot(R"({"k":1})", true));

    JsonObject copy = json;  // copies share the document
    copy.SetNumber("k", 2);
    EXPECT_EQ(json.GetText("k"), "2");
    JsonObject detached = json.GetObject("");
    detached.SetNumber("k", 5);
    EXPECT_EQ(json.GetText("k"), "2");
    json.Clear();
    EXPECT_EQ(copy.Stringify(), "{}");
}

TEST(JsonNumbers, JavaScriptForm) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {{0, "0"},
                 {-0.0, "0"},
                 {1, "1"},
                 {-2.5, "-2.5"},
                 {1e21, "1e+21"},
                 {1e20, "100000000000000000000"},
                 {123e-20, "1.23e-18"},
                 {0.000001, "0.000001"},
                 {1e-7, "1e-7"},
                 {NAN, "NaN"},
                 {INFINITY, "Infinity"},
                 {1.0 / 3, "0.3333333333333333"}};
    for (const Case& c : cases) EXPECT_EQ(jsNumberText(c.value), c.text) << c.text;
}

}  // namespace
}  // namespace wf
