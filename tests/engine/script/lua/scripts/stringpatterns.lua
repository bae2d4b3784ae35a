-- Pattern matching: the error list, limits and the behaviour that the dialect keeps
-- from its base language.

dofile("check.inc")

fails_with("invalid capture index", function() return string.find("a", "(a)%2") end,
    "invalid capture index")
fails_with("invalid capture index in replacement", function()
    return string.gsub("a", "(a)", "%2")
end, "invalid capture index")
fails_with("no capture 0 in replacement", function()
    return string.gsub("abc", "%w", "<%0>")
end, "invalid capture index")
fails_with("no capture 1 in replacement without captures", function()
    return string.gsub("abc", "%w", "<%1>")
end, "invalid capture index")
fails_with("invalid pattern capture", function() return string.find("a", "a)%d") end,
    "invalid pattern capture")
fails_with("ends with percent", function() return string.find("a", "a%") end,
    "malformed pattern (ends with `%')")
fails_with("missing bracket", function() return string.find("a", "[a") end,
    "malformed pattern (missing `]')")
fails_with("missing bracket after escape", function() return string.find("a", "[%") end,
    "malformed pattern (missing `]')")
fails_with("unbalanced", function() return string.find("a", "%b") end, "unbalanced pattern")
fails_with("unbalanced one", function() return string.find("a", "%ba") end, "unbalanced pattern")
fails_with("too many captures", function()
    return string.find(string.rep("a", 40), string.rep("(a)", 33))
end, "too many captures")
fails_with("frontier without set", function() return string.find("a", "%fa") end,
    "missing `[' after `%f' in pattern")
fails_with("unfinished capture", function() return string.find("a", "(a") end,
    "unfinished capture")
fails_with("pattern too complex", function()
    return string.find(string.rep("a", 300), string.rep("a?", 300))
end, "pattern too complex")
check("32 captures", list(string.find(string.rep("a", 32), string.rep("(a)", 32))) ~= "", true)

-- Classes, sets and quantifiers.
check("class z", list(string.find("a\0b", "%z")), "2,2")
check("class complement", list(string.find("abc123", "%D+")), "1,3")
check("set range", list(string.find("xyz", "[x-y]+")), "1,2")
check("set with class", list(string.find("ab12", "[%d]+")), "3,4")
check("negated set", list(string.find("aab", "[^a]")), "3,3")
check("bracket first in set", list(string.find("a]", "[]]")), "2,2")
check("dash at set end", list(string.find("a-", "[a-]+")), "1,2")
check("lazy", list(string.find("<a><b>", "<(.-)>")), "1,3,a")
check("greedy", list(string.find("<a><b>", "<(.*)>")), "1,6,a><b")
check("optional", list(string.find("color colour", "colou?r", 2)), "7,12")
check("position capture", list(string.find("hello", "()ll()")), "3,4,3,5")
check("back reference", list(string.find("say \"hi\" 'x'", "([\"'])(.-)%1")), "5,8,\",hi")
check("balance", list(string.find("x = f(a, (b)) + 1", "%b()")), "6,13")
check("frontier", list(string.find("THE (quick) fox", "%f[%a]%a+", 6)), "6,10")
check("frontier at the end", list(string.find("word", "%f[%z]")), "5,4")
check("anchor", list(string.find("aaa", "^a+")), "1,3")
check("anchor only at start", list(string.find("baa", "^a")), "nil")
check("dollar in the middle", list(string.find("a$b", "a$b")), "1,3")
check("pattern stops at zero", list(string.find("abc", "(b)\0zzz")), "2,2,b")
check("plain pattern keeps its zero", list(string.find("abc", "b\0zzz")), "nil")

-- gfind treats a leading ^ as a character; gsub with an anchor stops after one.
local found = {}
for w in string.gfind("^a^b", "^.") do table.insert(found, w) end
check("gfind caret", table.concat(found, " "), "^a ^b")
check("gsub anchor", list(string.gsub("aaa", "^a", "b")), "baa,1")
check("gsub empty matches", list(string.gsub("ab", "x*", "-")), "-a-b-,3")
check("gsub count limit", list(string.gsub("aaaa", "a", "b", 2)), "bbaa,2")
check("gsub percent", list(string.gsub("a", "a", "%%")), "%,1")
check("gsub trailing percent", list(string.gsub("a", "a", "x%")), "x%,1")
check("gsub position capture", list(string.gsub("abc", "()b", "%1")), "a2c,1")
check("find plain special", list(string.find("a.b", ".", 2, true)), "2,2")
check("find init past end", list(string.find("abc", "", 10)), "4,3")
check("find negative init", list(string.find("abcabc", "a", -3)), "4,4")
