#pragma once
// Whole-file reading and writing for the command-line tools. A path that cannot be read
// or written (a folder, a missing file, no permission, a full disk) is an ordinary
// failure with the system's reason, never an exception, so every tool can report it by
// name and exit with a non-zero code.
//
// Every input has a limit, as the engine's readers have: reading stops one byte past it,
// so an endless input (/dev/zero, a pipe that never ends) is refused instead of filling
// the memory. An output never replaces a good file with part of a new one: the bytes go
// to a file beside it that is renamed over it only once they are all on the disk
// (TSafeFile).

#include <cstddef>
#include <string>

// Reads the whole file at path into bytes. False with reason set when it cannot be read,
// or when it holds more than maxBytes ("larger than <maxBytes> bytes").
bool ReadWholeFile(const std::string& path, size_t maxBytes, std::string& bytes,
                   std::string& reason);

// Makes bytes the whole file at path. A new or regular file (or what a link to one
// names) is replaced through TSafeFile: on failure it is left as it was, with no
// temporary file beside it. A device or a pipe (/dev/stdout) is written in place. False
// with reason set when it cannot be written.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& reason);

// Reads the file, or prints "<tool>: cannot read <path>: <reason>" to the standard
// error stream and returns false.
bool ReadInputFile(const char* tool, const std::string& path, size_t maxBytes, std::string& bytes);

// Writes the file, or prints "<tool>: cannot write <path>: <reason>" to the standard
// error stream and returns false.
bool WriteOutputFile(const char* tool, const std::string& path, const std::string& bytes);

// Makes the folder and the folders above it where missing, or prints
// "<tool>: cannot make folder <folder>: <reason>" and returns false.
bool MakeOutputFolder(const char* tool, const std::string& folder);
