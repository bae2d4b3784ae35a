#!/usr/bin/env script
local t = {&16 &8; 1, 2, 3, x = L"wide", ["y"] = 0x7fffffff, [L"z\x263A"] = "\x41\65\n"}
local u = {&100}
function t.m(self, a, ...) return self, a, arg.n, -5, -(2^3), not a end
function t:n(b) return self.x .. b end
local s = [[long [[nested]] string]]
--[[ a long
comment ]]
print(t:n(L"!"), u, s, 1e10, .5, 3.25e-2)
a, b, c = f(), g(1, 2), h{1, 2}
return t, u
