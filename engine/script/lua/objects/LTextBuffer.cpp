#include "engine/script/lua/objects/LTextBuffer.h"

#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LMemory.h"
#include "engine/script/lua/runtime/LState.h"

namespace {

// Sets the allocation tag to 1 for the life of a buffer resize.
class LBufferResizeTag
{
public:
    explicit LBufferResizeTag(lua_State* L) : mState(L), mOldTag(L->mAllocTag) { L->mAllocTag = 1; }
    ~LBufferResizeTag() { mState->mAllocTag = mOldTag; }
    LBufferResizeTag(const LBufferResizeTag&) = delete;
    LBufferResizeTag& operator=(const LBufferResizeTag&) = delete;

private:
    lua_State* mState;
    int mOldTag;
};

} // namespace

void luaZ_resizebuffer(lua_State* L, LTextBuffer* buffer, std::size_t size)
{
    LBufferResizeTag tag(L);
    buffer->mBuffer = static_cast<char*>(luaM_realloc(L, buffer->mBuffer, buffer->mSize, size));
    buffer->mSize = size;
}

char* luaZ_openspace(lua_State* L, LTextBuffer* buffer, std::size_t size)
{
    if (size > buffer->mSize) {
        if (size < kMinBufferSize)
            size = kMinBufferSize;
        luaZ_resizebuffer(L, buffer, size);
    }
    return buffer->mBuffer;
}
