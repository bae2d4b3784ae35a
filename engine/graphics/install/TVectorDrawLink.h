#pragma once

// Text and vector drawing as the platform sees it (TVectorDrawSeam): made by the factory
// InstallGraphics installs, once the display is up. Calibrate runs the rasteriser's span
// calibration. Its end is the platform's shutdown of text: the process-wide rasteriser is
// destroyed and the font cache emptied.

#include "engine/foundation/seams/TVectorDrawSeam.h"

class TVectorDrawLink final : public TVectorDrawSeam
{
public:
    TVectorDrawLink();
    ~TVectorDrawLink() override;

    void Calibrate() override;
};
