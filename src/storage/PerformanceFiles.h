#pragma once
// .SYX files (one PerformanceRecord, 317 bytes) and .PFB bank files (the
// 14-byte header "Patchsmith PFB" and up to 128 records), with the load
// errors shown when a bank file is refused.

#include "midi/Notifier.h"
#include "model/PerformanceRecord.h"
#include "storage/FileIO.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace patchsmith {

inline constexpr std::string_view kInvalidPerformanceFile = "This is not a valid Performance-file!";
inline constexpr std::string_view kBankHeader = "Patchsmith PFB";
inline constexpr int kBankHeaderBytes = 14;
inline constexpr int kFullBankBytes = kBankHeaderBytes + 128 * kRecordBytes; // 40590

namespace LoadError {
inline constexpr int FileNotFound = 1;
inline constexpr int UnableToOpen = 2;
inline constexpr int UnableToSave = 3;
inline constexpr int WrongFileSize = 4;
inline constexpr int NotABank = 5;
} // namespace LoadError

// "Load-Error : " + the text of the code (only its low 7 bits count); empty
// for code 0; a generic text for a code without a text of its own.
std::string loadErrorText(int code);
// Shows loadErrorText(code) unless it is empty.
void ShowLoadError(int code, Notifier& notifier);

// Reads a .SYX file into `buffer`. False without a message when the file
// cannot be opened; false after "This is not a valid Performance-file!"
// when it is not 317 bytes long; false after a read-error message when it
// cannot be read completely. The buffer is changed only on true.
bool ReadPerformanceFile(const std::string& path, UserPerfBuffer& buffer, Notifier& notifier);

// Writes the 317 bytes of `buffer`; a file that cannot be created or
// completely written is reported in the result and the old file, if any,
// stays as it was.
FileResult WritePerformanceFile(const std::string& path, const UserPerfBuffer& buffer);

// Reads a bank file and hands each record to `onRecord` in file order.
// An open failure ends silently; a file shorter than 14 bytes or with
// another header shows ShowLoadError(5); a size that is not 14 plus a
// multiple of 317, or more than 128 records, shows ShowLoadError(4). Records whose number byte is
// above 127 are not handed out; one message names how many were skipped.
// Returns false when the file was refused or could not be read.
bool readBankFile(const std::string& path, Notifier& notifier,
                  const std::function<void(const PerformanceRecord&)>& onRecord);
// The same, appending the records to `records` in file order; on false
// `records` is left as it was.
bool readBankFile(const std::string& path, Notifier& notifier, std::vector<PerformanceRecord>& records);

// The message shown when a bank file holds records numbered above 127.
std::string skippedRecordsText(const std::string& path, int count);

// Writes the header and the records in the given order, whole or not at all.
FileResult writeBankFile(const std::string& path, std::span<const PerformanceRecord> records);

} // namespace patchsmith
