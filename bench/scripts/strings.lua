-- String building by concatenation and table.concat, with formatting.
local total = 0
for round = 1, 20 do
    local s = ""
    for i = 1, 2000 do s = s .. "x" end
    local parts = {}
    for i = 1, 20000 do parts[i] = "item" .. i end
    local joined = table.concat(parts, ",")
    local formatted = {}
    for i = 1, 5000 do formatted[i] = string.format("%d:%s:%5.2f", i, "v", i / 3) end
    total = total + string.len(s) + string.len(joined) + string.len(table.concat(formatted))
end
print(total)
