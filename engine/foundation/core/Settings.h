#pragma once

// The settings store: one process-wide map from key to value, both TStrings, ordered by
// TString::operator<. Keys are case-sensitive. The game's entry, the built-in defaults,
// "::assets/settings.xml", the command line and game code all write into it, in that
// order, and any code reads it with a default. A few keys act when written: "cheatcode"
// and "encryptionkey" re-run the cheat-mode gate, "legacylinewrap" turns the legacy line
// wrap on, and while the platform facade exists every write also reaches its write hook
// ("vsync" goes to the display).
//
// The map has no lock: it is written and read on the main thread only.

#include "engine/foundation/core/TString.h"

// Keys the engine reads through this table rather than through literals; the window
// script publishes them to scripts as constants.
enum class TSettingKey
{
    CheatCode,
    CheatMode,
    ComputerId,
    FirstPeek,
    InstallKey,
    BuildTag,
    GameName,
    Publisher,
    Version,
    EncryptionKey,
    HiscoreLocal,
    HiscoreAnon,
    FlashMajorVersion,
    VSync,
    MonitorFrequency,
    TextSpriteRender,
    Utf8Mode,
    VerboseDebug,
    HvGameHandle,
    HvGameModeName,
    HvGameMedalName,
    Count,
};

// The key text of one table entry ("cheatcode", "cheatmode", ...).
const char* SettingKeyName(TSettingKey key);

// Stores value under name (insert or replace), then runs the write hooks.
void SetConfig(TString name, TString value);

// The stored value, or defaultValue when name is absent. A key stored with an empty
// value answers the empty value.
TString GetConfig(TString name, TString defaultValue);

// True when name is stored (even with an empty value).
bool HasConfig(TString name);

// atoi of the stored value (absent reads as "") is not 0: "1", "2", "-1" and "  7" are on;
// "", "0", "yes" and "true" are off.
bool IsEnabled(TString name);

// The developer cheat-mode gate: "cheatmode" becomes "1" when "cheatcode" equals the
// access code derived from "encryptionkey" and "computerid", else "0".
void UpdateCheatMode();

// The access code the cheat-mode gate compares "cheatcode" with, for the given key and
// machine identifier: 12 upper-case hexadecimal digits.
TString MakeCheatAccessCode(TString encryptionKey, TString computerId);

// True once "legacylinewrap" has been written with any value; it is never cleared.
bool IsLegacyLineWrap();

// Empties the map (the platform facade does this as it is destroyed). The legacy line
// wrap flag stays.
void ClearSettings();
// Empties the map, removes the write hook and clears the legacy line wrap flag: the
// store as a new process has it (tests).
void ResetSettings();

// The hook every SetConfig calls after storing, while one is installed. The platform
// facade installs its own for its lifetime; null removes it.
using TSettingWriteHook = void (*)(const TString& name, const TString& value);
void SetSettingWriteHook(TSettingWriteHook hook);
