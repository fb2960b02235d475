#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/zef_base.h"

class Surface;

// The numbered pictures base_0.bmp, base_1.bmp, ... up to the first gap.
class SurfaceChain : public ZefBase {
  public:
    SurfaceChain(ZefDX* owner, const std::string& baseName);
    ~SurfaceChain() override;

    // Fatal outside 0..count-1.
    Surface* getSurf(int32_t index);
    // End modes: 0 one-shot, 1 hold the last frame, 2 loop. A length of -1
    // runs to the end of the chain.
    void linkFrames(uint8_t endMode, int32_t start, int32_t length);
    void setHotspotAll(int32_t code);
    void setCollisionScaleAll(double scale);

    std::vector<std::unique_ptr<Surface>> images;
    int32_t count = 0;
};
