-- table.sort with the default order and with a comparison function.
local seed = 12345
local function next_value()
    seed = seed * 1103515245 + 12345
    seed = seed - math.floor(seed / 2147483648) * 2147483648
    return seed
end
local checksum = 0
for round = 1, 4 do
    local t = {}
    for i = 1, 100000 do t[i] = next_value() end
    table.sort(t)
    local u = {}
    for i = 1, 50000 do u[i] = next_value() end
    table.sort(u, function(a, b) return a > b end)
    checksum = checksum + t[1] + u[1]
end
print(checksum)
