-- string.format and the dialect's additions to it; %Q quoting read back by the lexer.

dofile("check.inc")

-- Strings index the string library.
check("method upper", ("abc"):upper(), "ABC")
check("method format", ("%d|%s"):format(7, "x"), "7|x")

-- Integer conversions: c d i through 32 bits, o u x X through the low 32 bits of 64.
check("x of -1", string.format("%x", -1), "ffffffff")
check("X of -1", string.format("%X", -1), "FFFFFFFF")
check("u of -1", string.format("%u", -1), "4294967295")
check("o of 8", string.format("%o", 8), "10")
check("x of 2^32+5", string.format("%x", 4294967301), "5")
check("x of -2^40", string.format("%x", -1099511627776), "0")
check("d of 2^31", string.format("%d", 2147483648), "-2147483648")
check("d of 2^32", string.format("%d", 4294967296), "0")
check("d truncates", string.format("%d %d", 3.9, -3.9), "3 -3")
check("i width", string.format("%5i|%-5i|", 42, 42), "   42|42   |")
check("c", string.format("%c%c", 72, 105), "Hi")
check("d of huge", string.format("%d", 1e300), "0")
check("x of nan", string.format("%x", 0 / 0 * 0), "0")

-- %B: truthiness of a boolean or nil.
check("B nil", string.format("%B", nil), "false")
check("B false", string.format("%B", false), "false")
check("B true", string.format("%B", true), "true")
check("B ignores width", string.format("[%8B]", true), "[true]")
fails_with("B of a number", function() return string.format("%B", 5) end,
    "boolean expected, got number")
fails_with("B of nothing", function() return string.format("%B") end,
    "boolean expected, got no value")

-- %b and a letter: raw little-endian bytes.
check("bd 258", hex(string.format("%bd", 258)), "02 01 00 00")
check("bd -1", hex(string.format("%bd", -1)), "ff ff ff ff")
check("bd 2^32+5", hex(string.format("%bd", 4294967301)), "05 00 00 00")
check("bw 258", hex(string.format("%bw", 258)), "02 01")
check("bw -2", hex(string.format("%bw", -2)), "fe ff")
check("bb 258", hex(string.format("%bb", 258)), "02")
check("bF 1", hex(string.format("%bF", 1)), "00 00 00 00 00 00 f0 3f")
check("bF -2.5", hex(string.format("%bF", -2.5)), "00 00 00 00 00 00 04 c0")
check("bf 1", hex(string.format("%bf", 1)), "00 00 80 3f")
check("bf huge", hex(string.format("%bf", 1e300)), "00 00 80 7f")
check("b other letter", string.format("<%bx>%d", 99, 5), "<>5")
check("b ignores width", hex(string.format("%9.3bb", 65)), "41")
fails_with("b at the end", function() return string.format("%b", 1) end,
    "invalid option to `format'")
fails_with("bd of a string", function() return string.format("%bd", "x") end,
    "number expected, got string")

-- %q as before.
check("q zero", string.format("%q", "a\0b"), "\"a\\000b\"")
check("q specials", string.format("%q", "\"\\\n"), "\"\\\"\\\\\\\n\"")

-- %Q quoting.
check("Q newline", string.format("%Q", "a\nb"), "\"a\\nb\"")
check("Q byte 1", string.format("%Q", "\1"), "\"\\x01\"")
check("Q controls", string.format("%Q", "\7\8\9\10\11\12\13"), "\"\\a\\b\\t\\n\\v\\f\\r\"")
check("Q quote and backslash", string.format("%Q", "\"\\"), "\"\\\"\\\\\"")
check("Q high byte", string.format("%Q", "\200\255"), "\"\\xc8\\xff\"")
check("Q number", string.format("%Q", 12), "\"12\"")
check("Q wide", string.format("%Q", L"a\x263Ab"), "L\"a\\x263ab\"")
check("Q wide specials", string.format("%Q", L"\"\\\n\1"), "L\"\\\"\\\\\\n\\x0001\"")
check("Q wide high byte", string.format("%Q", L"\xe9"), "L\"\\x00e9\"")
fails_with("Q of a table", function() return string.format("%Q", {}) end,
    "string expected, got table")

-- Every byte, alone and all together, reads back through the lexer.
local all = {}
local bad = 0
for b = 0, 255 do
    local s = string.char(b)
    all[b + 1] = s
    local back = loadstring("return " .. string.format("%Q", s))()
    if back ~= s then bad = bad + 1 end
end
check("Q every byte", bad, 0)
local everything = table.concat(all)
check("Q all bytes", loadstring("return " .. string.format("%Q", everything))(), everything)

-- Wide strings with characters across the whole 16-bit range read back too.
local function wide_char(code)
    local _, w = string.unpack(string.pack("<H", code), "wA1")
    return w
end
bad = 0
local code = 0
while code < 65536 do
    local w = wide_char(code)
    local back = loadstring("return " .. string.format("%Q", w))()
    if back ~= w then bad = bad + 1 end
    code = code + 97
end
for _, c in ipairs({0, 7, 13, 34, 92, 127, 128, 255, 256, 9786, 65535}) do
    local w = wide_char(c)
    if loadstring("return " .. string.format("%Q", w))() ~= w then bad = bad + 1 end
end
check("Q wide characters", bad, 0)
local _, mixed = string.unpack(string.pack("<HHHHH", 9786, 65, 0, 34, 65535), "wA5")
check("Q wide mixed", loadstring("return " .. string.format("%Q", mixed))(), mixed)

-- Errors in the format itself.
fails_with("width too long", function() return string.format("%100d", 1) end,
    "invalid format (width or precision too long)")
fails_with("precision too long", function() return string.format("%.100f", 1) end,
    "invalid format (width or precision too long)")
fails_with("too long", function() return string.format("%-----------------------d", 1) end,
    "invalid format (too long)")
fails_with("d dollar", function() return string.format("%1$d", 1) end,
    "obsolete option (d$) to `format'")
fails_with("bad letter", function() return string.format("%y", 1) end,
    "invalid option to `format'")
fails_with("percent at the end", function() return string.format("abc%") end,
    "invalid option to `format'")
fails_with("missing argument", function() return string.format("%d %d", 1) end,
    "bad argument #3 to `format' (number expected, got no value)")

-- Long and short string arguments.
local long = string.rep("x", 150)
check("s long", string.format("%5s", long), long)
check("s long precision", string.format("%.3s", long), "xxx")
check("s width", string.format("[%5s][%-5s]", "ab", "ab"), "[   ab][ab   ]")
check("s wide refused", pcall(string.format, "%s", L"x"), false)
check("percent", string.format("100%%"), "100%")
check("floats", string.format("%.3f %e %g", 1 / 3, 1e10, 1e20), "0.333 1.000000e+10 1e+20")
