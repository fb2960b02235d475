#include "shell/note_canvas.h"

#include "platform/pixel_surface.h"

Surface& canvasOver(ZefDX* engine, std::unique_ptr<Surface>& canvas,
                    const platform::PixelSurface& picture) {
    if (!canvas || canvas->width != picture.width() || canvas->height != picture.height()) {
        canvas = std::make_unique<Surface>(engine);
        canvas->ddSurface =
            std::make_unique<platform::PixelSurface>(picture.width(), picture.height());
        canvas->width = picture.width();
        canvas->height = picture.height();
    }
    canvas->ddSurface->copyPicture(picture, 0, 0);
    return *canvas;
}
