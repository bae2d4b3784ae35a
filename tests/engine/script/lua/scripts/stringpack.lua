-- string.pack and string.unpack.

dofile("check.inc")

-- Byte order.
local packed = string.pack("<h>h", 1, 1)
check("byte order", hex(packed), "01 00 00 01")
check("byte order back", list(string.unpack(packed, "<h>h")), "5,1,1")
check("equals is little", hex(string.pack(">=I", 1)), "01 00 00 00")
check("big I", hex(string.pack(">I", 16909060)), "01 02 03 04")
check("spaces and commas", hex(string.pack("b, b b", 1, 2, 3)), "01 02 03")

-- Every numeric code, both orders, with counts.
local samples = {
    {"b", {0, 1, 127, 128, 255}},
    {"c", {0, 1, 127, -128, -1}},
    {"h", {0, 1, -1, 32767, -32768}},
    {"H", {0, 1, 65535, 32768, 258}},
    {"i", {0, 1, -1, 2147483647, -2147483648}},
    {"l", {0, 7, -7, 123456789, -123456789}},
    {"I", {0, 1, 4294967295, 2147483648, 16909060}},
    {"L", {0, 9, 4294967295, 305419896, 1}},
    {"f", {0, 1, -2.5, 0.375, 1048576}},
    {"d", {0, 1 / 3, -1e300, 2.5e-300, 123456.789}},
    {"n", {0, 0.1, -7, 1e15, 9007199254740993}},
}
local bad = 0
for _, sample in ipairs(samples) do
    local code, values = sample[1], sample[2]
    for _, order in ipairs({"<", ">"}) do
        local format = order .. code .. "5"
        local data = string.pack(format, values[1], values[2], values[3], values[4], values[5])
        local next, a, b, c, d, e = string.unpack(data, format)
        if a ~= values[1] or b ~= values[2] or c ~= values[3] or d ~= values[4] or
           e ~= values[5] or next ~= string.len(data) + 1 then
            bad = bad + 1
            print("mismatch", format, a, b, c, d, e, next)
        end
    end
end
check("numeric round trip", bad, 0)
check("truncation toward zero", list(string.unpack(string.pack("bhi", 3.9, -2.7, -1.5), "bhi")), "8,3,-2,-1")
check("wrap to the low bytes", list(string.unpack(string.pack("bH", 257, 65537), "bH")), "4,1,1")

-- Booleans.
check("B", hex(string.pack("B3", true, false, true)), "01 00 01")
check("B back", list(string.unpack("\1\0\7", "B3")), "4,true,false,true")
fails_with("B needs a boolean", function() return string.pack("B", 1) end, "expected a boolean")
fails_with("B nil", function() return string.pack("B", nil) end, "expected a boolean")

-- Strings.
check("A", string.pack("A", "abc"), "abc")
check("A count", string.pack("A2", "ab", "cd"), "abcd")
check("z", hex(string.pack("z", "ab")), "61 62 00")
check("p", hex(string.pack("p", "ab")), "02 61 62")
check("P big", hex(string.pack(">P", "ab")), "00 02 61 62")
check("a", hex(string.pack("a", "ab")), "02 00 00 00 61 62")
check("number as string", string.pack("A", 12), "12")
check("A back", list(string.unpack("abcdef", "A2A3")), "6,ab,cde")
check("z back", list(string.unpack("ab\0cd\0", "z2")), "7,ab,cd")
check("p back", list(string.unpack("\2ab\0", "pp")), "5,ab,")
check("P and a back", list(string.unpack("\0\3xyz", ">P")), "6,xyz")
check("a back", list(string.unpack("\2\0\0\0hi", "a")), "7,hi")
fails_with("p too long", function() return string.pack("p", string.rep("x", 256)) end,
    "string too long")
check("p longest", string.len(string.pack("p", string.rep("x", 255))), 256)
fails_with("P too long", function() return string.pack("P", string.rep("x", 65536)) end,
    "string too long")
fails_with("A of a table", function() return string.pack("A", {}) end, "string expected, got table")

-- Wide strings.
check("wz", hex(string.pack("wz", L"ab")), "61 00 62 00 00 00")
check("wA big", hex(string.pack(">wA", L"\x263A")), "26 3a")
check("wp", hex(string.pack("wp", L"ab")), "02 61 00 62 00")
local wide = L"h\x263Ai"
for _, formats in ipairs({{"<wA", "<wA3"}, {">wA", ">wA3"}, {"<wz"}, {">wz"}, {"<wp"},
                         {">wP"}, {"<wa"}, {">wa"}}) do
    local data = string.pack(formats[1], wide)
    local _, back = string.unpack(data, formats[2] or formats[1])
    check("wide round trip " .. formats[1], back, wide)
end
local _, one_wide = string.unpack("a\0", "wA1")
check("wide type", type(one_wide), "wstring")
fails_with("w needs a wstring", function() return string.pack("wA", {}) end,
    "wstring expected, got table")
check("w takes a number", hex(string.pack("wA", 5)), "35 00")

-- Short data stops and returns the position reached.
check("A short", list(string.unpack("ab", "A3")), "1")
check("numbers short", list(string.unpack("\1\2\3", "bhI")), "4,1,770")
check("z without end", list(string.unpack("abc", "z")), "1")
check("wide z without end", list(string.unpack("a\0b", "wz")), "1")
check("wide z odd", list(string.unpack("a\0\0", "wz")), "1")
check("wide z", list(string.unpack("a\0\0\0", "wz")), "5,a")
check("p short", list(string.unpack("\5ab", "p")), "1")
check("a huge length", list(string.unpack("\255\255\255\255x", "a")), "1")
check("start", list(string.unpack("xyz", "A1", 2)), "3,y")
check("start past end", list(string.unpack("xyz", "b", 10)), "10")
check("start at end", list(string.unpack("xyz", "z", 4)), "4")
fails_with("start below 1", function() return string.unpack("xyz", "b", 0) end,
    "bad argument #3")

-- @ fills up to a size from its mark.
check("fill", hex(string.pack("@4:255bb@", 1, 2)), "01 02 ff ff")
check("fill default byte", hex(string.pack("b@3b@b", 9, 1, 2)), "09 01 00 00 02")
check("fill already full", hex(string.pack("@1bb@", 1, 2)), "01 02")
check("two marks", hex(string.pack("@2b@@2b@", 1, 2)), "01 00 02 00")
local big = string.pack("A@600A@", string.rep("x", 1000), "y")
check("fill across blocks", string.len(big), 1600)
check("fill content", string.sub(big, 1001, 1002) .. string.byte(big, 1600), "y" .. "\0" .. 0)
fails_with("fill too large", function() return string.pack("@2000000000b@", 1) end,
    "resulting string too large")

-- Bad codes.
fails_with("bad pack code", function() return string.pack("x", 1) end, "bad code `x'")
fails_with("bad pack code argument", function() return string.pack("?") end,
    "bad argument #1 to `pack' (bad code `?')")
fails_with("bad unpack code", function() return string.unpack("abc", "bq") end, "bad code `q'")
fails_with("pack missing value", function() return string.pack("bb", 1) end,
    "bad argument #3 to `pack' (number expected, got no value)")
