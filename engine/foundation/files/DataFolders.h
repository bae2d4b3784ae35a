#pragma once

// The per-user, all-users and desktop folders behind "user:", "common:" and "desktop:".
// Start-up asks for them here and hands them to TPathMap::SetDataFolders.
//
// Per-user:  <data home>/<publisher>/<game>/          (data home: $XDG_DATA_HOME, else
//                                                      ~/.local/share)
// All-users: <data home>/<publisher>/common/<game>/   (this system has no folder that all
//                                                      users may write, so the shared one
//                                                      is a "common" folder beside the
//                                                      per-user game folders)

#include "engine/foundation/core/TString.h"

// The default publisher folder when the game names none.
inline constexpr const char* kDefaultPublisher = "Halvorn";

// Writes the data folder of gameFolder, with a trailing "/", into buffer and creates it
// (and its parents below the data home). publisher is the game's "publisher" setting, or
// null when the setting does not exist (an empty one gives no publisher level). Returns
// 0 on success; the needed buffer size when bufferSize is too small (nothing created);
// -1 when there is no data home or an argument is null.
int GetUserDataFolder(bool allUsers, const char* gameFolder, const char* publisher, char* buffer,
                      int bufferSize);

// Writes the desktop folder with a trailing "/" into buffer. Returns 0; the folder's
// length when bufferSize is smaller; -1 when there is no desktop folder.
int GetSpecialFolderPath(char* buffer, int bufferSize);

// The absolute form of path (need not exist), or "" on failure.
TString GetFullPath(const TString& path);
