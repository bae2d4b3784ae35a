-- Creating and calling closures with upvalues.
local function make_counter(step)
    local n = 0
    return function() n = n + step; return n end
end
local total = 0
for i = 1, 300000 do
    local c = make_counter(i)
    c()
    total = total + c()
end
local add = function(a) return function(b) return a + b end end
for i = 1, 1000000 do total = total + add(i)(1) end
print(total)
