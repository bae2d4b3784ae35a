-- Numeric for and while loops with arithmetic.
local sum = 0
for i = 1, 20000000 do
    sum = sum + i * 0.5 - i / 4
end
local j, k = 0, 0
while j < 5000000 do
    j = j + 1
    k = k + j * 2
end
print(sum, k)
