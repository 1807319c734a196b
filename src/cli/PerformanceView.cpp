#include "cli/PerformanceView.h"

#include "cli/Json.h"
#include "model/Names.h"
#include "storage/PerformanceText.h"
#include "storage/RecordImage.h"

#include <algorithm>
#include <sstream>

namespace patchsmith::cli {

namespace {

std::string withoutTrailingBlanks(std::string_view text) {
    const std::size_t end = text.find_last_not_of(' ');
    return std::string(end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1));
}

// Widths count characters: the texts are UTF-8 ("±0"), so continuation
// bytes do not count.
std::size_t shownWidth(std::string_view text) {
    std::size_t shown = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++shown;
    return shown;
}

std::string padRight(std::string text, std::size_t width) {
    const std::size_t shown = shownWidth(text);
    if (shown < width) text.append(width - shown, ' ');
    return text;
}

std::string padLeft(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string bytesColumn(const std::vector<Byte>& bytes) {
    std::string out;
    for (const Byte b : bytes) {
        if (!out.empty()) out += ' ';
        out += std::to_string(b);
    }
    return out;
}

std::string carriedLabel(ParamArea area, int first, int count) {
    std::string label = blockTitle(area, 0) + ' ' + std::to_string(first);
    if (count > 1) label += ".." + std::to_string(first + count - 1);
    return label;
}

// Text lines without trailing blanks.
void addLine(std::ostringstream& out, std::string line) { out << withoutTrailingBlanks(line) << '\n'; }

} // namespace

const std::vector<ParameterSlot>& storedParameterSlots() {
    static const std::vector<ParameterSlot> kSlots = [] {
        std::vector<ParameterSlot> s;
        for (const Parameter* p : allParameters())
            if (!p->layer() && inStoredPerformance(*p)) s.push_back({p, 0});
        for (int layer = 1; layer <= 4; ++layer)
            for (const Parameter* p : allParameters())
                if (p->layer()) s.push_back({p, layer});
        return s;
    }();
    return kSlots;
}

PerformanceView viewPerformance(const PerformanceRecord& record, char decimalPoint) {
    PerformanceImage image;
    loadRecordIntoImage(record, image);

    PerformanceView view;
    if (const auto slot = recordSlot(record)) view.number = *slot + 1;
    const std::span<const Byte> common = record.message(0);
    view.name = trimmedName(common);
    view.category = withoutTrailingBlanks(categoryAbbreviation(storedValue(params::PerformanceType, image)));
    view.line = PerformanceLine(record);

    for (const ParameterSlot& s : storedParameterSlots()) {
        const Parameter& p = *s.param;
        const int layer = s.layer == 0 ? 1 : s.layer;
        ParameterEntry e;
        e.param = &p;
        e.layer = s.layer;
        for (const int offset : valueBytes(p)) e.bytes.push_back(image.data(blockOf(p.area, layer), offset));
        const int value = storedValue(p, image, layer);
        if (p.encoding != ParamEncoding::Text && !(p.encoding == ParamEncoding::Pair && value < 0)) e.value = value;
        e.text = displayText(p, image, layer, decimalPoint);
        view.parameters.push_back(std::move(e));
    }
    for (const CarriedBytes& c : carriedBytes()) {
        CarriedEntry e;
        e.area = c.area;
        e.offset = c.first;
        for (int k = c.first; k < c.first + c.count; ++k) e.bytes.push_back(image.data(blockOf(c.area), k));
        view.carried.push_back(std::move(e));
    }
    return view;
}

std::string entryLabel(const ParameterEntry& entry) {
    std::string label(entry.param->name);
    if (entry.layer > 0) label += " (layer " + std::to_string(entry.layer) + ")";
    return label;
}

std::string blockTitle(ParamArea area, int layer) {
    switch (area) {
    case ParamArea::Common: return "Common";
    case ParamArea::Effect: return "Effect";
    case ParamArea::Controller: return "Controller";
    case ParamArea::Layer: break;
    }
    return "Layer " + std::to_string(layer);
}

std::string blockKey(ParamArea area) {
    switch (area) {
    case ParamArea::Common: return "common";
    case ParamArea::Effect: return "effect";
    case ParamArea::Controller: return "controller";
    case ParamArea::Layer: break;
    }
    return "layer";
}

std::string valueColumn(const ParameterEntry& entry) {
    if (entry.param->encoding == ParamEncoding::Text)
        return jsonByteString(std::string(entry.bytes.begin(), entry.bytes.end()));
    return entry.value ? std::to_string(*entry.value) : "-";
}

std::string showText(const PerformanceView& view) {
    std::size_t nameWidth = 0;
    std::size_t valueWidth = 0;
    for (const ParameterEntry& e : view.parameters) {
        nameWidth = std::max(nameWidth, e.param->name.size());
        valueWidth = std::max(valueWidth, valueColumn(e).size());
    }
    for (const CarriedBytes& c : carriedBytes())
        nameWidth = std::max(nameWidth, carriedLabel(c.area, c.first, c.count).size());

    std::ostringstream out;
    addLine(out, view.line);
    std::string block;
    for (const ParameterEntry& e : view.parameters) {
        const std::string title = blockTitle(e.param->area, e.layer);
        if (title != block) {
            out << '\n' << title << '\n';
            block = title;
        }
        addLine(out, "  " + padRight(std::string(e.param->name), nameWidth) + "  " +
                         padLeft(valueColumn(e), valueWidth) + "  " + e.text);
    }
    out << "\nCarried bytes (never shown by the editor)\n";
    for (const CarriedEntry& c : view.carried)
        addLine(out, "  " + padRight(carriedLabel(c.area, c.offset, static_cast<int>(c.bytes.size())), nameWidth) +
                         "  " + bytesColumn(c.bytes));
    return out.str();
}

PerformanceDiff diffPerformances(const PerformanceView& a, const PerformanceView& b) {
    PerformanceDiff diff;
    // Both views come from storedParameterSlots, entry by entry alike.
    const std::size_t n = std::min(a.parameters.size(), b.parameters.size());
    for (std::size_t i = 0; i < n; ++i)
        if (a.parameters[i].bytes != b.parameters[i].bytes)
            diff.parameters.emplace_back(a.parameters[i], b.parameters[i]);
    const std::size_t runs = std::min(a.carried.size(), b.carried.size());
    for (std::size_t i = 0; i < runs; ++i) {
        const CarriedEntry& x = a.carried[i];
        const CarriedEntry& y = b.carried[i];
        for (std::size_t k = 0; k < std::min(x.bytes.size(), y.bytes.size()); ++k)
            if (x.bytes[k] != y.bytes[k])
                diff.carried.push_back({x.area, x.offset + static_cast<int>(k), x.bytes[k], y.bytes[k]});
    }
    return diff;
}

std::string diffText(const PerformanceDiff& diff) {
    struct Row {
        std::string label, aValue, aText, bValue, bText;
    };
    std::vector<Row> rows;
    for (const auto& [x, y] : diff.parameters)
        rows.push_back({entryLabel(x), valueColumn(x), x.text, valueColumn(y), y.text});
    for (const CarriedDifference& c : diff.carried)
        rows.push_back({blockTitle(c.area, 0) + " byte " + std::to_string(c.offset), std::to_string(c.a), "",
                        std::to_string(c.b), ""});
    std::size_t label = 0, aValue = 0, aText = 0, bValue = 0;
    for (const Row& r : rows) {
        label = std::max(label, r.label.size());
        aValue = std::max(aValue, r.aValue.size());
        aText = std::max(aText, shownWidth(r.aText));
        bValue = std::max(bValue, r.bValue.size());
    }
    std::ostringstream out;
    for (const Row& r : rows)
        addLine(out, padRight(r.label, label) + "  " + padLeft(r.aValue, aValue) + "  " + padRight(r.aText, aText) +
                         "  ->  " + padLeft(r.bValue, bValue) + "  " + r.bText);
    return out.str();
}

} // namespace patchsmith::cli
