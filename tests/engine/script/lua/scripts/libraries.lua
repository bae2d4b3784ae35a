-- The base library together with the string, table and math libraries.
-- ^ with a string operand goes to the global __pow that the math library sets.
print("2" ^ 3, 2 ^ "0.5", 3 ^ 5)
print(("abc"):upper(), ("x"):rep(3), pcall(function() return L"wide" .. "" end))
print(pcall(string.upper, L"wide"))
local words = {}
for w in string.gfind("one two three", "%a+") do table.insert(words, w) end
print(table.concat(words, ","), table.getn(words))
print(math.floor(-2.5), math.mod(-7, 3), math.max(1, 5, 3))
-- Strings index the string library; numbers and other types have their own tables.
local n = 5
print(n.upper, ("s").upper == string.upper, getmetatable("").__index)
-- A coroutine that yields from inside table.sort's comparison is refused.
local co = coroutine.create(function()
  local t = {3, 1, 2}
  table.sort(t, function(a, b) coroutine.yield() return a < b end)
end)
print(coroutine.resume(co))
