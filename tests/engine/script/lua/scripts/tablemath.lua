-- The table library's sizes and edges, wstring elements, and the math library.

dofile("check.inc")

local function count(...) return arg.n end

-- getn: the "n" field first, then an explicit size, then the count from 1.
local t = {1, 2, 3}
check("getn count", table.getn(t), 3)
t.n = 5
check("getn n field", table.getn(t), 5)
local s = {1}
table.setn(s, 7)
check("getn setn", table.getn(s), 7)
local u = {1, 2; n = 1}
table.setn(u, 9)
check("setn writes n", u.n, 9)
check("getn after setn with n", table.getn(u), 9)
check("getn empty", table.getn({}), 0)
check("getn stops at a hole", table.getn({1, 2, nil, 4}) >= 2, true)

-- insert and remove.
local grow = {1}
table.insert(grow, 5, "x")
check("insert past the end", table.getn(grow), 5)
check("insert past the end value", grow[5], "x")
local e = {}
check("remove empty", count(table.remove(e)), 0)
check("remove empty size", table.getn(e), 0)
local r = {"a", "b", "c"}
check("remove first", table.remove(r, 1), "a")
check("remove shifts", table.concat(r), "bc")
check("remove size", table.getn(r), 2)
table.insert(r, 1, "z")
check("insert front", table.concat(r, ","), "z,b,c")
fails_with("insert without a value", function() table.insert({}) end, "bad argument #2 to `insert'")

-- concat.
check("concat range", table.concat({"a", "b", "c", "d"}, "+", 2, 4), "b+c+d")
check("concat empty range", table.concat({"a"}, "+", 2, 1), "")
check("concat numbers", table.concat({1, 2.5, "x"}, " "), "1 2.5 x")
check("concat wstrings", table.concat({L"ab", "c", L"\x263A"}), "abc:")
fails_with("concat non-strings", function() return table.concat({1, {}, 3}) end,
    "table contains non-strings")
fails_with("concat boolean", function() return table.concat({true}) end,
    "bad argument #1 to `concat' (table contains non-strings)")

-- sort.
local function sorted(list, cmp)
    table.sort(list, cmp)
    return table.concat(list, " ")
end
check("sort numbers", sorted({3, 1, 2}), "1 2 3")
check("sort reverse", sorted({3, 1, 2}, function(a, b) return a > b end), "3 2 1")
check("sort duplicates", sorted({2, 1, 2, 1, 2, 1, 3, 3, 0}), "0 1 1 1 2 2 2 3 3")
check("sort strings", sorted({"b", "a", "C"}), "C a b")
local many = {}
local seed = 7
for i = 1, 500 do
    seed = math.mod(seed * 16807, 2147483647)
    many[i] = seed - 1000000000 + 0.5
end
table.sort(many)
local ordered = true
for i = 2, 500 do if many[i - 1] > many[i] then ordered = false end end
check("sort many numbers", ordered and table.getn(many) == 500, true)
check("sort with nan does not crash", type(pcall(table.sort, {3, 0 / 0, 1, 2, 0 / 0})), "boolean")
check("sort numbers then a string", pcall(table.sort, {3, 1, 2, "x"}), false)
fails_with("sort inconsistent", function()
    table.sort({5, 3, 8, 1, 9, 2, 7, 4, 6, 10, 11, 12}, function(a, b) return true end)
end, "invalid order function for sorting")
fails_with("sort mixed types", function() table.sort({1, "x", 2}) end, "attempt to compare")
fails_with("sort bad comparator", function() table.sort({1, 2}, 5) end,
    "bad argument #2 to `sort' (function expected, got number)")

-- foreach and foreachi.
local keys = 0
table.foreach({a = 1, b = 2}, function(k, v) keys = keys + v end)
check("foreach", keys, 3)
check("foreachi stops", table.foreachi({5, 6, 7}, function(i, v) if v == 6 then return i end end), 2)

-- gsub and wide strings, 5.0's deletion rule.
check("gsub wide replacement", string.gsub("hello", "l", L"L"), "heLLo")
check("gsub function wide result", string.gsub("abc", "b", function() return L"\x263A" end), "a:c")
check("gsub function nil deletes", string.gsub("abc", "b", function() return nil end), "ac")
check("gsub function false deletes", string.gsub("abc", "b", function() return false end), "ac")
check("gsub function table deletes", string.gsub("abc", "b", function() return {} end), "ac")
check("gsub function number", string.gsub("abc", "b", function() return 7 end), "a7c")
fails_with("gsub bad replacement", function() return string.gsub("a", "a", true) end,
    "string or function expected")
fails_with("string functions refuse wstrings", function() return string.upper(L"x") end,
    "string expected, got wstring")
fails_with("pattern too complex", function()
    return string.find(string.rep("x", 300), string.rep("x?", 300))
end, "pattern too complex")

-- math.
check("deg pi", math.deg(math.pi), 180)
check("rad 180", math.rad(180), math.pi)
check("mod", math.mod(-7, 3), -1)
check("mod positive", math.mod(7, 3), 1)
check("pi", math.pi, 3.141592653589793)
check("floor ceil", math.floor(-3.5) .. " " .. math.ceil(-3.5), "-4 -3")
check("min max", math.min(3, 1, 2) .. " " .. math.max(3, 1, 2), "1 3")
check("abs", math.abs(-2.5), 2.5)
local m, x = math.frexp(12)
check("frexp", m .. " " .. x, "0.75 4")
check("ldexp", math.ldexp(0.75, 4), 12)
check("pow", math.pow(2, 10), 1024)
check("sqrt", math.sqrt(144), 12)
check("xor of numbers", 3 ^ 5, 6)
check("power through __pow", "2" ^ 3, 8)
check("__pow is pow", __pow(3, 2), 9)

math.randomseed(42)
check("random 1", math.random(100), 1)
check("random 2", math.random(100), 2)
check("random 3", math.random(100), 55)
check("random 4", math.random(10, 20), 20)
check("random 5", math.random(10, 20), 15)
check("random 6", string.format("%.14g", math.random()), "0.39304788354137")
math.randomseed(42)
check("random repeats", math.random(100), 1)
local inside = true
for i = 1, 1000 do
    local v = math.random(3)
    if v < 1 or v > 3 or math.floor(v) ~= v then inside = false end
end
check("random range", inside, true)
fails_with("random empty", function() return math.random(0) end,
    "bad argument #1 to `random' (interval is empty)")
fails_with("random empty two", function() return math.random(3, 1) end,
    "bad argument #2 to `random' (interval is empty)")
fails_with("random arguments", function() return math.random(1, 2, 3) end,
    "wrong number of arguments")
