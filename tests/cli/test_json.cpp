// The small JSON reader and the quoting of the writers: what it takes, what
// it refuses and where it says the fault is.

#include "cli/Json.h"

#include <gmock/gmock.h>

#include <string>

using namespace patchsmith::cli;
using ::testing::HasSubstr;

namespace {

JsonError errorOf(std::string_view text) {
    JsonError e;
    EXPECT_FALSE(parseJson(text, e).has_value()) << text;
    return e;
}

} // namespace

TEST(Json, ReadsValuesWithTheirLines) {
    JsonError e;
    const auto v =
        parseJson("{\n  \"a\": [1, -2, 3.5, 1e3],\n  \"b\": {\"c\": null, \"d\": true},\n  \"e\": \"x\"\n}\n", e);
    ASSERT_TRUE(v.has_value()) << e.message;
    EXPECT_EQ(v->type, JsonValue::Type::Object);
    ASSERT_EQ(v->members.size(), 3u);
    EXPECT_EQ(v->members[0].key, "a"); // in the order written
    const JsonValue* a = v->find("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->line, 2);
    ASSERT_EQ(a->items.size(), 4u);
    EXPECT_EQ(a->items[0].integer(), 1);
    EXPECT_EQ(a->items[1].integer(), -2);
    EXPECT_EQ(a->items[2].integer(), std::nullopt); // no fraction in a whole number
    EXPECT_EQ(a->items[3].integer(), std::nullopt); // nor an exponent
    EXPECT_EQ(a->items[2].text, "3.5");
    const JsonValue* b = v->find("b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->line, 3);
    EXPECT_TRUE(b->find("c")->isNull());
    EXPECT_TRUE(b->find("d")->boolean);
    EXPECT_EQ(v->find("e")->text, "x");
    EXPECT_EQ(v->find("e")->line, 4);
    EXPECT_EQ(v->find("zz"), nullptr);
    EXPECT_EQ(parseJson("[]", e)->items.size(), 0u);
    EXPECT_EQ(parseJson(" {} ", e)->members.size(), 0u);
    // Numbers past an int are no whole number the reader hands out.
    EXPECT_EQ(parseJson("99999999999", e)->integer(), std::nullopt);
    EXPECT_EQ(parseJson("-0", e)->integer(), 0);
    EXPECT_EQ(parseJson("\"1\"", e)->integer(), std::nullopt);
}

TEST(Json, StringEscapesBecomeUtf8) {
    JsonError e;
    const auto v = parseJson(R"("a\"b\\c\/d\n\t\u0041\u00b1\u20ac\ud83c\udfb9\u0000")", e);
    ASSERT_TRUE(v.has_value()) << e.message;
    EXPECT_EQ(v->text, std::string("a\"b\\c/d\n\tA\xC2\xB1\xE2\x82\xAC\xF0\x9F\x8E\xB9") + std::string(1, '\0'));
    EXPECT_EQ(parseJson("\"\xC2\xB1"
                        "0\"",
                        e)
                  ->text,
              "\xC2\xB1"
              "0");
}

TEST(Json, FaultsAreNamedWithLineAndColumn) {
    auto e = errorOf("{\n  \"a\": 1,\n  \"b\" 2\n}");
    EXPECT_EQ(e.line, 3);
    EXPECT_EQ(e.column, 7);
    EXPECT_EQ(e.message, "expected ':' after the key");

    e = errorOf("{\"a\": 1,}");
    EXPECT_EQ(e.message, "expected a key in double quotes");
    e = errorOf("[1, 2");
    EXPECT_EQ(e.message, "unexpected end of the text: ']' missing");
    e = errorOf("[1 2]");
    EXPECT_EQ(e.message, "expected ',' or ']'");
    EXPECT_EQ(e.column, 4);
    e = errorOf("{\"a\": 1, \"a\": 2}");
    EXPECT_EQ(e.message, "key \"a\" given twice");
    e = errorOf("\"abc");
    EXPECT_EQ(e.message, "unexpected end of the text inside a string");
    e = errorOf("\"a\tb\"");
    EXPECT_THAT(e.message, HasSubstr("control character"));
    e = errorOf("\"\xC3\x28\"");
    EXPECT_EQ(e.message, "malformed UTF-8 inside a string");
    e = errorOf("\"\xC0\xAF\""); // an overlong "/"
    EXPECT_EQ(e.message, "malformed UTF-8 inside a string");
    e = errorOf("\"\xED\xA0\x80\""); // a surrogate written out
    EXPECT_EQ(e.message, "malformed UTF-8 inside a string");
    e = errorOf(R"("\ud83c")");
    EXPECT_EQ(e.message, "lone high surrogate in a \\u escape");
    e = errorOf(R"("\udfb9")");
    EXPECT_EQ(e.message, "lone low surrogate in a \\u escape");
    e = errorOf(R"("\x41")");
    EXPECT_EQ(e.message, "unknown escape \\x");
    e = errorOf(R"("\u00g1")");
    EXPECT_EQ(e.message, "malformed \\u escape");
    e = errorOf("01");
    EXPECT_EQ(e.message, "more after the end of the JSON value");
    e = errorOf("{} {}");
    EXPECT_EQ(e.message, "more after the end of the JSON value");
    e = errorOf("-");
    EXPECT_EQ(e.message, "malformed number");
    e = errorOf("1.");
    EXPECT_EQ(e.message, "malformed number");
    e = errorOf("tru");
    EXPECT_EQ(e.message, "not a JSON value");
    e = errorOf("");
    EXPECT_EQ(e.message, "unexpected end of the text");
    e = errorOf("   \n  ");
    EXPECT_EQ(e.line, 2);
    e = errorOf("'a'");
    EXPECT_EQ(e.message, "not a JSON value");
}

TEST(Json, NestingIsBounded) {
    JsonError e;
    const std::string deepest = std::string(kJsonMaxDepth, '[') + std::string(kJsonMaxDepth, ']');
    EXPECT_TRUE(parseJson(deepest, e).has_value()) << e.message;
    const std::string deeper = std::string(kJsonMaxDepth + 1, '[') + std::string(kJsonMaxDepth + 1, ']');
    EXPECT_EQ(errorOf(deeper).message, "nested too deeply");
    // A hostile file far deeper than any stack would take.
    EXPECT_EQ(errorOf(std::string(1000000, '[')).message, "nested too deeply");
    EXPECT_EQ(errorOf(std::string(100000, '{')).message, "expected a key in double quotes");
    std::string objects;
    for (int k = 0; k < 1000; ++k) objects += "{\"a\":";
    EXPECT_EQ(errorOf(objects).message, "nested too deeply");
}

TEST(Json, QuotingForTheWriters) {
    EXPECT_EQ(jsonString("InitPerf"), "\"InitPerf\"");
    EXPECT_EQ(jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(jsonString("\xC2\xB1"
                         "0 Hz"),
              "\"\xC2\xB1"
              "0 Hz\"");
    EXPECT_EQ(jsonString(std::string("\n\x01\x7F", 3)), "\"\\n\\u0001\\u007f\"");
    // Name bytes are Latin-1: the reader gives the same code points back.
    EXPECT_EQ(jsonByteString(std::string("Ab \x01\x7F\xE9\"", 7)), "\"Ab \\u0001\\u007f\\u00e9\\\"\"");
    JsonError e;
    const auto back = parseJson(jsonByteString(std::string("Ab \x01\xE9", 5)), e);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(decodeUtf8(back->text), std::u32string(U"Ab \u0001\u00e9"));
    EXPECT_EQ(decodeUtf8("\xC3"), std::nullopt);
}
