#pragma once
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <vector>

// One generated picture: a Cairo ARGB32 canvas that becomes a 24-bit BMP.
class Picture {
  public:
    Picture(int width, int height);
    Picture(Picture&&) = default;
    Picture& operator=(Picture&&) = default;

    // A picture whose pixel (x, y) is the premultiplied ARGB `argbAt(x, y)`.
    template <class ArgbAt>
    static Picture filled(int width, int height, ArgbAt argbAt) {
        Picture out(width, height);
        cairo_surface_t* s = out.surface();
        cairo_surface_flush(s);
        unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
            for (int x = 0; x < width; ++x) row[x] = argbAt(x, y);
        }
        cairo_surface_mark_dirty(s);
        return out;
    }

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_surface_t* surface() const { return surface_.get(); }

    // A fresh drawing context; the caller destroys it (see Pen below).
    cairo_t* context() const;

    // Quantises the colours to the 5-6-5 grid with an ordered 4x4 dither, so long gradients
    // show no bands on the 16-bit display. The pattern repeats every 4 pixels.
    void ditherTo565();

    // The BMP file: 24-bit, uncompressed, bottom-up. Pixels under half coverage become pure
    // black, the transparent colour; every other pixel is kept off black.
    std::vector<uint8_t> toBmp() const;

    // Opaque colour of a pixel as it goes into the file, packed 0x00RRGGBB.
    uint32_t rgbAt(int x, int y) const;

  private:
    static uint32_t fileColour(uint32_t argb);
    struct SurfaceDeleter {
        void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
    };
    int width_;
    int height_;
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface_;
};

// A drawing context that is destroyed with its scope.
class Pen {
  public:
    explicit Pen(const Picture& picture) : cr_(picture.context()) {}
    ~Pen() { cairo_destroy(cr_); }
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;
    operator cairo_t*() const { return cr_; }

  private:
    cairo_t* cr_;
};
