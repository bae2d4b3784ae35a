#pragma once

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TColor.h"
#include "engine/script/TLuaObjectWrapper.h"

#include <memory>

// A handle on a script table, usually a parameter table handed to an engine or game
// object: typed accessors read its fields.
//
// Accessors never raise and leave the stack as they found it: an absent (nil) field
// gives the default; a present field of another type converts as documented per
// accessor. A handle whose value is not a table (a missing table argument is a wrapped
// nil) reads as an empty table. Fields are read with "__index" applied; an error in a
// metamethod is logged as "Lua error: %s" and the field reads as absent.
class TLuaTable : public TLuaObjectWrapper
{
public:
    // Pops the table (or whatever value) on top of L's stack and keeps it.
    explicit TLuaTable(lua_State* L) : TLuaObjectWrapper(L) {}

    // Pushes table[key] on the main thread's stack (GetState) and returns true; when the
    // value is nil (or this is no table) nothing is pushed and the answer is false.
    bool PushField(const char* key);
    bool PushFieldByIndex(double index);

    // A string, or a number's text; any other present value gives "".
    TString GetString(const char* key, const TString& defaultValue = TString());
    TString GetStringByIndex(double index, const TString& defaultValue = TString());
    // A number or a numeric string; any other present value gives 0.
    double GetNumber(const char* key, double defaultValue = 0);
    double GetNumberByIndex(double index, double defaultValue = 0);
    // false for false, true for any other present value.
    bool GetBool(const char* key, bool defaultValue = false);
    // A new handle when the field is a table, else null.
    std::unique_ptr<TLuaTable> GetTable(const char* key);
    std::unique_ptr<TLuaTable> GetTableByIndex(double index);
    // When entry [index] is a table: its entries 1 to 4 as red, green, blue and alpha,
    // each defaulting to the matching channel of defaultValue; otherwise defaultValue.
    TColor GetColorByIndex(double index, const TColor& defaultValue);

    // One traversal step. key holds the previous key (null to start) and receives the
    // next one; the answer is a handle on the next value, or null at the end (key is then
    // null too). Stopping early is fine: key's handle is simply dropped.
    std::unique_ptr<TLuaObjectWrapper> Next(std::unique_ptr<TLuaObjectWrapper>& key);

    // Hands this table to the script running on L (or, when none runs there, to the
    // script of L's state), which deletes it at its next RunFunction or Resume, or when it
    // is destroyed. Without any script the table lives until the state closes. L null
    // means the main thread.
    void AutoRelease(lua_State* L = nullptr);

private:
    template <class PushKey> bool PushFieldWith(PushKey pushKey);
    template <class PushKey> TString ReadString(PushKey pushKey, const TString& defaultValue);
    template <class PushKey> double ReadNumber(PushKey pushKey, double defaultValue);
    template <class PushKey> std::unique_ptr<TLuaTable> ReadTable(PushKey pushKey);
};
