#include "engine/script/lua/chunk/LChunkLoader.h"

#include "engine/script/lua/chunk/LChunkFormat.h"
#include "engine/script/lua/compiler/LCodeCheck.h"
#include "engine/script/lua/objects/LFunction.h"
#include "engine/script/lua/objects/LInputStream.h"
#include "engine/script/lua/objects/LMemory.h"
#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/runtime/LRunError.h"

#include <algorithm>
#include <cstring>

namespace {

// Strings are read in pieces of this size, so a size field larger than the data left
// costs no more memory than the data itself.
constexpr size_t kReadPiece = 65536;

std::string ChunkName(const char* streamName)
{
    if (!streamName)
        return "?";
    if (streamName[0] == 27)
        return "binary string";
    if (streamName[0] == '=' || streamName[0] == '@')
        return streamName + 1;
    return streamName;
}

} // namespace

LChunkLoader::LChunkLoader(lua_State* L, LInputStream* z)
    : mL(L), mStream(z), mName(ChunkName(z->mName))
{
}

void LChunkLoader::Refuse(const char* format)
{
    luaG_runerror(mL, format, mName.c_str());
}

void LChunkLoader::ReadBlock(void* out, size_t size)
{
    if (luaZ_read(mStream, out, size) != 0)
        Refuse("unexpected end of file in %s");
}

uint8_t LChunkLoader::ReadByte()
{
    uint8_t value;
    ReadBlock(&value, 1);
    return value;
}

uint64_t LChunkLoader::ReadUnsigned(int byteCount)
{
    uint8_t bytes[8];
    ReadBlock(bytes, static_cast<size_t>(byteCount));
    uint64_t value = 0;
    for (int i = 0; i < byteCount; ++i) {
        const int shift = 8 * (mFileLittleEndian ? i : byteCount - 1 - i);
        value |= uint64_t(bytes[i]) << shift;
    }
    return value;
}

int32_t LChunkLoader::ReadInt()
{
    const int32_t value =
        static_cast<int32_t>(static_cast<uint32_t>(ReadUnsigned(LChunkFormat::kIntSize)));
    if (value < 0)
        Refuse("bad integer in %s");
    return value;
}

double LChunkLoader::ReadNumber()
{
    const uint64_t bits = ReadUnsigned(LChunkFormat::kNumberSize);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool LChunkLoader::ReadString(std::string& out)
{
    const uint64_t size = ReadUnsigned(LChunkFormat::kSizeSize);
    out.clear();
    if (size == 0)
        return false;
    for (uint64_t done = 0; done < size;) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(kReadPiece, size - done));
        out.resize(static_cast<size_t>(done) + piece);
        ReadBlock(out.data() + done, piece);
        done += piece;
    }
    out.pop_back(); // the terminating zero
    return true;
}

bool LChunkLoader::ReadWideString(std::u16string& out)
{
    const uint64_t count = ReadUnsigned(LChunkFormat::kSizeSize);
    out.clear();
    if (count == 0)
        return false;
    for (uint64_t i = 0; i < count; ++i)
        out.push_back(static_cast<char16_t>(ReadUnsigned(2)));
    out.pop_back();
    return true;
}

void LChunkLoader::ReadRequiredString(std::string& out)
{
    if (!ReadString(out))
        Refuse("bad code in %s");
}

void LChunkLoader::CheckSize(int expected, const char* what)
{
    const int read = ReadByte();
    if (read != expected)
        luaG_runerror(mL, "virtual machine mismatch in %s: size of %s is %d but read %d",
                      mName.c_str(), what, expected, read);
}

