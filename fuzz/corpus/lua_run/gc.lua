-- Garbage collection: weak tables, finalisers, wstring keys, counters.
local weakKeys = setmetatable({}, {__mode = "k"})
local weakValues = setmetatable({}, {__mode = "v"})
local strong = {}
do
  local k1, k2 = {}, {}
  weakKeys[k1] = "dropped"
  weakKeys[k2] = "kept"
  strong[1] = k2
  weakValues[1] = {}
  weakValues[2] = strong
  weakValues.s = "a string value"
  weakKeys["string key"] = 1
  weakKeys[L"wide key"] = 2
  weakValues.w = L"wide value"
end
collectgarbage()
local n = 0
for k, v in pairs(weakKeys) do n = n + 1 end
print("weak keys left", n, weakKeys[strong[1]], weakKeys["string key"], weakKeys[L"wide key"])
print("weak values", weakValues[1], weakValues[2] == strong, weakValues.s, tostring(weakValues.w))

-- Finalisers run once, after the userdata became unreachable.
local finalised = {}
do
  for i = 1, 3 do
    local slot = i
    local p = newproxy(true)
    getmetatable(p).__gc = function(u) finalised[slot] = (finalised[slot] or 0) + 1 end
  end
end
collectgarbage()
collectgarbage()
print("finalised", finalised[1], finalised[2], finalised[3])

-- A proxy that is still reachable is not finalised.
local alive = newproxy(true)
local aliveRuns = 0
getmetatable(alive).__gc = function() aliveRuns = aliveRuns + 1 end
collectgarbage()
print("alive finaliser runs", aliveRuns)

-- Cycles are collected.
local before = gcinfo()
do
  for i = 1, 2000 do
    local a, b = {}, {}
    a.other, b.other = b, a
    a.payload = "item " .. i
  end
end
collectgarbage()
local after = gcinfo()
print("cycles collected", after <= before + 8)

-- gcinfo reports the kilobytes in use and the threshold.
local count, threshold = gcinfo()
print("gcinfo", type(count), type(threshold), count <= threshold or threshold == 0)

-- Closures and coroutines left behind are collected.
do
  local cos = {}
  for i = 1, 50 do
    cos[i] = coroutine.create(function(x) local y = x coroutine.yield(function() return y end) end)
    coroutine.resume(cos[i], i)
  end
end
collectgarbage()
print("done")
