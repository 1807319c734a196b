#pragma once
// A small JSON reader and the quoting the writers need: enough for the
// performance documents of show --json and build, with the line of every
// value kept for error messages. The reader is bounded (nesting depth, the
// caller bounds the size) so that a hostile file cannot exhaust the stack.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace patchsmith::cli {

struct JsonMember;

struct JsonValue {
    enum class Type { Null, Boolean, Number, String, Array, Object };

    Type type = Type::Null;
    bool boolean = false;
    std::string text; // a number as written, or a string's UTF-8
    std::vector<JsonValue> items;
    std::vector<JsonMember> members; // in the order written; keys are unique
    int line = 0;                    // where the value begins, from 1

    bool isNull() const { return type == Type::Null; }
    // The member of that key; nullptr for none (or when this is no object).
    const JsonValue* find(std::string_view key) const;
    // A number written as a whole number (no fraction, no exponent) that
    // fits an int; nothing otherwise.
    std::optional<int> integer() const;
};

// A named struct, not a std::pair: a pair of a type still being defined is
// refused by clang's standard library checks.
struct JsonMember {
    std::string key;
    JsonValue value;
};

// Why a text is not JSON, and where.
struct JsonError {
    int line = 0;
    int column = 0; // in bytes, from 1
    std::string message;
};

inline constexpr int kJsonMaxDepth = 32;

// Parses a complete JSON text (one value, blanks around it); on failure
// nothing is returned and `error` tells what and where. Strings must be
// UTF-8; a key given twice in one object is refused.
std::optional<JsonValue> parseJson(std::string_view text, JsonError& error);

// A UTF-8 text as a JSON string, quotes included; control characters
// escaped.
std::string jsonString(std::string_view utf8);
// Bytes as a JSON string of the characters U+0000..U+00FF they are in
// Latin-1; everything but printable ASCII escaped as \u00XX.
std::string jsonByteString(std::string_view bytes);

// The code points of a UTF-8 text; nothing for malformed UTF-8.
std::optional<std::u32string> decodeUtf8(std::string_view utf8);

} // namespace patchsmith::cli
