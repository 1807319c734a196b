#pragma once
// A stored performance parameter by parameter, as show and diff print it:
// every parameter of the table with its stored value, its data bytes and the
// text the editor window shows for it, and the bytes the window never shows.

#include "model/Parameters.h"
#include "model/PerformanceRecord.h"

#include <optional>
#include <string>
#include <vector>

namespace patchsmith::cli {

// A parameter of one layer (1..4), or of the performance (layer 0).
struct ParameterSlot {
    const Parameter* param = nullptr;
    int layer = 0;
};

// The parameters a stored performance holds, in the order they are printed:
// those of the common, effect and controller blocks in the table's order,
// then the layer parameters of layer 1, 2, 3 and 4. The two variation sends
// are not among them: a stored performance has no place for them.
const std::vector<ParameterSlot>& storedParameterSlots();

struct ParameterEntry {
    const Parameter* param = nullptr;
    int layer = 0;
    // The stored value; nothing for the name (its bytes are its value) and
    // for a pair that is in no row of its list.
    std::optional<int> value;
    std::vector<Byte> bytes; // its data bytes
    std::string text;        // what the window shows
};

// A run of bytes the editor never shows.
struct CarriedEntry {
    ParamArea area = ParamArea::Common;
    int offset = 0;
    std::vector<Byte> bytes;
};

struct PerformanceView {
    std::optional<int> number;              // 1..128; nothing for a record number above 127
    std::string name;                       // without leading and trailing blanks
    std::string category;                   // the abbreviation without its trailing blanks
    std::string line;                       // the bank manager's line, "001  PF GrandPno"
    std::vector<ParameterEntry> parameters; // in the order of storedParameterSlots
    std::vector<CarriedEntry> carried;      // in the order of carriedBytes()
};

// `decimalPoint`: the separator of the texts in tenths.
PerformanceView viewPerformance(const PerformanceRecord& record, char decimalPoint);

// "AEGAtkTime (layer 3)", or the name alone.
std::string entryLabel(const ParameterEntry& entry);
// The name of a block as the texts print it ("Common", "Layer 2"), and as
// JSON writes it ("common"; layers are not carried).
std::string blockTitle(ParamArea area, int layer);
std::string blockKey(ParamArea area);

// The plain text of show: the bank manager's line, then one line per
// parameter (name, value, text) in aligned columns, block by block, and the
// carried bytes.
std::string showText(const PerformanceView& view);

struct CarriedDifference {
    ParamArea area = ParamArea::Common;
    int offset = 0;
    Byte a = 0;
    Byte b = 0;
};

struct PerformanceDiff {
    std::vector<std::pair<ParameterEntry, ParameterEntry>> parameters; // A's entry, B's entry
    std::vector<CarriedDifference> carried;                            // byte by byte
    bool empty() const { return parameters.empty() && carried.empty(); }
};

// The parameters whose bytes differ, in printing order, and the carried
// bytes that differ. The performance numbers are no parameter.
PerformanceDiff diffPerformances(const PerformanceView& a, const PerformanceView& b);

// One aligned line per difference: label, A's value and text, "->", B's.
std::string diffText(const PerformanceDiff& diff);

// The value column of a parameter: the decimal, the name quoted, "-" for a
// pair in no row.
std::string valueColumn(const ParameterEntry& entry);

} // namespace patchsmith::cli