void LChunkLoader::ReadHeader()
{
    char signature[sizeof LChunkFormat::kSignature];
    ReadBlock(signature, sizeof signature);
    if (std::memcmp(signature, LChunkFormat::kSignature, sizeof signature) != 0)
        Refuse("bad signature in %s");

    const int version = ReadByte();
    const int expectedMajor = LChunkFormat::kVersion >> 4;
    const int expectedMinor = LChunkFormat::kVersion & 0xF;
    if (version > LChunkFormat::kVersion)
        luaG_runerror(mL, "%s too new: read version %d.%d; expected at most %d.%d", mName.c_str(),
                      version >> 4, version & 0xF, expectedMajor, expectedMinor);
    if (version < LChunkFormat::kVersion)
        luaG_runerror(mL, "%s too old: read version %d.%d; expected at least %d.%d", mName.c_str(),
                      version >> 4, version & 0xF, expectedMajor, expectedMinor);

    const bool swap = ReadByte() != luaU_endianness();
    mFileLittleEndian = (luaU_endianness() == 1) != swap;

    CheckSize(LChunkFormat::kIntSize, "int");
    CheckSize(LChunkFormat::kSizeSize, "size_t");
    CheckSize(LChunkFormat::kInstructionSize, "Instruction");
    CheckSize(LChunkFormat::kOpcodeBits, "OP");
    CheckSize(LChunkFormat::kABits, "A");
    CheckSize(LChunkFormat::kBBits, "B");
    CheckSize(LChunkFormat::kCBits, "C");
    CheckSize(LChunkFormat::kNumberSize, "number");

    // The test number must truncate to the same integer as ours (31415926).
    const double testNumber = ReadNumber();
    const double expected = static_cast<double>(static_cast<int64_t>(LChunkFormat::kTestNumber));
    if (!(testNumber >= expected && testNumber < expected + 1))
        Refuse("unknown number format in %s");
}

void LChunkLoader::ReadConstants(TRecord& record, int depth)
{
    const int32_t count = ReadCount();
    for (int32_t i = 0; i < count; ++i) {
        TConstant k;
        k.mType = ReadByte();
        switch (k.mType) {
        case LChunkFormat::kConstantNil:
            break;
        case LChunkFormat::kConstantNumber:
            k.mNumber = ReadNumber();
            break;
        case LChunkFormat::kConstantString:
            ReadRequiredString(k.mText);
            break;
        case LChunkFormat::kConstantWString:
            if (!ReadWideString(k.mWide))
                Refuse("bad code in %s");
            break;
        default:
            luaG_runerror(mL, "bad constant type (%d) in %s", static_cast<int>(k.mType),
                          mName.c_str());
        }
        record.mConstants.push_back(std::move(k));
    }
    const int32_t protoCount = ReadCount();
    for (int32_t i = 0; i < protoCount; ++i) {
        record.mProtos.emplace_back();
        ReadRecord(record.mProtos.back(), depth + 1);
    }
}

void LChunkLoader::ReadRecord(TRecord& record, int depth)
{
    if (depth > LChunkFormat::kMaxNesting)
        Refuse("bad code in %s");
    record.mHasSource = ReadString(record.mSource);
    record.mLineDefined = ReadInt();
    record.mNumUpvalues = ReadByte();
    record.mNumParams = ReadByte();
    record.mIsVararg = ReadByte();
    record.mMaxStackSize = ReadByte();

    const int32_t lineCount = ReadCount();
    for (int32_t i = 0; i < lineCount; ++i)
        record.mLineInfo.push_back(ReadInt());

    const int32_t localCount = ReadCount();
    for (int32_t i = 0; i < localCount; ++i) {
        TLocal local;
        ReadRequiredString(local.mName);
        local.mStartPc = ReadInt();
        local.mEndPc = ReadInt();
        record.mLocals.push_back(std::move(local));
    }

    const int32_t upvalueCount = ReadCount();
    if (upvalueCount != 0 && upvalueCount != record.mNumUpvalues)
        luaG_runerror(mL, "bad nupvalues in %s: read %d; expected %d", mName.c_str(),
                      static_cast<int>(upvalueCount), static_cast<int>(record.mNumUpvalues));
    for (int32_t i = 0; i < upvalueCount; ++i) {
        record.mUpvalueNames.emplace_back();
        ReadRequiredString(record.mUpvalueNames.back());
    }

    ReadConstants(record, depth);

    const int32_t codeCount = ReadCount();
    for (int32_t i = 0; i < codeCount; ++i)
        record.mCode.push_back(static_cast<uint32_t>(ReadUnsigned(LChunkFormat::kInstructionSize)));
}

