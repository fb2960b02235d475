#include "engine/surface_chain.h"

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "services/zef_file_manager.h"

SurfaceChain::SurfaceChain(ZefDX* owner, const std::string& baseName) : ZefBase(owner) {
    std::string name;
    for (int32_t n = 0;; ++n) {
        name = baseName + "_" + std::to_string(n) + ".bmp";
        // The series ends at the first gap; later numbers are never read.
        if (!owner->fileManager->fileExists(name)) break;
        images.push_back(std::make_unique<Surface>(owner, name));
    }
    owner->log("[" + baseName + "] Loaded total of " + std::to_string(images.size()) +
               " surfaces.");
    if (images.empty()) {
        owner->fatalError("SurfaceChain::SurfaceChain()",
                          "Could not find any images (tried " + name + ")", -1);
    }
    count = int32_t(images.size());
}

SurfaceChain::~SurfaceChain() = default;

Surface* SurfaceChain::getSurf(int32_t index) {
    if (index < 0 || index >= count) {
        owner->fatalError("SurfaceChain::getSurf()",
                          "Requested surface " + std::to_string(index) + ", only " +
                              std::to_string(count) + " present",
                          -1);
    }
    return images[size_t(index)].get();
}

void SurfaceChain::linkFrames(uint8_t endMode, int32_t start, int32_t length) {
    if (length == -1) length = count;
    int32_t last = start + length - 1;
    if (last > count - 1) last = count - 1;
    int32_t i = start;
    while (i < last) {
        getSurf(i)->nextFrame = getSurf(i + 1);
        ++i;
    }
    Surface* end = getSurf(i);
    switch (endMode) {
        case 0:
            end->nextFrame = nullptr;
            break;
        case 1:
            end->nextFrame = end;
            break;
        case 2:
            end->nextFrame = getSurf(start);
            break;
        default:
            break;
    }
}

void SurfaceChain::setHotspotAll(int32_t code) {
    for (auto& image : images) image->setHotspot(code);
}

void SurfaceChain::setCollisionScaleAll(double scale) {
    for (auto& image : images) image->collisionScale = scale;
}
