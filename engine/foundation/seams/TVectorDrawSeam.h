#pragma once

// What the platform asks of the vector-drawing object: one start-up calibration once the
// display exists. Main thread only.
class TVectorDrawSeam
{
public:
    virtual ~TVectorDrawSeam() = default;

    virtual void Calibrate() = 0;
};
