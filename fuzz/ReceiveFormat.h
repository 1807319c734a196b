#pragma once
// The input of the receive fuzz target, shared with the corpus generator.
//
// Header (6 bytes):
//   0  the command that starts the run (Command, modulo kCommandCount)
//   1  its parameter (the user performance a chooser returns)
//   2  switches (Switch bits)
//   3  PendingRequest to set afterwards, any value 0..255 (with SetPending)
//   4  UserPerfNumber to set afterwards, 0..127 (with SetNumber)
//   5  BlocksToGo to set afterwards, 0..6 (with SetBlocks)
// Then events until the input ends, each a tag byte (Event, modulo
// kEventCount) and its operands.

#include "model/Bytes.h"

namespace patchsmith::fuzz::receive {

inline constexpr int kHeaderBytes = 6;

enum Command : Byte {
    Idle,             // nothing
    FetchPerformance, // a click on a user performance: bank select, program change, fetch
    Names,            // Bulk-Dump > Request all Performance-names
    SingleToDisk,     // Single User-Performance (to HD), the chooser returns the parameter
    AllToBank,        // All User-Performances (to HD) as one bank file
    AllToFiles,       // All User-Performances (to HD) as .SYX files
    Identity,         // the identity request of start-up and of the settings window
    SaveToSynth,      // Save changes to User-Perf, to the parameter's user performance
    kCommandCount
};

enum Switch : Byte {
    ProgramChanges = 1 << 0, // the setting that follows incoming program changes
    OutputClosed = 1 << 1,   // the output device is closed after start-up
    SetPending = 1 << 2,
    SetNumber = 1 << 3,
    SetBlocks = 1 << 4,
    SetCurrentChain = 1 << 5, // ReceivingCurrentPerf
    SetNamesChain = 1 << 6,   // ReceivingAllNames
    SetDiskChain = 1 << 7,    // UserPerfToDisk
};

enum Event : Byte {
    SysEx,      // length byte n, then n bytes: one complete SysEx message as the input device delivers it
    Answer,     // count byte n, then n bytes: a message of the awaited answer's length (57 when none), F0,
                // those bytes, zeros, F7
    Short,      // status, data 1, data 2
    Timeout,    // the request timer fires
    Run,        // command, parameter: a menu command while whatever runs goes on
    LongSysEx,  // length (two bytes, low first), fill byte
    OtherInput, // status, data 1, data 2 from an input that is not the open one
    kEventCount
};

} // namespace patchsmith::fuzz::receive
