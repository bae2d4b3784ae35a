-- Arithmetic, precedence, number printing and string conversion.

print(1 + 2, 7 - 10, 6 * 7, 7 / 2, -3, - -3)
print(2 + 3 * 4, (2 + 3) * 4, 10 - 4 - 3, 100 / 10 / 5, -2 * -3)
print(1 / 3, 2 / 3, 10 / 4, 1e15, 1e16, 123456789012345)
print(0.1, 0.5, 1.5e-7, 1e100, -1e-100, 2.5e300 * 1e10)
print(1 / 0, -1 / 0, 9007199254740993, 4294967296, 2147483647 + 1)
print(100000000000000, 1e14 + 0.5, 3.14159265358979, -0.0 + 0)
print(99999999999999, -99999999999999, -7, 4503599627370496, -123456789 .. "", 2147483648)
print(12345.678 * 1000, 1 - 0.9, 0.1 + 0.2, 1e-5, 1e-4)

-- Strings convert in arithmetic; numbers convert in concatenation.
print("10" + 1, "3" * "4", " 5 " + 0, "1e2" * 1, "0.5" / 2, -"2")
print(1 .. 2, "x" .. 3.5, 1e15 .. "", -0.25 .. "|")
print(10 == "10", "abc" < "abd", "" < "a", "Z" < "a", "a" < "B", "ab" < "abc")
print(1 < 2, 2 <= 2, 3 > 4, 3 >= 3, 1 ~= 1, "a" ~= "b")

-- tonumber with and without a base.
print(tonumber("42"), tonumber("  7  "), tonumber("1.5e3"), tonumber(".5"), tonumber("5."))
print(tonumber("abc"), tonumber(""), tonumber("1 2"), tonumber(nil), tonumber(true))
print(tonumber("ff", 16), tonumber("FF", 16), tonumber("777", 8), tonumber("zz", 36))
print(tonumber("101", 2), tonumber("8", 8), tonumber("1z", 36), tonumber("10", 10))
print(tonumber("11 ", 2), tonumber("4294967295", 10), tonumber("ffffffff", 16))
print(tostring(12), tostring(-1.25), tostring(1e300), type(tostring(3)))

-- Mixed integer and fractional numeric for loops.
local parts = {}
for i = 1, 2, 0.25 do parts[table.getn(parts) + 1] = i end
print(table.concat(parts, " "))
parts = {}
for i = 10, 1, -3 do parts[table.getn(parts) + 1] = i end
print(table.concat(parts, " "))
parts = {}
for i = 0, 1, 0.1 do parts[table.getn(parts) + 1] = string.format("%.2f", i) end
print(table.concat(parts, " "))
for i = 3, 1 do print("never") end
for i = 1, 3 do local j = i * 2; parts[i] = j end
print(parts[1], parts[2], parts[3])

-- Logic operators.
print(nil or "d", false and 1, 1 and 2, nil and nil, false or nil, not nil, not 0)
print(1 == 1.0, "1" == 1, {} == {}, nil == false)
local a, b, c = 1, 2
print(a, b, c)
a, b = b, a
print(a, b)
