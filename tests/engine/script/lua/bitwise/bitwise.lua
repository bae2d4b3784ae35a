-- The bitwise operators on integers, shift counts 0 to 31, hexadecimal literals and
-- \x escapes. Every operation stands in its own parentheses (see translate_bit32.lua).

local values = {0, 1, 2, 3, 5, 7, 8, 15, 16, 255, 256, 1023, 65535, 65536,
                2147483647, 2147483648, 4294967295, 4294967296, 4294967301,
                -1, -2, -255, -2147483648, -4294967296, -4294967297,
                123456789, 987654321, 1125899906842623, -1125899906842623}

for _, a in ipairs(values) do
    for _, b in ipairs(values) do
        print(a, b, (a & b), (a | b), (a ^ b))
    end
end

local shifted = {1, 3, 255, 65535, 2147483648, 4294967295, -1, -256, 123456789}
for _, v in ipairs(shifted) do
    for n = 0, 31 do
        print(v, n, (v << n), (v >> n))
    end
end

-- Combinations and literals.
local colour = 0x80ff7f3f
print(colour, ((colour >> 24) & 0xff), ((colour >> 16) & 0xff), ((colour >> 8) & 0xff), (colour & 0xff))
print((((0x12 << 24) | (0x34 << 16)) | ((0x56 << 8) | 0x78)))
print(0x0, 0xff, 0xFF, 0x7fffffff, 0xffffffff, 0xABCDEF, 0x10 + 1)
print(((0xdeadbeef ^ 0xffffffff) & 0xffff), (0xf0f0 | 0x0f0f), (1 << 31), (0x80000000 >> 31))
local mask = 0
for bit = 0, 31, 3 do mask = (mask | (1 << bit)) end
print(mask)
local crc = 0xffffffff
for i = 1, 10 do
    crc = ((crc >> 1) ^ ((crc & 1) * 0xedb88320))
end
print(crc)
local swapped = 0x11223344
swapped = ((((swapped & 0xff) << 24) | ((swapped & 0xff00) << 8)) |
           (((swapped >> 8) & 0xff00) | ((swapped >> 24) & 0xff)))
print(string.format("%08x", swapped))

print("\x41\x42\x43", "a\x2db", string.byte("\x00\xff", 1), string.byte("\x00\xff", 2))
print(string.len("\x7f\x80\x01"), "\x4a\x4A" == "JJ")
