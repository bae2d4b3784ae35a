-- The animation library: the functions animation scripts are written with. Every
-- animated sprite's script state runs this first (as the chunk "ganimationscript"), then
-- the animation file's own script. The engine adds the sprite's operations as globals:
-- SetCurrentFrame, WaitLuaNextFrame, Die, Pause, IsPlaying, Load, GetScript, SetAlpha,
-- SetLayer, RemoveSprite and Random.
--
-- Frame numbers count from 1: frames{1, 2, 3} shows the sheet's frames 0, 1 and 2.

-- How long each shown frame stays, in milliseconds.
local gDelay = 16

-- The sprite's alpha as the fades see it, its change per shown frame, and how many
-- frames the running fade still lasts.
alpha = 1
alphadelta = 0
alphacount = 0

function delay(ms)
    gDelay = ms
end

function pause(ms)
    WaitLuaNextFrame(ms)
end

function showFrame()
    WaitLuaNextFrame(gDelay)
end

-- Fades over the next n shown frames.
function fadeout(n)
    alphadelta = -alpha / n
    alphacount = n
end

function fadein(n)
    alphadelta = (1 - alpha) / n
    alphacount = n
end

function setAlpha(a)
    alpha = a
    SetAlpha(a)
end

-- Shows the frames of the list in order, each for the current delay, stepping a running
-- fade once per frame. The list's length is kept in "count", the entry in "frame".
function frames(list)
    count = table.getn(list)
    for i = 1, count do
        frame = list[i]
        if alphacount ~= 0 then
            alpha = alpha + alphadelta
            SetAlpha(alpha)
            alphacount = alphacount - 1
            if alphacount == 0 then
                alphadelta = 0
            end
        end
        SetCurrentFrame(frame - 1)
        WaitLuaNextFrame(gDelay)
    end
end

function loop(n, list)
    for i = 1, n do
        frames(list)
    end
end

-- run{ file, image = ..., mask = ..., anim = ... }: loads another animation file (with
-- an optional sheet and mask of its own) and plays its function anim ("DoAnim" when not
-- given) here, in the running coroutine.
function run(t)
    local file = t[1]
    local image = t.image or ""
    local mask = t.mask or ""
    local entry = t.anim or "DoAnim"
    if Load(file, image, mask) then
        local chunk = loadstring(GetScript() .. "; " .. entry .. "()")
        if chunk then
            chunk()
        end
    end
end

function die()
    Die()
end

function halt()
    Pause(true, -1)
end

function isPlaying(depth)
    return IsPlaying(depth or -1)
end

function endReferences()
end

function stop(depth)
    Pause(true, depth or -1)
end

-- A whole number from a up to, not including, b.
function random(a, b)
    return Random(a, b)
end
