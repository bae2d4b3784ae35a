#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LInputStream;
struct LProto;
struct LString;
struct LTextBuffer;
struct lua_State;

// Reads a precompiled chunk (see LChunkFormat.h) from an input stream and returns its
// main function, verified. Chunks in the other byte order load too.
//
// The input may be hostile: any asset that starts with byte 27 comes here. Every count,
// size and index is checked, and the chunk is read completely into plain records before
// a single interpreter object is made, so memory grows only with the bytes actually
// present; nesting is capped at LChunkFormat::kMaxNesting; every function passes the
// code verification. A refused chunk raises a run-time error naming the chunk ("bad
// signature in %s", "unexpected end of file in %s", "bad code in %s" ...), and nothing
// of it stays reachable. Must run under a protected call, without a collection in
// between (the prototypes are not anchored while they are built).
class LChunkLoader
{
public:
    LChunkLoader(lua_State* L, LInputStream* z);

    LProto* Load();

private:
    struct TLocal
    {
        std::string mName;
        int32_t mStartPc = 0;
        int32_t mEndPc = 0;
    };
    struct TConstant
    {
        uint8_t mType = 0;
        double mNumber = 0;
        std::string mText;
        std::u16string mWide;
    };
    struct TRecord
    {
        bool mHasSource = false;
        std::string mSource;
        int32_t mLineDefined = 0;
        uint8_t mNumUpvalues = 0;
        uint8_t mNumParams = 0;
        uint8_t mIsVararg = 0;
        uint8_t mMaxStackSize = 0;
        std::vector<int32_t> mLineInfo;
        std::vector<TLocal> mLocals;
        std::vector<std::string> mUpvalueNames;
        std::vector<TConstant> mConstants;
        std::vector<TRecord> mProtos;
        std::vector<uint32_t> mCode;
    };

    void ReadHeader();
    void CheckSize(int expected, const char* what);
    void ReadRecord(TRecord& record, int depth);
    void ReadConstants(TRecord& record, int depth);
    LProto* Build(const TRecord& record, LString* parentSource);
    void Verify(LProto* f);

    void ReadBlock(void* out, size_t size);
    uint8_t ReadByte();
    uint64_t ReadUnsigned(int byteCount);
    int32_t ReadInt();
    int32_t ReadCount() { return ReadInt(); }
    double ReadNumber();
    bool ReadString(std::string& out);
    bool ReadWideString(std::u16string& out);
    void ReadRequiredString(std::string& out);

    [[noreturn]] void Refuse(const char* format);

    lua_State* mL;
    LInputStream* mStream;
    std::string mName;
    bool mFileLittleEndian = true;
};

// The loader entry of the protected parser. The buffer is unused: the loader keeps its
// own text.
LProto* luaU_undump(lua_State* L, LInputStream* z, LTextBuffer* buffer);
