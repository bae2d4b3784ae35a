#pragma once

// What may be handed to the desktop's web browser. A link from content (a page's entry,
// a script) goes to a program that takes more than web pages: a local file, another
// program's path, a script address or an option word would each do something else.
// Only a web page's address passes.

#include "engine/foundation/core/TString.h"

// True for "http://" or "https://" (either in any case) followed by a host name that is
// not empty, with no control character anywhere and no blank before the path. False
// for everything else, the empty link included.
bool IsWebLink(const TString& link);
