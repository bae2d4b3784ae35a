-- Table array part: append, read and overwrite by index.
local total = 0
for round = 1, 20 do
    local t = {}
    for i = 1, 200000 do t[i] = i end
    for i = 1, 200000 do total = total + t[i] end
    for i = 200000, 1, -1 do t[i] = t[i] * 2 end
end
print(total)
