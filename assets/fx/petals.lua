-- A burst of petals: thrown up and out all at once, they slow in the air, then flutter
-- down swaying, turning over and fading. A one-shot effect (a finished treatment, a won
-- level): it spawns every petal when loaded and reports Done once the last has gone.
SetTexture("petals.xml") -- four frames of a petal turning over
RequireVelocity()        -- pVelocity, before the pool is sized
pAge = Allocate(1)
pFlutter = Allocate(1)   -- phase of the turning over, radians
pFlutterRate = Allocate(1)
pWave = Allocate(2)      -- cosine and sine of the phase
pAngle = Allocate(1)
pSpin = Allocate(1)
pSize = Allocate(1)
SetNumParticles(32)

pPosition:Init(f2dRadius(fRange(0, 10)))
pVelocity:Init(Vec2(0, -140) + f2dRadius(fRange(40, 170)))
pAge:Init(0)
pFlutter:Init(fRange(0, 6.283))
pFlutterRate:Init(fRange(5, 11))
pAngle:Init(fRange(-2.4, -0.7)) -- about upright: up (0, -1) is an angle of -1.57
pSpin:Init(fRange(-1.5, 1.5))
pSize:Init(fRange(0.8, 1.3))
pColor:Init(fPick(Color(1, 1, 1, 1), Color(1, 0.86, 0.9, 1), Color(1, 0.95, 0.82, 1)))

SetUpGravity(240)
pVelocity:Anim(pVelocity - fTimeScale(pVelocity * 1.6)) -- the air holds them back
pAge:Anim(pAge + fTimeScale(1))
pFlutter:Anim(pFlutter + fTimeScale(pFlutterRate))
pWave:Anim(f2dRotation(pFlutter))
pFrame:Anim(Value(1.99) + pWave[1] * 1.99)
pPosition:Anim(pPosition + fTimeScale(pVelocity + Vec2(pWave[2] * 35, 0)))
pAngle:Anim(pAngle + fTimeScale(pSpin))
pUp:Anim(f2dRotation(pAngle))
pScale:Anim(pSize * fFade(pAge, 1, 1.0, 1, 0.7, 0.6)) -- shrinking as they fade
pColor:Anim(fAlpha(pColor, fFade(pAge, 1, 1.0, 1, 0.7, 0)))
Anim(fExpire(fLess(1.7, pAge)))

Spawn(28)

local life = NewTimeout(1.75)

function Update(dt)
    if life(dt) then
        Done()
    end
end
