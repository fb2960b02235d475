/* Tells whether the X pointer is hidden where it stands: prints "hidden" and
 * exits 0 when the cursor image there is wholly transparent, prints
 * "visible" and exits 1 otherwise, exits 2 when it cannot tell. */
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>

int main(void) {
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "cursor_probe: cannot open the display\n");
        return 2;
    }
    int eventBase = 0, errorBase = 0;
    if (!XFixesQueryExtension(display, &eventBase, &errorBase)) {
        fprintf(stderr, "cursor_probe: the server has no XFIXES\n");
        XCloseDisplay(display);
        return 2;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (image == NULL) {
        fprintf(stderr, "cursor_probe: no cursor image\n");
        XCloseDisplay(display);
        return 2;
    }
    int visible = 0;
    const unsigned long count = (unsigned long)image->width * image->height;
    for (unsigned long i = 0; i < count; ++i) {
        if ((image->pixels[i] >> 24) & 0xFF) visible = 1;
    }
    printf("%s\n", visible ? "visible" : "hidden");
    XFree(image);
    XCloseDisplay(display);
    return visible;
}
