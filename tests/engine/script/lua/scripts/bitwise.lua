-- The dialect's bitwise operators: 32-bit words, unsigned results; ^ between two
-- numbers is exclusive or.
local cases = {
  {"-1 & 255", -1 & 255},
  {"1 << 31", 1 << 31},
  {"1 << 32", 1 << 32},
  {"1 << -1", 1 << -1},
  {"5.7 | 0", 5.7 | 0},
  {"-5.7 | 0", -5.7 | 0},
  {"4294967301 & 7", 4294967301 & 7},
  {"255 >> 4", 255 >> 4},
  {"-1 >> 28", -1 >> 28},
  {"3 ^ 5", 3 ^ 5},
  {"2 ^ 0.5", 2 ^ 0.5},
  {"0xff", 0xff},
  {"0xffffffff", 0xffffffff},
  {"0x7fffffff | 0x80000000", 0x7fffffff | 0x80000000},
  {"1 + 2 & 3", 1 + 2 & 3},
  {"6 & 3 * 2", 6 & 3 * 2},
  {"-2 & 7", -2 & 7},
  {"2 ^ 3 & 1", 2 ^ 3 & 1},
  {"(0/0) | 0", (0/0) | 0},
  {"2^63 operand", 9223372036854775808 | 0},
  {"-2^63 operand", -9223372036854775808 | 0},
  {"1e300 & 1", 1e300 & 1},
}
for i = 1, 22 do
  local c = cases[i]
  print(c[1], c[2])
end

-- Strings are never converted by the bitwise operators.
local ok, msg = pcall(function() local s = "3" return s & 1 end)
print(ok, msg)
ok, msg = pcall(function() local s = "3" return 1 | s end)
print(ok, msg)
ok, msg = pcall(function() return {} << 1 end)
print(ok, msg)

__pow = nil  -- (the math library sets it) ^ with a string operand calls the global __pow.
ok, msg = pcall(function() return "2" ^ 3 end)
print(ok, msg)
__pow = function(a, b) return "pow(" .. a .. "," .. b .. ")" end
print("2" ^ 3, 2 ^ "3")
__pow = nil
