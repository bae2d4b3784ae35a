-- Sparkles: stars of light welling up from a small spring, arcing over and falling back
-- as they turn, shrink and fade. A steady effect; it emits while gActive is set (the
-- game clears it to let the effect run dry). Drawn additively, so it suits dark or busy
-- backgrounds alike.
SetTexture("sparkle.png")
SetBlendMode(kBlendAdditiveAlpha)

-- Every attribute before the pool is sized.
pVelocity = Allocate(2)
pAge = Allocate(1)  -- seconds since the sparkle appeared
pLife = Allocate(1) -- seconds it lasts
pSize = Allocate(1) -- its scale when it appears
pAngle = Allocate(1)
pTurn = Allocate(1) -- radians a second
SetNumParticles(96)

gActive = true
fScale = fRange(0.35, 0.8)

pPosition:Init(f2dRadius(fRange(0, 6)))
pVelocity:Init(Vec2(fRange(-60, 60), fRange(-190, -120)))
pAge:Init(0)
pLife:Init(fRange(0.9, 1.6))
pSize:Init(fScale)
pAngle:Init(fRange(0, 6.283))
pTurn:Init(fRange(-4, 4))
pColor:Init(fPick(Color(1, 0.92, 0.6, 1), Color(0.7, 0.9, 1, 1), Color(1, 0.75, 0.9, 1)))

SetUpGravity(170)
pPosition:Anim(pPosition + fTimeScale(pVelocity))
pAge:Anim(pAge + fTimeScale(1))
pAngle:Anim(pAngle + fTimeScale(pTurn))
pUp:Anim(f2dRotation(pAngle))
pScale:Anim(pSize * fFade(pAge, 0.4, 0.2, 1, pLife, 0.2))
-- In quickly, held, then out over the second half of its life.
pColor:Anim(fAlpha(pColor, fFade(pAge, 0, 0.12, 0.9, pLife * 0.4, 0.9, pLife * 0.5, 0)))
Anim(fExpire(fLess(pLife, pAge)))

local emit = NewParticleGenerator()

function Update(dt)
    if gActive then
        Spawn(emit(45, dt * 1000))
    end
end
