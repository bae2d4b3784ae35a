#pragma once

// Bounds on the texts the engine hands to SDL that reach the window system whole. On X11
// a window title (two properties) and the clipboard text each go to the server in one
// request, and a request over the server's limit (about 16 MB with big requests, 256 KB
// without) fails with errors that end the program. Texts are cut before they reach SDL,
// on a UTF-8 character boundary, with a log line:
//  - window titles to kMaxTitleCharacters characters (and at most 4 bytes each), far
//    more than any title bar shows;
//  - clipboard text to kMaxClipboardBytes bytes, well inside even the smaller limit and
//    far more than any field of the game holds.

#include <cstddef>
#include <string>
#include <string_view>

constexpr size_t kMaxTitleCharacters = 1024;
constexpr size_t kMaxTitleBytes = 4 * kMaxTitleCharacters;
constexpr size_t kMaxClipboardBytes = 64u << 10;
// The log line of a cut (behind TPlatformLog::kTag): what was cut, its bytes, the bytes kept.
constexpr const char* kTextCutLog = "video: a %s of %zu bytes is cut to its first %zu";

// The longest start of utf8 with at most maxCharacters characters and maxBytes bytes
// that does not end inside a character's byte sequence. A character is a byte that is
// not a continuation byte (10xxxxxx) with the continuation bytes after it.
std::string_view CutUtf8(std::string_view utf8, size_t maxCharacters, size_t maxBytes);

// utf8Title, cut to the title bound; a cut is logged ("video: ...").
std::string BoundedWindowTitle(const std::string& utf8Title);
// utf8, cut to the clipboard bound; a cut is logged ("video: ...").
std::string BoundedClipboardText(const std::string& utf8);
