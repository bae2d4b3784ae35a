-- Table hash part: string and fractional keys, insert and lookup.
local keys = {}
for i = 1, 50000 do keys[i] = "key" .. i end
local found = 0
for round = 1, 10 do
    local t = {}
    for i = 1, 50000 do t[keys[i]] = i end
    for i = 1, 50000 do
        if t[keys[i]] == i then found = found + 1 end
    end
    local f = {}
    for i = 1, 50000 do f[i + 0.5] = i end
    for i = 1, 50000 do found = found + f[i + 0.5] end
end
print(found)
