#include "online/scriptobject.h"

#include <gtest/gtest.h>

namespace wf {
namespace {

TEST(ScriptObject, StatementsEvaluationAndRun) {
    ScriptObject script;
    EXPECT_EQ(script.Language(0), "JScript");
    EXPECT_TRUE(
        script.ExecuteStatement("function join(a,b,c,d,e,f,g){return [a,b,c,d,e,f,g].join('|');}"));
    EXPECT_EQ(script.Run("join", {"1", "2"}), "1|2|||||");
    EXPECT_EQ(script.Run("join", {"1", "2", "3", "4", "5", "6", "7"}), "1|2|3|4|5|6|");
    EXPECT_TRUE(script.AddCode("var greeting = '你好😀';"));
    EXPECT_EQ(script.Eval("greeting"), "你好😀");
    EXPECT_EQ(script.Eval("greeting.length"), "4");
    EXPECT_EQ(script.Eval("0.1+0.2"), "0.30000000000000004");
    EXPECT_EQ(script.Eval("undefined"), "");
    EXPECT_EQ(script.Eval("null"), "");
    EXPECT_EQ(script.Eval("[1,[2,3]]"), "1,2,3");
    EXPECT_EQ(script.LastError(), "");

    EXPECT_FALSE(script.ExecuteStatement("this is not ("));
    EXPECT_NE(script.LastError(), "");
    EXPECT_EQ(script.Run("noSuchFunction"), "");
    EXPECT_NE(script.LastError(), "");
    EXPECT_EQ(script.Eval("1+1"), "2");
    EXPECT_EQ(script.LastError(), "");
    ASSERT_TRUE(script.ExecuteStatement(
        "Object.defineProperty(this, 'trap', {get: function () { throw new Error('no'); }});"));
    EXPECT_EQ(script.Run("trap", {"x"}), "");
    EXPECT_NE(script.LastError().find("no"), std::string::npos);

    ScriptObject shared = script;  // copies share the engine
    shared.ExecuteStatement("var x = 5");
    EXPECT_EQ(script.Eval("x"), "5");

    script.Reset();
    EXPECT_EQ(script.Eval("typeof join"), "undefined");
    EXPECT_EQ(script.State(), 0);
    EXPECT_EQ(script.State(1), 1);
    EXPECT_EQ(script.Language(1), "JScript");
}

TEST(ScriptObject, TimeoutStopsARunawayScript) {
    ScriptObject script;
    EXPECT_EQ(script.Timeout(200), 200);
    EXPECT_FALSE(script.ExecuteStatement("while (true) {}"));
    EXPECT_NE(script.LastError().find("timeout"), std::string::npos) << script.LastError();
    EXPECT_TRUE(script.ExecuteStatement("function spin(){ for(;;){} }"));
    EXPECT_EQ(script.Run("spin"), "");
    EXPECT_EQ(script.Eval("6*7"), "42");
    EXPECT_EQ(script.Timeout(), -1);
    // Without a time limit a growing string still ends at the heap's memory limit.
    EXPECT_FALSE(script.ExecuteStatement("var s = 'xy'; for (;;) s += s;"));
    EXPECT_NE(script.LastError(), "");
    EXPECT_TRUE(script.ExecuteStatement("s = null;"));
    EXPECT_EQ(script.Eval("'still ' + 'working'"), "still working");
}

TEST(ScriptConversions, EncodeUriAndConvertEscapes) {
    struct Case {
        const char* function;  // nullptr: EncodeUri
        const char* text;
        const char* expected;
    } cases[] = {
        {nullptr, "a b", "a%20b"},
        {nullptr, "你", "%E4%BD%A0"},
        {nullptr, "😀?q=1&x=#", "%F0%9F%98%80?q=1&x=#"},
        {"to16un", R"(\u4f60\u597d)", "你好"},
        {"to16un", R"(\ud83d\ude00 \/x)", "😀 %/x"},
        {"to16on", "你a", R"(\u4f60\u0061)"},
        {"to16on", "😀", R"(\ud83d\ude00)"},
        {"to10on", "A你", "&#65;&#20320;"},
        {"to10un", "&#20320;&#x597d&#x1F600;!", "你好😀!"},
        {"nosuch", "x", ""},
    };
    for (const Case& c : cases) {
        std::string got = c.function ? ConvertEscapes(c.text, c.function) : EncodeUri(c.text);
        EXPECT_EQ(got, c.expected) << (c.function ? c.function : "EncodeUri") << " " << c.text;
    }
    EXPECT_EQ(ConvertEscapes(R"(\u4f60)"), "你");
}

}  // namespace
}  // namespace wf
