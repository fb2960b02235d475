#include "engine/surface.h"

#include <algorithm>
#include <new>

#include "engine/zef_dx.h"
#include "platform/result_codes.h"
#include "services/zef_file_manager.h"

namespace {

constexpr uint32_t kNoPixel = 0xFFFFFFFF;
constexpr uint16_t kWhite = 0xFFFF;

// A new blank picture, or null with the platform's code when it cannot be had.
std::unique_ptr<platform::PixelSurface> makePicture(int32_t width, int32_t height, int32_t& code) {
    if (width <= 0 || height <= 0) {
        code = platform::kErrInvalidParams;
        return nullptr;
    }
    try {
        auto picture = std::make_unique<platform::PixelSurface>(width, height);
        if (picture->width() == width && picture->height() == height) return picture;
    } catch (const std::bad_alloc&) {
    }
    code = platform::kErrOutOfMemory;
    return nullptr;
}

}  // namespace

Surface::Surface(ZefDX* owner) : ZefBase(owner), nextFrame(this) {}

Surface::Surface(ZefDX* owner, const std::string& fileName) : ZefBase(owner), nextFrame(this) {
    owner->log("Loading file [" + fileName + "].");
    ddSurface = decodeFile(fileName, "Surface::Surface()");
    width = ddSurface->width();
    height = ddSurface->height();
    setHotspot(5);
}

Surface::~Surface() = default;

std::unique_ptr<platform::PixelSurface> Surface::decodeFile(const std::string& fileName,
                                                            const char* operation) {
    std::unique_ptr<ZefStream> stream = owner->fileManager->openFile(fileName);
    std::string error;
    auto picture = platform::PixelSurface::decodeBMP(stream->data(), stream->size(), error);
    if (!picture) owner->fatalError(operation, fileName + ": " + error, -1);
    return picture;
}

// Front and back are both pictures of the mode's size, opaque, cleared to 0;
// only the back one is clipped.
void Surface::createScreenSurface(const char* operation, const char* message, bool clipped) {
    int32_t code = platform::kOk;
    ddSurface = makePicture(owner->width, owner->height, code);
    if (!ddSurface) owner->fatalError(operation, message, code);
    width = owner->width;
    height = owner->height;
    if (clipped) createBackClipper();
    blitFlags = 0;
    fill(nullptr, 0);
}

void Surface::createAsFront() {
    createScreenSurface("Surface::createAsFront()", "Cannot create front surface(s)", false);
}

void Surface::createAsBack() {
    createScreenSurface("Surface::createAsBack()", "Cannot create back surface", true);
}

void Surface::createBackClipper() {
    if (setClipRect(nullptr) != platform::kOk) {
        owner->fatalError("ZefDX::ZefDX()", "Cannot create back clipper", platform::kErrGeneric);
    }
}

int32_t Surface::setClipRect(const RECT* rect) {
    if (!ddSurface) return platform::kErrGeneric;
    ddSurface->setClipper(rect != nullptr ? *rect : RECT{0, 0, width, height});
    return platform::kOk;
}

RECT Surface::placement(int32_t x, int32_t y, const RECT* src, double scale) const {
    const RECT from = src != nullptr ? *src : RECT{0, 0, width, height};
    RECT to;
    to.left = x - hotspotX;
    to.top = y - hotspotY;
    if (scale == 1.0) {
        to.right = to.left + from.width();
        to.bottom = to.top + from.height();
    } else {
        // Truncation toward zero: the stretched size depends on the sign of the position.
        to.right = int32_t(from.width() * scale + to.left);
        to.bottom = int32_t(from.height() * scale + to.top);
    }
    return to;
}

int32_t Surface::blit(Surface* dest, int32_t x, int32_t y, const RECT* src, const BlitFx* fx,
                      double scale) {
    if (dest == nullptr || !dest->ddSurface || !ddSurface) return platform::kErrGeneric;
    if (owner != nullptr && owner->drawingOff) return platform::kOk;
    const RECT from = src != nullptr ? *src : RECT{0, 0, width, height};
    const RECT to = placement(x, y, &from, scale);
    if (fx != nullptr) {
        blitFlags |= DDBLT_DDFX;
    } else {
        blitFlags &= ~DDBLT_DDFX;
    }
    platform::PixelSurface::BlitOptions options;
    options.colourKey = (blitFlags & DDBLT_KEYSRC) != 0;
    options.mirror = fx != nullptr && fx->mirrorLeftRight;
    return ddSurface->blit(*dest->ddSurface, from, to, options);
}

int32_t Surface::fill(const RECT* rect, uint32_t pixel) {
    if (!ddSurface) return platform::kErrGeneric;
    if (owner != nullptr && owner->drawingOff) return platform::kOk;
    return ddSurface->fill(rect, uint16_t(pixel));
}

int32_t Surface::fillRGB(const RECT* rect, uint32_t rgb) {
    // Matched on the front surface: front and back share the display's layout.
    Surface* reference = owner != nullptr && owner->front != nullptr ? owner->front : this;
    return fill(rect, reference->matchColor(rgb));
}

uint32_t Surface::matchColor(uint32_t rgb) {
    if (!ddSurface || ddSurface->width() <= 0 || ddSurface->height() <= 0) return kNoPixel;
    return platform::PixelSurface::pixelFromRGB(rgb);
}

uint32_t Surface::firstPixel() {
    if (!ddSurface || ddSurface->width() <= 0 || ddSurface->height() <= 0) return kNoPixel;
    return ddSurface->getPixel(0, 0);
}

void Surface::loadBMP(const std::string& fileName, int32_t x, int32_t y) {
    owner->log("Loading BMP onto surface [" + fileName + "].");
    std::unique_ptr<platform::PixelSurface> picture = decodeFile(fileName, "Surface::loadBMP()");
    if (!ddSurface) {
        owner->fatalError("Surface::loadBMP()", "Cannot get device context", platform::kErrGeneric);
    }
    if (x == kCentre) x = (width - picture->width()) / 2;
    if (y == kCentre) y = (height - picture->height()) / 2;
    ddSurface->copyPicture(*picture, x, y);
}

void Surface::setHotspot(int32_t code) {
    // Laid out like a numeric keypad: 0 none, 1 half, 2 the whole size.
    static constexpr int8_t kAnchor[10][2] = {{0, 0}, {0, 2}, {1, 2}, {2, 2}, {0, 1},
                                              {1, 1}, {2, 1}, {0, 0}, {1, 0}, {2, 0}};
    if (code < 0 || code > 9) return;
    auto part = [](int32_t size, int8_t k) { return k == 0 ? 0 : k == 1 ? size / 2 : size; };
    hotspotX = part(width, kAnchor[code][0]);
    hotspotY = part(height, kAnchor[code][1]);
}

void Surface::drawOutline(int32_t x, int32_t y) {
    Surface* back = owner->back;
    if (back == nullptr || !back->ddSurface) return;
    const int32_t cx = x - hotspotX + width / 2;
    const int32_t cy = y - hotspotY + height / 2;
    const int32_t rx = int32_t((width / 2) * collisionScale);
    const int32_t ry = int32_t((height / 2) * collisionScale);
    const int32_t r = std::min(rx, ry);
    back->ddSurface->drawRoundRect(RECT{cx - rx, cy - ry, cx + rx, cy + ry}, r, r, kWhite);
}
