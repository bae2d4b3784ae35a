#include "engine/script/TLuaStateRecord.h"

#include "engine/script/TLuaTable.h"
#include "engine/script/lua/LuaApi.h"

#include <new>

namespace {

// Registry key of the anchoring userdata.
constexpr const char* kRecordKey = "_velmora_state_record";

using TRecordHandle = std::shared_ptr<TLuaStateRecord>;

// The anchor's finaliser: the state is closing.
int CloseRecord(lua_State* L)
{
    auto* handle = static_cast<TRecordHandle*>(lua_touserdata(L, 1));
    if (handle == nullptr || *handle == nullptr)
        return 0;
    TRecordHandle record = std::move(*handle);
    handle->~TRecordHandle();
    record->mClosed = true;
    std::vector<TLuaTable*> orphans;
    orphans.swap(record->mOrphans);
    for (TLuaTable* table : orphans)
        delete table; // sees the record closed and leaves the registry alone
    return 0;
}

TRecordHandle MakeRecord(lua_State* L)
{
    auto record = std::make_shared<TLuaStateRecord>();
    record->mMainThread = lua_mainthread(L);
    lua_pushstring(L, kRecordKey);
    void* block = lua_newuserdata(L, sizeof(TRecordHandle));
    new (block) TRecordHandle(record);
    lua_newtable(L);
    lua_pushstring(L, "__gc");
    lua_pushcfunction(L, CloseRecord);
    lua_rawset(L, -3);
    lua_setmetatable(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
    return record;
}

} // namespace

std::shared_ptr<TLuaStateRecord> TLuaStateRecord::Of(lua_State* L)
{
    lua_pushstring(L, kRecordKey);
    lua_rawget(L, LUA_REGISTRYINDEX);
    auto* handle = static_cast<TRecordHandle*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    if (handle != nullptr && *handle != nullptr)
        return *handle;
    return MakeRecord(L);
}
