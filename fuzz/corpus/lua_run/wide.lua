-- Wide strings.
local w = L"wide"
print(type(w), type("narrow"), w == L"wide", w == "wide")
print(tostring(L"abc"), tostring(L""))
local t = {}
t[L"x"] = 1
t["x"] = 2
print(t[L"x"], t.x)
for k, v in pairs({[L"k"] = true}) do print(type(k), v) end
print(towstring(nil), type(towstring(nil)), type(towstring(1.5)), type(towstring("s")))
print(towstring(L"same") == L"same", towstring("abc") == L"abc")
print(pcall(towstring, true))
print(pcall(towstring))
print(L"a" .. 1, 1 .. L"a", L"x" .. L"y" .. 2.5)
print(L"\x41\x42", L"tab\there")
print(L"10" + L"5", L"2.5" * 2)
print(type(L"1" .. L"2"))