LProto* LChunkLoader::Build(const TRecord& record, LString* parentSource)
{
    lua_State* L = mL;
    LProto* f = luaF_newproto(L);
    f->mSource = record.mHasSource ? luaS_newlstr(L, record.mSource.data(), record.mSource.size())
                                   : parentSource;
    f->mLineDefined = record.mLineDefined;
    f->mNumUpvalues = record.mNumUpvalues;
    f->mNumParams = record.mNumParams;
    f->mIsVararg = record.mIsVararg;
    f->mMaxStackSize = record.mMaxStackSize;

    // Each vector is complete and consistent before anything else can fail, so a
    // memory error leaves a prototype the collector can free.
    const size_t lines = record.mLineInfo.size();
    f->mLineInfo = luaM_newvector<int>(L, lines);
    std::copy(record.mLineInfo.begin(), record.mLineInfo.end(), f->mLineInfo);
    f->mSizeLineInfo = static_cast<int>(lines);

    const size_t code = record.mCode.size();
    f->mCode = luaM_newvector<Instruction>(L, code);
    std::copy(record.mCode.begin(), record.mCode.end(), f->mCode);
    f->mSizeCode = static_cast<int>(code);

    const size_t locals = record.mLocals.size();
    f->mLocVars = luaM_newvector<LLocVar>(L, locals);
    for (size_t i = 0; i < locals; ++i)
        f->mLocVars[i] = LLocVar{nullptr, record.mLocals[i].mStartPc, record.mLocals[i].mEndPc};
    f->mSizeLocVars = static_cast<int>(locals);
    for (size_t i = 0; i < locals; ++i) {
        const std::string& name = record.mLocals[i].mName;
        f->mLocVars[i].mName = luaS_newlstr(L, name.data(), name.size());
    }

    const size_t upvalues = record.mUpvalueNames.size();
    f->mUpvalueNames = luaM_newvector<LString*>(L, upvalues);
    std::fill_n(f->mUpvalueNames, upvalues, nullptr);
    f->mSizeUpvalueNames = static_cast<int>(upvalues);
    for (size_t i = 0; i < upvalues; ++i) {
        const std::string& name = record.mUpvalueNames[i];
        f->mUpvalueNames[i] = luaS_newlstr(L, name.data(), name.size());
    }

    const size_t constants = record.mConstants.size();
    f->mConstants = luaM_newvector<LValue>(L, constants);
    for (size_t i = 0; i < constants; ++i)
        f->mConstants[i].SetNil();
    f->mSizeConstants = static_cast<int>(constants);
    for (size_t i = 0; i < constants; ++i) {
        const TConstant& k = record.mConstants[i];
        if (k.mType == LChunkFormat::kConstantNumber)
            f->mConstants[i].SetNumber(k.mNumber);
        else if (k.mType == LChunkFormat::kConstantString)
            f->mConstants[i].SetString(luaS_newlstr(L, k.mText.data(), k.mText.size()));
        else if (k.mType == LChunkFormat::kConstantWString)
            f->mConstants[i].SetWString(luaS_newlwstr(L, k.mWide.data(), k.mWide.size()));
    }

    const size_t protos = record.mProtos.size();
    f->mProtos = luaM_newvector<LProto*>(L, protos);
    std::fill_n(f->mProtos, protos, nullptr);
    f->mSizeProtos = static_cast<int>(protos);
    for (size_t i = 0; i < protos; ++i)
        f->mProtos[i] = Build(record.mProtos[i], f->mSource);

    Verify(f);
    return f;
}

void LChunkLoader::Verify(LProto* f)
{
    // The parameters (and the vararg table) must fit in the frame the function asks for.
    if (f->mNumParams + (f->mIsVararg ? 1 : 0) > f->mMaxStackSize || !luaG_checkcode(f))
        Refuse("bad code in %s");
}

LProto* LChunkLoader::Load()
{
    ReadHeader();
    TRecord main;
    ReadRecord(main, 0);
    // The chunk's closure is made without upvalues (a function that has some is never
    // dumped), so code reading one would read past the closure.
    if (main.mNumUpvalues != 0)
        Refuse("bad code in %s");
    LString* chunkSource = nullptr;
    if (!main.mHasSource)
        chunkSource = luaS_new(mL, mStream->mName ? mStream->mName : "=?");
    return Build(main, chunkSource);
}

LProto* luaU_undump(lua_State* L, LInputStream* z, LTextBuffer*)
{
    return LChunkLoader(L, z).Load();
}
