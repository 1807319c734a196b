#include "cli/PerformanceJson.h"

#include "cli/Json.h"
#include "model/Names.h"
#include "storage/PerformanceText.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

namespace patchsmith::cli {

namespace {

std::string numberOrNull(std::optional<int> n) { return n ? std::to_string(*n) : "null"; }

std::string bytesArray(const std::vector<Byte>& bytes) {
    std::string out = "[";
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        if (k > 0) out += ", ";
        out += std::to_string(bytes[k]);
    }
    return out + "]";
}

std::string valueJson(const ParameterEntry& e) {
    if (e.param->encoding == ParamEncoding::Text) return jsonByteString(std::string(e.bytes.begin(), e.bytes.end()));
    return numberOrNull(e.value);
}

std::string layerJson(int layer) { return layer > 0 ? std::to_string(layer) : "null"; }

std::string parameterJson(const ParameterEntry& e) {
    return "{\"name\": " + jsonString(e.param->name) + ", \"group\": " + jsonString(groupName(e.param->group)) +
           ", \"layer\": " + layerJson(e.layer) + ", \"value\": " + valueJson(e) +
           ", \"bytes\": " + bytesArray(e.bytes) + ", \"text\": " + jsonString(e.text) + "}";
}

std::string sideJson(const ParameterEntry& e) {
    return "{\"value\": " + valueJson(e) + ", \"bytes\": " + bytesArray(e.bytes) + ", \"text\": " + jsonString(e.text) +
           "}";
}

std::string performanceHead(const PerformanceView& v) {
    return "\"number\": " + numberOrNull(v.number) + ", \"name\": " + jsonByteString(v.name) +
           ", \"category\": " + jsonByteString(v.category);
}

// Lines of an array, one element each.
void writeArray(std::ostringstream& out, std::string_view key, const std::vector<std::string>& elements, bool last) {
    out << "  \"" << key << "\": [";
    if (elements.empty()) {
        out << "]";
    } else {
        out << '\n';
        for (std::size_t i = 0; i < elements.size(); ++i)
            out << "    " << elements[i] << (i + 1 < elements.size() ? ",\n" : "\n");
        out << "  ]";
    }
    out << (last ? "\n" : ",\n");
}

// ---- reading ------------------------------------------------------------------

std::u32string latin1(const std::vector<int>& bytes) {
    std::u32string s;
    for (const int b : bytes) s += static_cast<char32_t>(b);
    return s;
}

std::u32string latin1(std::string_view bytes) {
    std::u32string s;
    for (const char c : bytes) s += static_cast<char32_t>(static_cast<unsigned char>(c));
    return s;
}

std::string codePointText(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// "is outside 1..127", "is not one of 0, 127".
std::string outsideText(const ValueRange& r) {
    if (!r.only.empty()) {
        std::string text = "is not one of ";
        for (std::size_t k = 0; k < r.only.size(); ++k) text += (k > 0 ? ", " : "") + std::to_string(r.only[k]);
        return text;
    }
    return "is outside " + std::to_string(r.min) + ".." + std::to_string(r.max);
}

class DocumentReader {
public:
    explicit DocumentReader(std::vector<std::string>& problems) : problems_(problems) {}

    std::optional<JsonPerformance> read(std::string_view text) {
        JsonError error;
        const std::optional<JsonValue> doc = parseJson(text, error);
        if (!doc) {
            problems_.push_back("line " + std::to_string(error.line) + ", column " + std::to_string(error.column) +
                                ": broken JSON: " + error.message);
            return std::nullopt;
        }
        if (doc->type != JsonValue::Type::Object) {
            problem(*doc, "not a performance document: the text is no JSON object");
            return std::nullopt;
        }
        const JsonValue* format = doc->find("format");
        if (!format || format->type != JsonValue::Type::String || format->text != kPerformanceFormat) {
            problem(format ? *format : *doc,
                    "not a performance document: \"format\" is not \"" + std::string(kPerformanceFormat) + "\"");
            return std::nullopt;
        }
        const JsonValue* version = doc->find("version");
        if (!version || version->integer() != kJsonVersion) {
            problem(version ? *version : *doc,
                    "\"version\" " + std::to_string(kJsonVersion) + " is the one this program reads");
            return std::nullopt;
        }
        onlyKeys(*doc, {"format", "version", "number", "name", "category", "parameters", "carried"}, "the document");

        JsonPerformance result;
        result.image.fillDefaults();
        if (const JsonValue* number = doc->find("number"); number && !number->isNull()) {
            const auto n = number->integer();
            if (!n || *n < 1 || *n > 128) {
                problem(*number, "\"number\" must be a performance number 1..128 or null");
            } else {
                result.number = *n;
            }
        }
        readParameters(*doc, result.image);
        readCarried(*doc, result.image);
        if (!problems_.empty()) return std::nullopt;
        checkSummary(*doc, result.image);
        if (!problems_.empty()) return std::nullopt;
        return result;
    }

private:
    void problem(const JsonValue& where, std::string text) {
        problems_.push_back("line " + std::to_string(where.line) + ": " + std::move(text));
    }

    // Keys nobody reads are mistakes (a misspelt "value" would otherwise
    // pass as a missing one).
    void onlyKeys(const JsonValue& object, std::initializer_list<std::string_view> keys, const std::string& what) {
        for (const auto& [key, value] : object.members)
            if (std::find(keys.begin(), keys.end(), key) == keys.end())
                problem(value, what + ": unknown key \"" + key + "\"");
    }

    // `count` numbers 0..127, or nothing after a problem.
    std::optional<std::vector<int>> dataBytes(const JsonValue& v, std::size_t count, const std::string& what) {
        const std::string expected = what + ": \"bytes\" must be " + std::to_string(count) +
                                     (count == 1 ? " number" : " numbers") + " from 0 to 127";
        if (v.type != JsonValue::Type::Array || v.items.size() != count) {
            problem(v, expected);
            return std::nullopt;
        }
        std::vector<int> bytes;
        for (const JsonValue& item : v.items) {
            const auto b = item.integer();
            if (!b || *b < 0 || *b > 127) {
                problem(item, expected);
                return std::nullopt;
            }
            bytes.push_back(*b);
        }
        return bytes;
    }

    static void writeBytes(PerformanceImage& image, const Parameter& p, int layer, const std::vector<int>& bytes) {
        const std::vector<int> offsets = valueBytes(p);
        for (std::size_t k = 0; k < offsets.size(); ++k)
            image.setData(blockOf(p.area, layer), offsets[k], static_cast<Byte>(bytes[k]));
    }

    static int valueOfBytes(const Parameter& p, int layer, const std::vector<int>& bytes) {
        PerformanceImage scratch;
        writeBytes(scratch, p, layer, bytes);
        return storedValue(p, scratch, layer);
    }

    void readParameters(const JsonValue& doc, PerformanceImage& image) {
        const JsonValue* list = doc.find("parameters");
        if (!list || list->type != JsonValue::Type::Array) {
            problem(list ? *list : doc, "\"parameters\" must be an array of parameters");
            return;
        }
        std::map<std::pair<const Parameter*, int>, const JsonValue*> given;
        for (const JsonValue& item : list->items) {
            if (item.type != JsonValue::Type::Object) {
                problem(item, "a parameter must be an object");
                continue;
            }
            const JsonValue* name = item.find("name");
            if (!name || name->type != JsonValue::Type::String) {
                problem(item, "a parameter without \"name\"");
                continue;
            }
            const Parameter* p = findParameter(name->text);
            if (!p) {
                problem(*name, "unknown parameter \"" + name->text + "\"");
                continue;
            }
            if (!inStoredPerformance(*p)) {
                problem(*name, name->text + " is not part of a stored performance");
                continue;
            }
            onlyKeys(item, {"name", "group", "layer", "value", "bytes", "text"}, name->text);
            const JsonValue* layerValue = item.find("layer");
            int layer = 0;
            if (p->layer()) {
                const auto n = layerValue ? layerValue->integer() : std::nullopt;
                if (!n || *n < 1 || *n > 4) {
                    problem(layerValue ? *layerValue : item, name->text + ": \"layer\" must be 1, 2, 3 or 4");
                    continue;
                }
                layer = *n;
            } else if (layerValue && !layerValue->isNull()) {
                problem(*layerValue, name->text + " belongs to no layer: \"layer\" must be null");
                continue;
            }
            if (!given.emplace(std::pair{p, layer}, &item).second) {
                ParameterEntry label{p, layer, {}, {}, {}};
                problem(item, entryLabel(label) + " given twice");
            }
        }
        // In the order of the table, so that a variation parameter is read
        // after the variation type its range follows.
        for (const ParameterSlot& s : storedParameterSlots()) {
            const auto it = given.find({s.param, s.layer});
            if (it == given.end()) {
                ParameterEntry label{s.param, s.layer, {}, {}, {}};
                problem(*list, "missing parameter " + entryLabel(label));
                continue;
            }
            readValue(*s.param, s.layer, *it->second, image);
        }
    }

    void readValue(const Parameter& p, int layer, const JsonValue& entry, PerformanceImage& image) {
        const std::string label = entryLabel(ParameterEntry{&p, layer, {}, {}, {}});
        const int inLayer = layer == 0 ? 1 : layer;
        std::optional<std::vector<int>> bytes;
        if (const JsonValue* b = entry.find("bytes"); b && !b->isNull()) {
            bytes = dataBytes(*b, valueBytes(p).size(), label);
            if (!bytes) return;
        }
        const JsonValue* value = entry.find("value");
        if (!value) {
            problem(entry, label + ": \"value\" missing");
            return;
        }
        if (p.encoding == ParamEncoding::Text) {
            readName(p, *value, bytes, image);
            return;
        }
        if (value->isNull()) {
            // A pair in no row of its list: only its bytes can say what it is.
            if (p.encoding != ParamEncoding::Pair) {
                problem(*value, label + ": \"value\" must be a whole number");
            } else if (!bytes) {
                problem(*value, label + ": a null \"value\" needs its \"bytes\"");
            } else {
                writeBytes(image, p, inLayer, *bytes);
            }
            return;
        }
        const auto v = value->integer();
        if (!v) {
            problem(*value, label + ": \"value\" must be a whole number");
            return;
        }
        if (bytes && valueOfBytes(p, inLayer, *bytes) == *v) {
            writeBytes(image, p, inLayer, *bytes);
            return;
        }
        const ValueRange range = storedRange(p, image);
        if (range.empty()) {
            problem(*value, label + ": value " + std::to_string(*v) +
                                " cannot be set: the parameter is not used by the variation type");
            return;
        }
        if (!range.contains(*v)) {
            problem(*value, label + ": value " + std::to_string(*v) + " " + outsideText(range));
            return;
        }
        writeValue(p, image, *v, inLayer);
    }

    void readName(const Parameter& p, const JsonValue& value, const std::optional<std::vector<int>>& bytes,
                  PerformanceImage& image) {
        const std::string label(p.name);
        const std::string expected = label + ": \"value\" must be a text of at most 8 printable ASCII characters";
        if (value.type != JsonValue::Type::String) {
            problem(value, expected);
            return;
        }
        const auto text = decodeUtf8(value.text); // the reader took valid UTF-8 only
        if (!text) {
            problem(value, expected);
            return;
        }
        if (bytes && latin1(*bytes) == *text) {
            writeBytes(image, p, 1, *bytes);
            return;
        }
        if (text->size() > static_cast<std::size_t>(kNameLength)) {
            problem(value, label + ": \"" + value.text + "\" is longer than 8 characters");
            return;
        }
        for (const char32_t c : *text) {
            if (!isNameCharacter(static_cast<int>(c))) {
                problem(value, label + ": character " + codePointText(c) + " is not printable ASCII");
                return;
            }
        }
        writeName(image, std::string_view(value.text));
    }

    void readCarried(const JsonValue& doc, PerformanceImage& image) {
        const JsonValue* list = doc.find("carried");
        if (!list || list->type != JsonValue::Type::Array) {
            problem(list ? *list : doc, "\"carried\" must be an array of the carried bytes");
            return;
        }
        const auto runs = carriedBytes();
        std::vector<bool> seen(runs.size(), false);
        for (const JsonValue& item : list->items) {
            const JsonValue* block = item.find("block");
            const JsonValue* offset = item.find("offset");
            const JsonValue* bytes = item.find("bytes");
            if (item.type != JsonValue::Type::Object || !block || block->type != JsonValue::Type::String || !offset ||
                !offset->integer() || !bytes) {
                problem(item, "carried bytes must be {\"block\": ..., \"offset\": ..., \"bytes\": [...]}");
                continue;
            }
            onlyKeys(item, {"block", "offset", "bytes"}, "carried bytes");
            const std::string where = block->text + " " + offset->text;
            std::size_t run = runs.size();
            for (std::size_t k = 0; k < runs.size(); ++k)
                if (blockKey(runs[k].area) == block->text && runs[k].first == *offset->integer()) run = k;
            if (run == runs.size()) {
                problem(item, "no carried bytes begin at " + where);
                continue;
            }
            if (seen[run]) {
                problem(item, "carried bytes " + where + " given twice");
                continue;
            }
            seen[run] = true;
            const auto values = dataBytes(*bytes, static_cast<std::size_t>(runs[run].count), "carried bytes " + where);
            if (!values) continue;
            for (int k = 0; k < runs[run].count; ++k)
                image.setData(blockOf(runs[run].area), runs[run].first + k,
                              static_cast<Byte>((*values)[static_cast<std::size_t>(k)]));
        }
        for (std::size_t k = 0; k < runs.size(); ++k)
            if (!seen[k])
                problem(*list, "missing carried bytes " + blockKey(runs[k].area) + " " + std::to_string(runs[k].first));
    }

    // "name" and "category" repeat what the parameters hold; an edit of
    // them alone would be lost, so it is refused.
    void checkSummary(const JsonValue& doc, const PerformanceImage& image) {
        if (const JsonValue* name = doc.find("name"); name && !name->isNull()) {
            const std::string held = trimmedName(image.message(Block::Common));
            const auto given = decodeUtf8(name->text);
            if (name->type != JsonValue::Type::String || !given || *given != latin1(held))
                problem(*name, "\"name\" differs from PerformanceName \"" + held +
                                   "\": the parameters decide, so edit PerformanceName");
        }
        if (const JsonValue* category = doc.find("category"); category && !category->isNull()) {
            std::string held(categoryAbbreviation(storedValue(params::PerformanceType, image)));
            while (!held.empty() && held.back() == ' ') held.pop_back();
            if (category->type != JsonValue::Type::String || category->text != held)
                problem(*category, "\"category\" differs from PerformanceType \"" + held +
                                       "\": the parameters decide, so edit PerformanceType");
        }
    }

    std::vector<std::string>& problems_;
};

} // namespace

std::string showJson(const PerformanceView& view) {
    std::ostringstream out;
    out << "{\n"
        << "  \"format\": " << jsonString(kPerformanceFormat) << ",\n"
        << "  \"version\": " << kJsonVersion << ",\n"
        << "  \"number\": " << numberOrNull(view.number) << ",\n"
        << "  \"name\": " << jsonByteString(view.name) << ",\n"
        << "  \"category\": " << jsonByteString(view.category) << ",\n";
    std::vector<std::string> parameters;
    for (const ParameterEntry& e : view.parameters) parameters.push_back(parameterJson(e));
    writeArray(out, "parameters", parameters, false);
    std::vector<std::string> carried;
    for (const CarriedEntry& c : view.carried)
        carried.push_back("{\"block\": " + jsonString(blockKey(c.area)) + ", \"offset\": " + std::to_string(c.offset) +
                          ", \"bytes\": " + bytesArray(c.bytes) + "}");
    writeArray(out, "carried", carried, true);
    out << "}\n";
    return out.str();
}

std::string diffJson(const PerformanceDiff& diff, const PerformanceView& a, const std::string& sourceA,
                     const PerformanceView& b, const std::string& sourceB) {
    std::ostringstream out;
    out << "{\n"
        << "  \"format\": " << jsonString(kDiffFormat) << ",\n"
        << "  \"version\": " << kJsonVersion << ",\n"
        << "  \"a\": {\"source\": " << jsonByteString(sourceA) << ", " << performanceHead(a) << "},\n"
        << "  \"b\": {\"source\": " << jsonByteString(sourceB) << ", " << performanceHead(b) << "},\n"
        << "  \"equal\": " << (diff.empty() ? "true" : "false") << ",\n";
    std::vector<std::string> parameters;
    for (const auto& [x, y] : diff.parameters)
        parameters.push_back(
            "{\"name\": " + jsonString(x.param->name) + ", \"group\": " + jsonString(groupName(x.param->group)) +
            ", \"layer\": " + layerJson(x.layer) + ", \"a\": " + sideJson(x) + ", \"b\": " + sideJson(y) + "}");
    writeArray(out, "parameters", parameters, false);
    std::vector<std::string> carried;
    for (const CarriedDifference& c : diff.carried)
        carried.push_back("{\"block\": " + jsonString(blockKey(c.area)) + ", \"offset\": " + std::to_string(c.offset) +
                          ", \"a\": " + std::to_string(c.a) + ", \"b\": " + std::to_string(c.b) + "}");
    writeArray(out, "carried", carried, true);
    out << "}\n";
    return out.str();
}

std::optional<JsonPerformance> readPerformanceJson(std::string_view text, std::vector<std::string>& problems) {
    return DocumentReader(problems).read(text);
}

} // namespace patchsmith::cli
