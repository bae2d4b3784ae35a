#include "engine/foundation/core/Settings.h"

#include <cstdint>
#include <cstdlib>
#include <map>

namespace {

constexpr const char* kKeyNames[] = {
    "cheatcode",        "cheatmode",   "computerid",        "firstpeek",    "installkey",
    "buildtag",         "gamename",    "publisher",         "version",      "encryptionkey",
    "hiscorelocal",     "hiscoreanon", "flashmajorversion", "vsync",        "monitorfrequency",
    "textspriterender", "utf8mode",    "verbosedebug",      "hvgamehandle", "hvgamemodename",
    "hvgamemedalname",
};
static_assert(sizeof kKeyNames / sizeof kKeyNames[0] == static_cast<size_t>(TSettingKey::Count));

std::map<TString, TString>& Map()
{
    static std::map<TString, TString> settings;
    return settings;
}

bool sLegacyLineWrap = false;
TSettingWriteHook sWriteHook = nullptr;

// 64-bit FNV-1a, continued from hash.
uint64_t Fnv1a(uint64_t hash, const TString& text)
{
    for (int i = 0; i < text.Length(); ++i) {
        hash ^= static_cast<unsigned char>(text.CharAt(i));
        hash *= 0x100000001b3ull;
    }
    return hash;
}

} // namespace

const char* SettingKeyName(TSettingKey key)
{
    const int index = static_cast<int>(key);
    if (index < 0 || index >= static_cast<int>(TSettingKey::Count))
        return "";
    return kKeyNames[index];
}

void SetConfig(TString name, TString value)
{
    Map()[name] = value;
    if (name == TString("encryptionkey") || name == TString("cheatcode"))
        UpdateCheatMode();
    if (name == TString("legacylinewrap"))
        sLegacyLineWrap = true;
    if (sWriteHook != nullptr)
        sWriteHook(name, value);
}

TString GetConfig(TString name, TString defaultValue)
{
    const auto found = Map().find(name);
    return found == Map().end() ? defaultValue : found->second;
}

bool HasConfig(TString name)
{
    return Map().count(name) != 0;
}

bool IsEnabled(TString name)
{
    return std::atoi(GetConfig(name, TString()).CStr()) != 0;
}

TString MakeCheatAccessCode(TString encryptionKey, TString computerId)
{
    // A salt keeps the code from being any plain hash of the two inputs.
    uint64_t hash = Fnv1a(0xcbf29ce484222325ull, TString("halvorn-cheat:"));
    hash = Fnv1a(hash, encryptionKey);
    hash = Fnv1a(hash, TString("/"));
    hash = Fnv1a(hash, computerId);
    return TString::Printf("%012llX", static_cast<unsigned long long>(hash >> 16));
}

void UpdateCheatMode()
{
    const auto found = Map().find(TString("cheatcode"));
    const bool matches =
        found != Map().end() && found->second == MakeCheatAccessCode(GetConfig("encryptionkey", ""),
                                                                     GetConfig("computerid", ""));
    // Stored directly: writing "cheatmode" runs no hook of its own.
    Map()[TString("cheatmode")] = matches ? "1" : "0";
}

bool IsLegacyLineWrap()
{
    return sLegacyLineWrap;
}

void ClearSettings()
{
    Map().clear();
}

void ResetSettings()
{
    ClearSettings();
    sWriteHook = nullptr;
    sLegacyLineWrap = false;
}

void SetSettingWriteHook(TSettingWriteHook hook)
{
    sWriteHook = hook;
}
