#include "cli/Json.h"

#include <charconv>
#include <cstdio>

namespace patchsmith::cli {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the UTF-8 sequence at `at` and its code point; 0 when malformed
// (overlong forms, surrogates and values above U+10FFFF included).
std::size_t utf8Sequence(std::string_view s, std::size_t at, char32_t& c) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(at);
    std::size_t length = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        c = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        c = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        c = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > s.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(at + k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

class Parser {
public:
    Parser(std::string_view text, JsonError& error) : text_(text), error_(error) {}

    std::optional<JsonValue> document() {
        skipBlanks();
        JsonValue v;
        if (!value(v, 0)) return std::nullopt;
        skipBlanks();
        if (pos_ < text_.size()) return fail("more after the end of the JSON value");
        return v;
    }

private:
    std::nullopt_t fail(std::string message) {
        if (error_.message.empty()) {
            error_.line = line_;
            error_.column = static_cast<int>(pos_ - lineStart_) + 1;
            error_.message = std::move(message);
        }
        return std::nullopt;
    }
    bool failed(std::string message) {
        fail(std::move(message));
        return false;
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }

    void skipBlanks() {
        while (!atEnd()) {
            const char c = peek();
            if (c == '\n') {
                ++pos_;
                ++line_;
                lineStart_ = pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else {
                break;
            }
        }
    }

    bool literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return failed("not a JSON value");
        pos_ += word.size();
        return true;
    }

    bool value(JsonValue& v, int depth) {
        if (atEnd()) return failed("unexpected end of the text");
        v.line = line_;
        switch (peek()) {
        case '{': return object(v, depth + 1);
        case '[': return array(v, depth + 1);
        case '"': v.type = JsonValue::Type::String; return string(v.text);
        case 't':
            v.type = JsonValue::Type::Boolean;
            v.boolean = true;
            return literal("true");
        case 'f':
            v.type = JsonValue::Type::Boolean;
            v.boolean = false;
            return literal("false");
        case 'n': v.type = JsonValue::Type::Null; return literal("null");
        default: break;
        }
        if (peek() == '-' || (peek() >= '0' && peek() <= '9')) return number(v);
        return failed("not a JSON value");
    }

    bool object(JsonValue& v, int depth) {
        if (depth > kJsonMaxDepth) return failed("nested too deeply");
        v.type = JsonValue::Type::Object;
        ++pos_;
        skipBlanks();
        if (!atEnd() && peek() == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            skipBlanks();
            if (atEnd() || peek() != '"') return failed("expected a key in double quotes");
            std::string key;
            if (!string(key)) return false;
            if (v.find(key)) return failed("key \"" + key + "\" given twice");
            skipBlanks();
            if (atEnd() || peek() != ':') return failed("expected ':' after the key");
            ++pos_;
            skipBlanks();
            JsonValue member;
            if (!value(member, depth)) return false;
            v.members.push_back({std::move(key), std::move(member)});
            skipBlanks();
            if (atEnd()) return failed("unexpected end of the text: '}' missing");
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == '}') {
                ++pos_;
                return true;
            }
            return failed("expected ',' or '}'");
        }
    }

    bool array(JsonValue& v, int depth) {
        if (depth > kJsonMaxDepth) return failed("nested too deeply");
        v.type = JsonValue::Type::Array;
        ++pos_;
        skipBlanks();
        if (!atEnd() && peek() == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            skipBlanks();
            JsonValue item;
            if (!value(item, depth)) return false;
            v.items.push_back(std::move(item));
            skipBlanks();
            if (atEnd()) return failed("unexpected end of the text: ']' missing");
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == ']') {
                ++pos_;
                return true;
            }
            return failed("expected ',' or ']'");
        }
    }

    bool digits() {
        const std::size_t start = pos_;
        while (!atEnd() && peek() >= '0' && peek() <= '9') ++pos_;
        return pos_ > start;
    }

