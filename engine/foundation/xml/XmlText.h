#pragma once

// Escaping and unescaping of XML text, shared by the XML reader and writer and the
// string table.

#include "engine/foundation/core/TString.h"

#include <cstddef>
#include <string>

// Decodes the references in token, in place. "&#" followed somewhere later by ";"
// becomes one byte: the decimal number after "#" (read like atoi, so a hexadecimal
// reference gives 0) modulo 256; everything up to that ";" is consumed. "&amp;", "&lt;",
// "&gt;", "&quot;" and "&apos;" (case-sensitive) become their characters; any other "&"
// stays. Returns true when the token's first character came from a reference.
//
// NOTE: "&#8364;" does not give the euro sign: references decode modulo 256. Non-ASCII
// text belongs in files as raw UTF-8 bytes.
bool XmlUnescape(std::string& token);
TString XmlUnescape(const TString& token, bool* startsWithReference = nullptr);

// Appends text escaped for XML: bytes 32 to 127 stay, except "&", "<", ">", '"' and "'",
// which become named references; every byte below 32 or from 128 up becomes "&#n;" with
// its decimal value, so any byte string reads back unchanged.
void XmlEscape(const char* text, size_t length, std::string& out);
TString XmlEscape(const TString& text);
