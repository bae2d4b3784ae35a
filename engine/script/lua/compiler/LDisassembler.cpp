#include "engine/script/lua/compiler/LDisassembler.h"

#include "engine/script/lua/compiler/LOpcodes.h"
#include "engine/script/lua/objects/LObjectUtil.h"
#include "engine/script/lua/objects/LString.h"

#include <cstdio>
#include <type_traits>

namespace {

// Quoted text: printable ASCII as it is, other bytes as \ddd, other wide units as \xhhhh.
template <typename Unit> std::string Quote(const char* prefix, const Unit* text, std::size_t length)
{
    std::string out = std::string(prefix) + "\"";
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned c = static_cast<std::make_unsigned_t<Unit>>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char escape[12];
            std::snprintf(escape, sizeof escape, sizeof(Unit) == 1 ? "\\%u" : "\\x%04x", c);
            out += escape;
        }
    }
    return out + "\"";
}

std::string ConstantText(const LValue& k)
{
    switch (k.Tag()) {
    case LUA_TNUMBER: {
        char text[64];
        std::snprintf(text, sizeof text, "%.14g", k.AsNumber());
        return text;
    }
    case LUA_TSTRING:
        return Quote("", k.AsString()->Text(), k.AsString()->mLength);
    case LUA_TWSTRING:
        return Quote("L", k.AsString()->WideText(), k.AsString()->mLength);
    case LUA_TNIL:
        return "nil";
    default:
        return "?";
    }
}

// Collects the operand text and the comment of one instruction.
class LInstructionText
{
public:
    explicit LInstructionText(const LProto* f) : mProto(f) {}

    void Register(int r) { Add(std::to_string(r)); }
    void Number(int n) { Add(std::to_string(n)); }
    void Constant(int index)
    {
        Add("k" + std::to_string(index));
        std::string note = "k" + std::to_string(index) + " = ";
        note += index >= 0 && index < mProto->mSizeConstants
                    ? ConstantText(mProto->mConstants[index])
                    : "?";
        Note(note);
    }
    void RK(int x)
    {
        if (IsConstantRK(x))
            Constant(x - kMaxStack);
        else
            Register(x);
    }
    void Jump(int pc, int offset) { Add("=> " + std::to_string(pc + 1 + offset + 1)); }
    void Note(const std::string& note) { mNotes += (mNotes.empty() ? "" : ", ") + note; }

    std::string Text(const char* opName) const
    {
        std::string out = opName + mOperands;
        if (!mNotes.empty())
            out += " ; " + mNotes;
        return out;
    }

private:
    void Add(const std::string& operand) { mOperands += " " + operand; }

    const LProto* mProto;
    std::string mOperands;
    std::string mNotes;
};

void AddOperands(LInstructionText& t, OpCode op, Instruction i, int pc)
{
    const int a = GETARG_A(i);
    const int b = GETARG_B(i);
    const int c = GETARG_C(i);
    switch (op) {
    case OP_MOVE:
    case OP_LOADNIL:
    case OP_GETUPVAL:
    case OP_SETUPVAL:
    case OP_UNM:
    case OP_NOT:
        t.Register(a);
        t.Number(b);
        break;
    case OP_LOADK:
    case OP_GETGLOBAL:
    case OP_SETGLOBAL:
        t.Register(a);
        t.Constant(GETARG_Bx(i));
        break;
    case OP_GETTABLE:
    case OP_SELF:
        t.Register(a);
        t.Register(b);
        t.RK(c);
        break;
    case OP_SETTABLE:
    case OP_ADD:
    case OP_SUB:
    case OP_MUL:
    case OP_DIV:
    case OP_AND:
    case OP_OR:
    case OP_SHL:
    case OP_SHR:
    case OP_POW:
    case OP_EQ:
    case OP_LT:
    case OP_LE:
        t.Number(a);
        t.RK(b);
        t.RK(c);
        break;
    case OP_NEWTABLE:
        t.Register(a);
        t.Number(b);
        t.Number(c);
        t.Note("array " + std::to_string(luaO_fb2int(b)) + ", hash " +
               std::to_string(c > 0 ? 1 << c : 0));
        break;
    case OP_JMP:
        t.Jump(pc, GETARG_sBx(i));
        break;
    case OP_FORLOOP:
    case OP_TFORPREP:
        t.Register(a);
        t.Jump(pc, GETARG_sBx(i));
        break;
    case OP_TFORLOOP:
        t.Register(a);
        t.Number(c);
        break;
    case OP_SETLIST:
    case OP_SETLISTO:
    case OP_CLOSURE:
        t.Register(a);
        t.Number(GETARG_Bx(i));
        break;
    case OP_CLOSE:
        t.Register(a);
        break;
    case OP_RETURN:
        t.Register(a);
        t.Number(b);
        break;
    default: // LOADBOOL, CONCAT, TEST, CALL, TAILCALL
        t.Register(a);
        t.Number(b);
        t.Number(c);
        break;
    }
}

void AppendFunction(std::string& out, const LProto* f)
{
    char chunk[kChunkIdSize];
    luaO_chunkid(chunk, f->mSource != nullptr ? f->mSource->Text() : "=?", kChunkIdSize);
    char header[200];
    std::snprintf(header, sizeof header, "function <%s:%d> %d params%s, %d upvalues, %d slots\n",
                  chunk, f->mLineDefined, f->mNumParams, f->mIsVararg ? " + vararg" : "",
                  f->mNumUpvalues, f->mMaxStackSize);
    out += header;
    for (int pc = 0; pc < f->mSizeCode; ++pc) {
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "%4d [%d] ", pc + 1,
                      pc < f->mSizeLineInfo ? f->mLineInfo[pc] : 0);
        out += prefix + DisassembleInstruction(f, pc) + "\n";
    }
    for (int i = 0; i < f->mSizeProtos; ++i)
        AppendFunction(out, f->mProtos[i]);
}

} // namespace

std::string DisassembleInstruction(const LProto* f, int pc)
{
    const Instruction i = f->mCode[pc];
    const OpCode op = GET_OPCODE(i);
    if (op >= kNumOpcodes)
        return "?" + std::to_string(static_cast<int>(op));
    LInstructionText text(f);
    AddOperands(text, op, i, pc);
    return text.Text(luaP_opnames[op]);
}

std::string DisassembleProto(const LProto* f)
{
    std::string out;
    AppendFunction(out, f);
    return out;
}
