-- The string functions of the shared subset, called as functions and as methods.

print(string.len(""), string.len("abc"), string.len("a\0b"), ("hello"):len())
print(string.sub("hello", 2, 4), string.sub("hello", -3), string.sub("hello", 2))
print(string.sub("hello", -100, 2), string.sub("hello", 4, 100), string.sub("hello", 3, 2) == "")
print(string.sub("hello", 0), string.sub("hello", -1, -1), ("hello"):sub(2, -2))
print(string.lower("MiXeD 123"), string.upper("MiXeD 123"), ("abc"):upper())
print(string.char(72, 105, 33), string.char(), string.rep("ab", 3), string.rep("x", 0))
print(string.byte("A"), string.byte("abc", 2), string.byte("abc", -1), string.byte("abc", 10))
print(string.byte(""), ("z"):byte())
print(string.rep("-", 10) .. "|")

-- find: plain, with init, anchors, captures and special classes.
print(string.find("hello world", "o w"))
print(string.find("hello world", "o", 6))
print(string.find("hello world", "l+"))
print(string.find("hello", "xyz"))
print(string.find("a.b.c", ".", 1, true))
print(string.find("a.b.c", "%.", 3))
print(string.find("hello", "^h"), string.find("hello", "^e"))
print(string.find("hello", "o$"), string.find("hello", "l$"))
print(string.find("key = value", "(%w+)%s*=%s*(%w+)"))
print(string.find("hello", ""), string.find("", ""), string.find("abc", "", 10))
print(string.find("abc", "b", -1), string.find("abc", "b", -2))
print(string.find("f(a(b)c)d", "%b()"))
print(string.find("THE (quick) fox", "%f[%a]%a+", 5))
print(string.find("  trim  ", "^%s*(.-)%s*$"))
print(string.find("x = 10", "()=()"))
print(string.find("abcabc", "(abc)%1"))
print(string.find("[test]", "[%[]"), string.find("a]b", "[]]"))
print(string.find("aaa", "a-b"), string.find("aaab", "a-b"))
print(string.find("date 2024-01-15 end", "(%d+)-(%d+)-(%d+)"))
print(string.find("abc123def", "%d+"), string.find("abc", "[^a]"))
print(string.find("hello", "l*"), string.find("hello", "x?h"))
print(string.find("one\ttwo", "%s"), string.find("A1_b", "[%u%d_]+"))
print(string.find("%d", "%%d"), string.find("a+b", "+", 1, true))

-- gfind iterates over matches.
local words = {}
for w in string.gfind("the quick brown fox", "%a+") do words[table.getn(words) + 1] = w end
print(table.concat(words, ","))
local pairs_found = ""
for k, v in string.gfind("a=1, b=2, c=3", "(%w+)=(%w+)") do pairs_found = pairs_found .. k .. ":" .. v .. " " end
print(pairs_found)
local empties = ""
for w in string.gfind("abc", "") do empties = empties .. "[" .. w .. "]" end
print(empties)

-- gsub with strings, captures, counts and functions.
print(string.gsub("hello world", "o", "0"))
print(string.gsub("hello world", "(%w+)", "<%1>"))
print(string.gsub("hello world", "%w+", "%%"))
print(string.gsub("abc", "", "-"))
print(string.gsub("hello", "l", "L", 1))
print(string.gsub("abc abc abc", "abc", "x", 2))
print(string.gsub("  lots   of   space  ", "%s+", " "))
print(string.gsub("$name is $age", "%$(%w+)", function(k)
    if k == "name" then return "Ann" end
    return "41"
end))
print(string.gsub("1 2 3", "%d", function(d) return d * 2 end))
print(string.gsub("hello", "^h", "H"), string.gsub("hello", "o$", "O"))
print(string.gsub("abc", "(a)(b)(c)", "%3%2%1"))
print(string.gsub("x", "x", "%%1"))

-- format.
print(string.format("%d %i %5d %-5d| %05d %+d", 42, -7, 3, 3, 12, 5))
print(string.format("%c%c%c", 76, 117, 97), string.format("%o %x %X %u", 8, 255, 255, 3000000000))
print(string.format("%e %E %.3e", 12345.678, 0.00012, 1))
print(string.format("%f %.2f %10.3f %-10.1f|", 3.14159, 2.5, -1.5, 7))
print(string.format("%g %g %g %G %.3g", 100000, 1000000, 1e-5, 1e-10, 3.14159))
print(string.format("%s %10s %-10s| %.2s", "str", "right", "left", "truncate"))
print(string.format("%s %s %s", 1, 2.5, "x"), string.format("%%"), string.format("no args"))
print(string.format("%q", 'a "quoted" \\ string\nnext'), string.format("%q", "zero\0byte"))
print(string.format("%5.1f%%", 99.44), string.format("[%3s][%-3s]", "a", "b"))
print(string.format("%x", 2147483647), string.format("%d", 2147483647), string.format("%.0f", 0.5))
print(string.format("%s", string.rep("long", 30)) == string.rep("long", 30))
