-- The math library (same C library underneath, so the same bits).

local values = {0, 1, -1, 0.5, -2.25, 3, 10, 100.75, 1e-3, 12345.678}
for _, x in ipairs(values) do
    print(x, math.abs(x), math.floor(x), math.ceil(x), math.sin(x), math.cos(x), math.tan(x))
    print(x, math.exp(x), math.deg(x), math.rad(x), math.atan(x), math.atan2(x, 2), math.atan2(2, x))
    local m, e = math.frexp(x)
    print(x, m, e, math.ldexp(x, 3), math.pow(2, x), math.mod(x, 3), math.mod(-x, 0.75))
end
for _, x in ipairs({1, 2, 0.25, 100, 1e10, 12345.678}) do
    print(x, math.sqrt(x), math.log(x), math.log10(x))
end
for _, x in ipairs({-1, -0.5, 0, 0.5, 1}) do
    print(x, math.asin(x), math.acos(x))
end
print(math.pi, math.deg(math.pi), math.rad(180), math.min(3, -1, 2), math.max(3, -1, 2))
print(math.min(5), math.max(-5), math.min(1.5, 1.25), math.floor(-0.5), math.ceil(-0.5))
print(math.sqrt(-1) ~= math.sqrt(-1), math.huge == nil or math.huge > 1e308)
print(pcall(math.floor), pcall(math.max))
