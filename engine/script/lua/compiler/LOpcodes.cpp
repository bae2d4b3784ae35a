#include "engine/script/lua/compiler/LOpcodes.h"

const uint8_t luaP_opmodes[kNumOpcodes] = {
    0x24, 0x61, 0x20, 0x24, 0x20, 0x61, 0x34, 0x41, 0x00, 0x18, // MOVE .. SETTABLE
    0x20, 0x34, 0x38, 0x38, 0x38, 0x38, 0x38, 0x38, 0x38, 0x38, // NEWTABLE .. SHR
    0x38, 0x24, 0x24, 0x34, 0x02, 0x98, 0x98, 0x98, 0xa4, 0x00, // POW .. CALL
    0x00, 0x00, 0x02, 0x80, 0x02, 0x01, 0x01, 0x00, 0x21,       // TAILCALL .. CLOSURE
};

const char* const luaP_opnames[kNumOpcodes] = {
    "MOVE",     "LOADK",    "LOADBOOL", "LOADNIL", "GETUPVAL", "GETGLOBAL", "GETTABLE", "SETGLOBAL",
    "SETUPVAL", "SETTABLE", "NEWTABLE", "SELF",    "ADD",      "SUB",       "MUL",      "DIV",
    "AND",      "OR",       "SHL",      "SHR",     "POW",      "UNM",       "NOT",      "CONCAT",
    "JMP",      "EQ",       "LT",       "LE",      "TEST",     "CALL",      "TAILCALL", "RETURN",
    "FORLOOP",  "TFORLOOP", "TFORPREP", "SETLIST", "SETLISTO", "CLOSE",     "CLOSURE",
};
