#pragma once
// Whole-file reading and writing for the command-line tools. A path that cannot be read
// or written (a folder, a missing file, no permission) is an ordinary failure with the
// system's reason, never an exception, so every tool can report it by name and exit
// with a non-zero code.

#include <string>

// Reads the whole file at path into bytes. False with reason set when it cannot.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& reason);

// Writes bytes as the whole file at path. False with reason set when it cannot.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& reason);

// Reads the file, or prints "<tool>: cannot read <path>: <reason>" to the standard
// error stream and returns false.
bool ReadInputFile(const char* tool, const std::string& path, std::string& bytes);

// Writes the file, or prints "<tool>: cannot write <path>: <reason>" to the standard
// error stream and returns false.
bool WriteOutputFile(const char* tool, const std::string& path, const std::string& bytes);