    bool number(JsonValue& v) {
        v.type = JsonValue::Type::Number;
        const std::size_t start = pos_;
        if (peek() == '-') ++pos_;
        if (!atEnd() && peek() == '0') {
            ++pos_;
        } else if (!digits()) {
            return failed("malformed number");
        }
        if (!atEnd() && peek() == '.') {
            ++pos_;
            if (!digits()) return failed("malformed number");
        }
        if (!atEnd() && (peek() == 'e' || peek() == 'E')) {
            ++pos_;
            if (!atEnd() && (peek() == '+' || peek() == '-')) ++pos_;
            if (!digits()) return failed("malformed number");
        }
        v.text.assign(text_.substr(start, pos_ - start));
        return true;
    }

    bool hex4(char32_t& c) {
        if (pos_ + 4 > text_.size()) return failed("malformed \\u escape");
        c = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = text_[pos_++];
            c <<= 4;
            if (h >= '0' && h <= '9')
                c |= static_cast<char32_t>(h - '0');
            else if (h >= 'a' && h <= 'f')
                c |= static_cast<char32_t>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                c |= static_cast<char32_t>(h - 'A' + 10);
            else
                return failed("malformed \\u escape");
        }
        return true;
    }

    bool string(std::string& out) {
        ++pos_; // the opening quote
        for (;;) {
            if (atEnd()) return failed("unexpected end of the text inside a string");
            const char c = peek();
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return failed("control character inside a string (write it as \\u00XX)");
            if (c == '\\') {
                ++pos_;
                if (atEnd()) return failed("unexpected end of the text inside a string");
                const char e = text_[pos_++];
                switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    char32_t cp = 0;
                    if (!hex4(cp)) return false;
                    if (cp >= 0xDC00 && cp <= 0xDFFF) return failed("lone low surrogate in a \\u escape");
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        char32_t low = 0;
                        if (text_.substr(pos_, 2) != "\\u") return failed("lone high surrogate in a \\u escape");
                        pos_ += 2;
                        if (!hex4(low)) return false;
                        if (low < 0xDC00 || low > 0xDFFF) return failed("lone high surrogate in a \\u escape");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    appendUtf8(out, cp);
                    break;
                }
                default: return failed(std::string("unknown escape \\") + e);
                }
                continue;
            }
            char32_t cp = 0;
            const std::size_t n = utf8Sequence(text_, pos_, cp);
            if (n == 0) return failed("malformed UTF-8 inside a string");
            out.append(text_.substr(pos_, n));
            pos_ += n;
        }
    }

    std::string_view text_;
    JsonError& error_;
    std::size_t pos_ = 0;
    std::size_t lineStart_ = 0;
    int line_ = 1;
};

void escapeInto(std::string& out, char32_t c) {
    switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\n': out += "\\n"; return;
    case '\t': out += "\\t"; return;
    case '\r': out += "\\r"; return;
    default: break;
    }
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
    out += buffer;
}

} // namespace

const JsonValue* JsonValue::find(std::string_view key) const {
    for (const auto& [k, v] : members)
        if (k == key) return &v;
    return nullptr;
}

std::optional<int> JsonValue::integer() const {
    if (type != Type::Number || text.find_first_of(".eE") != std::string::npos) return std::nullopt;
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

std::optional<JsonValue> parseJson(std::string_view text, JsonError& error) {
    error = JsonError{};
    return Parser(text, error).document();
}

std::string jsonString(std::string_view utf8) {
    std::string out = "\"";
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\' || c < 0x20 || c == 0x7F) {
            escapeInto(out, c);
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string jsonByteString(std::string_view bytes) {
    std::string out = "\"";
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\' || c < 0x20 || c >= 0x7F) {
            escapeInto(out, c);
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::optional<std::u32string> decodeUtf8(std::string_view utf8) {
    std::u32string out;
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t c = 0;
        const std::size_t n = utf8Sequence(utf8, at, c);
        if (n == 0) return std::nullopt;
        out += c;
        at += n;
    }
    return out;
}

} // namespace patchsmith::cli
