-- The particle library: what effect scripts are written with. Every particle system's
-- script state runs it first (as the chunk "particles.lua"), then the renderer's
-- attribute declarations (pPosition, pUp, pScale, pColor, pFrame), then the effect.
-- Before this runs, the engine has made the empty table ParticleMemberMT (the metatable
-- of member handles), published SetRendererOption1, SetNumParticles, _SetTexture,
-- CreateParticles, Allocate, RandomRange, RandomFloat, CompileParam,
-- GetParticleMemberParts, AccumulateInitStream, AccumulateAnimStream and Done, and
-- defined one function per expression node (fTimeScale, fAge, fPick, fFade, fOpenCycle,
-- fClosedCycle, fAlpha, fDebug, fDistance, f2dRadius, f2dRotation, fVec, fRange,
-- fExpire, fLess, fLessEqual) that builds an expression value.
--
-- Arithmetic on member handles and on the values made here builds expression trees;
-- pX:Init(expr) compiles one into the spawn stream (run once on each new particle) and
-- pX:Anim(expr) into the per-frame stream. Nothing of it is computed in Lua. Rules for
-- effect authors in this runtime:
--   * a handle or value goes on the left of every operator: pVelocity * 2, never
--     2 * pVelocity; a constant on the left is written Value(1) - pAge;
--   * the scalar goes on the right of * and /;
--   * compare with fLess, fLessEqual, fGreater and fGreaterEqual (< and <= give
--     booleans, not expressions);
--   * Allocate every attribute before SetNumParticles (an Allocate afterwards renews
--     the pool);
--   * Init, Anim and Allocate belong to the effect's chunk: once it has loaded (in
--     Update, Create, or text run later) they are refused.

kBlendNormal = 0
kBlendOpaque = 1
kBlendAdditiveAlpha = 2
kBlendSubtractive = 3
kBlendMultiplicative = 4
kBlendMode = "blendmode"

ValueMT = {}

function CreateValue(cmd, params)
    local value = {cmd = cmd, params = params}
    setmetatable(value, ValueMT)
    return value
end

local function Operator(command)
    return function(a, b)
        return CreateValue(command, {a, b})
    end
end

-- The operand list is built here: the negation metamethod is also handed a second,
-- unused argument.
local function Negation(a)
    return CreateValue("unm", {a})
end

local operators = {__add = "add", __sub = "sub", __mul = "mul", __div = "div",
                   __lt = "lt", __le = "le"}
for event, command in pairs(operators) do
    ValueMT[event] = Operator(command)
    ParticleMemberMT[event] = ValueMT[event]
end
ValueMT.__unm = Negation
ParticleMemberMT.__unm = Negation

-- handle[i] reads component i of the attribute; any other key finds the methods below.
ParticleMemberMT.__index = function(handle, key)
    if type(key) == "number" then
        local offset = GetParticleMemberParts(handle)
        return CreateValue("index", {offset, key})
    end
    return ParticleMemberMT[key]
end

function ParticleMemberMT.Init(handle, value)
    local offset, size = GetParticleMemberParts(handle)
    CompileParameters({CreateValue("assign", {value, offset, size})})
    AccumulateInitStream()
end

function ParticleMemberMT.Anim(handle, value)
    local offset, size = GetParticleMemberParts(handle)
    CompileParameters({CreateValue("assign", {value, offset, size})})
    AccumulateAnimStream()
end

function fGreater(a, b)
    return fLess(b, a)
end

function fGreaterEqual(a, b)
    return fLessEqual(b, a)
end

-- Compiles each expression of list in order; their result dimensions.
function CompileParameters(list)
    local sizes = {}
    for i = 1, table.getn(list) do
        sizes[i] = CompileParam(list[i])
    end
    return sizes
end

-- A statement of its own (such as fExpire(...)): Init runs it on every new particle,
-- Anim on every particle each frame.
function Init(statement)
    CompileParameters({statement})
    AccumulateInitStream()
end

function Anim(statement)
    CompileParameters({statement})
    AccumulateAnimStream()
end

-- Spawns n particles, then calls the effect's Create when it has one.
function Spawn(n)
    CreateParticles(n)
    if type(Create) == "function" then
        Create()
    end
end

local function Constant(numbers)
    setmetatable(numbers, ValueMT)
    return numbers
end

function Value(x)
    return Constant({x})
end

function Vec2(x, y)
    return Constant({x, y})
end

function Vec3(x, y, z)
    return Constant({x, y, z})
end

function Color(r, g, b, a)
    return Constant({r, g, b, a})
end

function SetBlendMode(mode)
    SetRendererOption1(kBlendMode, mode)
end

-- A function (perSecond, ms) giving how many particles are due after ms more
-- milliseconds at perSecond particles a second; what falls short of a whole particle is
-- carried to the next call. It is also stored as ParticlesPerSecond.
function NewParticleGenerator()
    local carried = 0
    local generator = function(perSecond, ms)
        if not (perSecond > 0) then
            return 0
        end
        carried = carried + ms
        local count = math.floor(carried / 1000 * perSecond)
        carried = carried - math.floor(count * 1000 / perSecond)
        return count
    end
    ParticlesPerSecond = generator
    return generator
end

-- A function (seconds) that answers false until seconds have been used up, and true
-- from the call after that on.
function NewTimeout(seconds)
    local left = seconds
    return function(dt)
        if left < 0 then
            return true
        end
        left = left - dt
        return false
    end
end

function SetTexture(name)
    _SetTexture(name)
end

function RequireVelocity()
    if not pVelocity then
        pVelocity = Allocate(2)
    end
end

-- Accelerates every particle downwards by accel pixels a second, each second.
function SetUpGravity(accel)
    RequireVelocity()
    pVelocity:Anim(pVelocity + fTimeScale(Vec2(0, accel)))
end

-- Called with the seconds elapsed before every frame's particles move; effects replace
-- it (to spawn, or to end with Done).
function Update()
end

-- Tuning controls of an effect editor: here each stands for its default.
function GUI_Slider(default)
    return default
end
GUI_Texture = GUI_Slider
GUI_Select = GUI_Slider
