#pragma once

// The debug log: one plain-text file, "logfile.txt" in the folder given to InitLog,
// written line by line by TraceLog. Each line is the local time, ": " and the message.
// The file is opened, written, flushed and closed for every line, so it survives a crash
// up to the last line written. Once the write position reaches 102401 bytes, writing goes
// back to offset 51200 behind a "LOG WRAP AROUND" banner: the first 51200 bytes (the
// start-up lines) stay, and the file is never truncated, so bytes beyond the newest line
// are older lines waiting to be overwritten.
//
// When the file cannot be opened (the folder could not be made, or is not writable),
// the line goes to the standard error stream instead, and the first such line is
// preceded by one that says why. Lines written to the standard error stream carry no
// time: a person reads them as they come.
//
// Every function here may be called from any thread; lines are written whole, one at a
// time.

#include "engine/foundation/core/TString.h"

// Starts a fresh log in folder: creates the folder when missing (one level, mode 0755),
// deletes the previous "logfile.txt" there and writes from offset 0 from now on. A null
// or empty folder turns the log off: TraceLog then only formats its message.
void InitLog(const char* folder);

// Sends every line to the standard error stream instead of a file (command-line tools,
// which report what the engine logs as their own messages).
void InitLogOnStandardError();

// Appends one line "<local time>: <message>\n". When the file cannot be opened the line
// goes to the standard error stream; the next call tries the file again.
void TraceLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The full path of the log file, or "" when there is no log.
TString GetLogPath();
