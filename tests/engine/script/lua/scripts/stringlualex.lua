-- string.lualex decodes escape sequences; flag 0 gives bytes, any other flag 16-bit
-- little-endian units.

dofile("check.inc")

local cases = {
    {"plain", "abc", 0, "abc"},
    {"tab", "a\\tb", 0, "a\tb"},
    {"letters", "\\a\\b\\f\\n\\r\\t\\v", 0, "\7\8\12\10\13\9\11"},
    {"other character", "\\q", 0, "q"},
    {"backslash", "\\\\", 0, "\\"},
    {"quote", "\\\"", 0, "\""},
    {"hex", "\\x41\\x4a", 0, "AJ"},
    {"hex lower and upper", "\\x4A\\x4a", 0, "JJ"},
    {"hex one digit", "\\x4g", 0, "\4g"},
    {"hex two digits at most", "\\x414", 0, "A4"},
    {"x without digit", "\\xg", 0, "xg"},
    {"x at the end", "\\x", 0, "x"},
    {"decimal", "\\65\\066\\0677", 0, "ABC7"},
    {"decimal wraps", "\\300", 0, ","},
    {"decimal zero", "a\\0b", 0, "a\0b"},
    {"trailing backslash", "ab\\", 0, "ab\\"},
    {"empty", "", 0, ""},
    {"wide plain", "ab", 1, "a\0b\0"},
    {"wide hex four digits", "\\x263A!", 1, "\58\38!\0"},
    {"wide hex short", "\\x41z", 1, "A\0z\0"},
    {"wide letter", "\\n", 2, "\10\0"},
    {"wide decimal", "\\65", 1, "A\0"},
    {"wide trailing backslash", "\\", 1, "\\\0"},
}
for _, case in ipairs(cases) do
    check(case[1], string.lualex(case[2], case[3]), case[4])
end
check("flag required", pcall(string.lualex, "x"), false)
check("text required", pcall(string.lualex, nil, 0), false)
