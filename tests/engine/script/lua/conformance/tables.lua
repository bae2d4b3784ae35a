-- Table constructors, indexing, iteration and the table library.

local function sorted_pairs(t)
    local keys = {}
    for k in pairs(t) do table.insert(keys, k) end
    table.sort(keys, function(a, b)
        if type(a) == type(b) then return a < b end
        return type(a) < type(b)
    end)
    local i = 0
    return function()
        i = i + 1
        local k = keys[i]
        if k ~= nil then return k, t[k] end
    end
end

local function show(t)
    local parts = {}
    for k, v in sorted_pairs(t) do
        table.insert(parts, tostring(k) .. "=" .. tostring(v))
    end
    return "{" .. table.concat(parts, ", ") .. "}"
end

print(show({1, 2, 3}), show({x = 1, y = 2}), show({1, 2; x = "a", [10] = "ten"}))
print(show({[1] = "a", [2] = "b", "c"}), show({}), show({{}, n2 = false}) ~= nil)
local nested = {a = {b = {c = "deep"}}}
print(nested.a.b.c, nested["a"]["b"].c)
nested.a.b.d = 4
print(nested.a.b.d, nested.x, rawget(nested, "a") == nested.a)

local t = {}
t[1.0] = "one"
t[2] = "two"
t["3"] = "three string"
print(t[1], t[2.0], t[3], t["3"], show(t))

-- ipairs stops at the first nil; next walks everything.
local list = {"a", "b", "c"}
for i, v in ipairs(list) do print(i, v) end
local count = 0
local k, v = next(list)
while k do count = count + 1; k, v = next(list, k) end
print("count", count, next({}))

-- getn, insert, remove, concat, sort, foreach, foreachi, unpack.
local l = {10, 20, 30}
print(table.getn(l), table.getn({}), table.getn({1, 2, 3, 4, 5}))
table.insert(l, 40)
table.insert(l, 1, 5)
table.insert(l, 3, 15)
print(table.concat(l, ","), table.getn(l))
print(table.remove(l), table.remove(l, 1), table.remove(l, 2), table.concat(l, ","))
print(table.remove({}), table.getn(l))
print(table.concat({}), table.concat({"a"}), table.concat({1, 2, 3}), table.concat({"a", "b"}, ", "))
print(table.concat({"a", "b", "c", "d"}, "-", 2, 3), table.concat({"a", "b"}, "-", 3))
local nums = {5, 2, 8, 1, 9, 3, 7, 4, 6, 10, 15, 12, 11, 14, 13}
table.sort(nums)
print(table.concat(nums, " "))
table.sort(nums, function(a, b) return a > b end)
print(table.concat(nums, " "))
local names = {"pear", "apple", "fig", "banana", "cherry", "Apple", "date"}
table.sort(names)
print(table.concat(names, " "))
table.sort(names, function(a, b) return string.len(a) < string.len(b) or
    (string.len(a) == string.len(b) and a < b) end)
print(table.concat(names, " "))
local one = {1}
table.sort(one)
local empty = {}
table.sort(empty)
print(one[1], table.getn(empty))
local big = {}
for i = 1, 200 do big[i] = math.mod(i * 7919, 211) end
table.sort(big)
local ok = true
for i = 2, 200 do if big[i - 1] > big[i] then ok = false end end
print("sorted", ok, big[1], big[200])
table.foreachi({"x", "y"}, print)
print(table.foreach({a = 1}, function(k, v) return k .. v end))
print(table.foreachi({1, 2, 3}, function(i, v) if v == 2 then return "found " .. i end end))
print(unpack({1, 2, 3}))
print(unpack({}))
local a, b = unpack({"p", "q", "r"})
print(a, b)

-- Lengths through the array and hash parts.
local grow = {}
for i = 1, 100 do grow[i] = i * i end
print(table.getn(grow), grow[50], grow[100])
local keyed = {}
for i = 1, 50 do keyed["k" .. i] = i end
local total = 0
for _, v in pairs(keyed) do total = total + v end
print(total, keyed.k25)
for i = 1, 50, 2 do keyed["k" .. i] = nil end
total = 0
for _, v in pairs(keyed) do total = total + v end
print(total)
