#include "engine/script/lua/chunk/LChunkDumper.h"

#include "engine/script/lua/chunk/LChunkFormat.h"
#include "engine/script/lua/objects/LFunction.h"
#include "engine/script/lua/objects/LString.h"

#include <cstring>

LChunkDumper::LChunkDumper(lua_State* L, lua_Chunkwriter writer, void* data)
    : mL(L), mWriter(writer), mData(data)
{
}

int LChunkDumper::Dump(const LProto* proto)
{
    WriteHeader();
    WriteFunction(proto, nullptr);
    return mStatus;
}

void LChunkDumper::WriteBlock(const void* bytes, size_t size)
{
    if (mStatus == 0)
        mStatus = mWriter(mL, bytes, size, mData);
}

void LChunkDumper::WriteUnsigned(uint64_t value, int byteCount)
{
    const bool little = luaU_endianness() == 1;
    uint8_t bytes[8];
    for (int i = 0; i < byteCount; ++i)
        bytes[little ? i : byteCount - 1 - i] = static_cast<uint8_t>(value >> (8 * i));
    WriteBlock(bytes, static_cast<size_t>(byteCount));
}

void LChunkDumper::WriteByte(uint8_t value)
{
    WriteBlock(&value, 1);
}

void LChunkDumper::WriteInt(int32_t value)
{
    WriteUnsigned(static_cast<uint32_t>(value), LChunkFormat::kIntSize);
}

void LChunkDumper::WriteSize(uint32_t value)
{
    WriteUnsigned(value, LChunkFormat::kSizeSize);
}

void LChunkDumper::WriteNumber(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteUnsigned(bits, LChunkFormat::kNumberSize);
}

void LChunkDumper::WriteString(const LString* s)
{
    if (!s) {
        WriteSize(0);
        return;
    }
    WriteSize(s->mLength + 1);
    WriteBlock(s->Text(), s->mLength + 1);
}

void LChunkDumper::WriteWideString(const LString* s)
{
    WriteSize(s->mLength + 1);
    const char16_t* text = s->WideText();
    for (uint32_t i = 0; i <= s->mLength; ++i)
        WriteUnsigned(text[i], 2);
}

void LChunkDumper::WriteHeader()
{
    WriteBlock(LChunkFormat::kSignature, sizeof LChunkFormat::kSignature);
    WriteByte(LChunkFormat::kVersion);
    WriteByte(static_cast<uint8_t>(luaU_endianness()));
    WriteByte(LChunkFormat::kIntSize);
    WriteByte(LChunkFormat::kSizeSize);
    WriteByte(LChunkFormat::kInstructionSize);
    WriteByte(LChunkFormat::kOpcodeBits);
    WriteByte(LChunkFormat::kABits);
    WriteByte(LChunkFormat::kBBits);
    WriteByte(LChunkFormat::kCBits);
    WriteByte(LChunkFormat::kNumberSize);
    WriteNumber(LChunkFormat::kTestNumber);
}

void LChunkDumper::WriteConstants(const LProto* f)
{
    WriteInt(f->mSizeConstants);
    for (int i = 0; i < f->mSizeConstants; ++i) {
        const LValue& k = f->mConstants[i];
        switch (k.Tag()) {
        case LUA_TNUMBER:
            WriteByte(LChunkFormat::kConstantNumber);
            WriteNumber(k.AsNumber());
            break;
        case LUA_TSTRING:
            WriteByte(LChunkFormat::kConstantString);
            WriteString(k.AsString());
            break;
        case LUA_TWSTRING:
            WriteByte(LChunkFormat::kConstantWString);
            WriteWideString(k.AsString());
            break;
        default:
            WriteByte(LChunkFormat::kConstantNil);
            break;
        }
    }
    WriteInt(f->mSizeProtos);
    for (int i = 0; i < f->mSizeProtos; ++i)
        WriteFunction(f->mProtos[i], f->mSource);
}

void LChunkDumper::WriteFunction(const LProto* f, const LString* parentSource)
{
    WriteString(f->mSource == parentSource ? nullptr : f->mSource);
    WriteInt(f->mLineDefined);
    WriteByte(f->mNumUpvalues);
    WriteByte(f->mNumParams);
    WriteByte(f->mIsVararg);
    WriteByte(f->mMaxStackSize);

    WriteInt(f->mSizeLineInfo);
    for (int i = 0; i < f->mSizeLineInfo; ++i)
        WriteInt(f->mLineInfo[i]);

    WriteInt(f->mSizeLocVars);
    for (int i = 0; i < f->mSizeLocVars; ++i) {
        WriteString(f->mLocVars[i].mName);
        WriteInt(f->mLocVars[i].mStartPc);
        WriteInt(f->mLocVars[i].mEndPc);
    }

    WriteInt(f->mSizeUpvalueNames);
    for (int i = 0; i < f->mSizeUpvalueNames; ++i)
        WriteString(f->mUpvalueNames[i]);

    WriteConstants(f);

    WriteInt(f->mSizeCode);
    for (int i = 0; i < f->mSizeCode; ++i)
        WriteUnsigned(f->mCode[i], LChunkFormat::kInstructionSize);
}

int luaU_dump(lua_State* L, const LProto* proto, lua_Chunkwriter writer, void* data)
{
    return LChunkDumper(L, writer, data).Dump(proto);
}
