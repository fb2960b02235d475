#include "engine/error_codes.h"

#include <cstdio>

namespace {

struct Row {
    uint32_t code;
    const char* description;
};

const char kNotInitialised[] =
    "An attempt was made to call an interface method of a DirectDraw object created by "
    "CoCreateInstance before the object was initialized.";
const char kInvalidStream[] = "The specified stream contains invalid data.";
const char kNotPageLocked[] =
    "An attempt is made to page unlock a surface with no outstanding page locks.";

const Row kRows[] = {
    {0x00000000, "The request completed successfully."},
    {0x80004001, "The operation is not supported."},
    {0x80004002, "The requested COM interface is not available."},
    {0x80004005, "There is an undefined error condition."},
    {0x80040110, "The buffer creation call failed because aggregation is not supported."},
    {0x800401F0, kNotInitialised},
    {0x8007000E, "DirectDraw does not have enough memory to perform the operation."},
    {0x80070057, "One or more of the parameters passed to the method are incorrect."},
    {0x88760005, "The object has already been initialized."},
    {0x8876000A, "A surface cannot be attached to another requested surface."},
    {0x88760014, "A surface cannot be detached from another requested surface."},
    {0x88760028, "No support is currently available."},
    {0x88760037, "An exception was encountered while performing the requested operation."},
    {0x8876005A,
     "The height of the provided rectangle is not a multiple of the required alignment."},
    {0x8876005F,
     "The primary surface creation request does not match the existing primary surface."},
    {0x88760064,
     "One or more of the capability bits passed to the callback function are incorrect."},
    {0x8876006E, "DirectDraw does not support the provided clipper list."},
    {0x88760078, "DirectDraw does not support the requested mode."},
    {0x88760082, "DirectDraw received a pointer that was an invalid DirectDraw object."},
    {0x88760091, "The pixel format was invalid as specified."},
    {0x88760096, "The provided rectangle was invalid."},
    {0x887600A0, "One or more surfaces are locked, preventing operation."},
    {0x887600AA, "No 3-D hardware or emulation is present."},
    {0x887600B4,
     "No alpha acceleration hardware is present or available, causing the failure of the requested "
     "operation."},
    {0x887600CD, "No clip list is available."},
    {0x887600D2,
     "The operation cannot be carried out because no color-conversion hardware is present or "
     "available."},
    {0x887600D4,
     "A create function is called without the IDirectDraw4::SetCooperativeLevel method being "
     "called."},
    {0x887600D7, "The surface does not currently have a color key."},
    {0x887600DC,
     "The operation cannot be carried out because there is no hardware support for the destination "
     "color key."},
    {0x887600DE, "DirectDraw support is not possible with the current display driver."},
    {0x887600E1,
     "The operation requires the application to have exclusive mode, but the application does not "
     "have exclusive mode."},
    {0x887600E6, "Flipping visible surfaces is not supported."},
    {0x887600F0, "No GDI is present."},
    {0x887600FA,
     "The operation cannot be carried out because no mirroring hardware is present or available."},
    {0x887600FF, "The requested item was not found."},
    {0x88760104,
     "The operation cannot be carried out because no overlay hardware is present or available."},
    {0x8876010E,
     "The operation could not be carried out because the source and destination rectangles are on "
     "the same surface and overlap each other."},
    {0x88760118,
     "The operation cannot be carried out because no appropriate raster operation hardware is "
     "present or available."},
    {0x88760122,
     "The operation cannot be carried out because no rotation hardware is present or available."},
    {0x88760136,
     "The operation cannot be carried out because there is no hardware support for stretching."},
    {0x8876013C,
     "The DirectDrawSurface object is not using a 4-bit color palette and the requested operation "
     "requires a 4-bit color palette."},
    {0x8876013D,
     "The DirectDrawSurface object is not using a 4-bit color index palette and the requested "
     "operation requires a 4-bit color index palette."},
    {0x88760140,
     "The DirectDrawSurface object is not using an 8-bit color palette and the requested operation "
     "requires an 8-bit color palette."},
    {0x8876014A,
     "The operation cannot be carried out because no texture-mapping hardware is present or "
     "available."},
    {0x8876014F,
     "The operation cannot be carried out because there is no hardware support for vertical blank "
     "synchronized operations."},
    {0x88760154,
     "The operation to create a z-buffer in display memory or to perform a blit using a z-buffer "
     "cannot be carried out because there is no hardware support for z-buffers."},
    {0x8876015E,
     "The overlay surfaces cannot be z-layered based on the z-order because the hardware does not "
     "support z-ordering of overlays."},
    {0x88760168, "The hardware needed for the requested operation has already been allocated."},
    {0x8876017C, "DirectDraw does not have enough display memory to perform the operation."},
    {0x8876017E, "The hardware does not support clipped overlays."},
    {0x88760180, "An attempt was made to have more than one color key active on an overlay."},
    {0x88760183,
     "Access to this palette is refused because the palette is locked by another thread."},
    {0x88760190, "No source color key is specified for this operation."},
    {0x8876019A,
     "An attempt was made to attach a surface to another surface to which it is already attached."},
    {0x887601A4,
     "An attempt was made to make a surface a dependency of another surface to which it is already "
     "dependent."},
    {0x887601AE,
     "Access to the surface is refused because the surface is locked by another thread."},
    {0x887601B3,
     "Access to this surface is refused because an attempt was made to lock the primary surface "
     "without DCI support."},
    {0x887601B8, "Access to the surface is refused because the surface is obscured."},
    {0x887601C2,
     "Access to the surface is refused because the surface memory is gone. Call the "
     "IDirectDrawSurface4::Restore method on this surface to restore the memory associated with "
     "it."},
    {0x887601CC, "The requested surface is not attached."},
    {0x887601D6, "The height requested by DirectDraw is too large."},
    {0x887601E0,
     "The size requested by DirectDraw is too large. However, the individual height and width are "
     "valid sizes."},
    {0x887601EA, "The width requested by DirectDraw is too large."},
    {0x887601FE, "The pixel format requested is not supported by DirectDraw."},
    {0x88760208, "The bitmask in the pixel format requested is not supported by DirectDraw."},
    {0x88760209, kInvalidStream},
    {0x88760219, "A vertical blank is in progress."},
    {0x8876021C,
     "The previous blit operation that is transferring information to or from this surface is "
     "incomplete."},
    {0x88760230, "The provided rectangle was not horizontally aligned on a required boundary."},
    {0x88760231,
     "The globally unique identifier (GUID) passed to the DirectDrawCreate function is not a valid "
     "DirectDraw driver identifier."},
    {0x88760232,
     "A DirectDraw object representing this driver has already been created for this process."},
    {0x88760233,
     "Hardware-only DirectDraw object creation is not possible; the driver does not support any "
     "hardware."},
    {0x88760234, "This process has already created a primary surface."},
    {0x88760235, "Software emulation is not available."},
    {0x88760236, "The region passed to the IDirectDrawClipper::GetClipList method is too small."},
    {0x88760237,
     "An attempt was made to set a clip list for a DirectDrawClipper object that is already "
     "monitoring a window handle."},
    {0x88760238, "No DirectDrawClipper object is attached to the surface object."},
    {0x88760239,
     "Clipper notification requires a window handle, or no window handle has been previously set "
     "as the cooperative level window handle."},
    {0x8876023A,
     "DirectDraw is prevented from restoring state because the DirectDraw cooperative level window "
     "handle has been subclassed."},
    {0x8876023B,
     "The DirectDraw cooperative level window handle has already been set. It cannot be reset "
     "while the process has surfaces or palettes created."},
    {0x8876023C, "No palette object is attached to this surface."},
    {0x8876023D, "There is no hardware support for 16- or 256-color palettes."},
    {0x8876023E,
     "A DirectDrawClipper object is attached to a source surface that has passed into a call to "
     "the IDirectDrawSurface4::BltFast method."},
    {0x8876023F, "No blitter hardware is present."},
    {0x88760240, "No DirectDraw raster operation (ROP) hardware is available."},
    {0x88760241,
     "The IDirectDrawSurface4::GetOverlayPosition method is called on a hidden overlay."},
    {0x88760242,
     "The IDirectDrawSurface4::GetOverlayPosition method is called on an overlay that the "
     "IDirectDrawSurface4::UpdateOverlay method has not been called on to establish a "
     "destination."},
    {0x88760243, "The position of the overlay on the destination is no longer legal."},
    {0x88760244, "An overlay component is called for a non-overlay surface."},
    {0x88760245,
     "An attempt was made to set the cooperative level when it was already set to exclusive."},
    {0x88760246, "An attempt has been made to flip a surface that cannot be flipped."},
    {0x88760247,
     "Primary and 3-D surfaces, or surfaces that are implicitly created, cannot be duplicated."},
    {0x88760248, "An attempt is made to unlock a surface that was not locked."},
    {0x88760249, "A device context could not be created."},
    {0x8876024A, "No device context (DC) has ever been created for this surface."},
    {0x8876024B, "This surface cannot be restored because it was created in a different mode."},
    {0x8876024C, "The surface cannot be restored because it is an implicitly created surface."},
    {0x8876024D, kNotPageLocked},
    {0x8876024E, "The display is currently in an unsupported mode."},
    {0x8876024F,
     "The operation cannot be carried out because no mipmap capable texture mapping hardware is "
     "present or available."},
    {0x88760250, kInvalidStream},
    {0x88760258, "The display hardware or driver does not support surface optimization."},
    {0x88760259, kNotInitialised},
    {0x8876025A,
     "An attempt was made to create or set a device window without first setting the focus "
     "window."},
    {0x8876026C,
     "A device context has already been returned for this surface. Only one device context can be "
     "retrieved for each surface."},
    {0x88760276, "Nonlocal video memory is not supported by the driver."},
    {0x88760280, "An attempt to page lock a surface failed."},
    {0x88760294, "An attempt to page unlock a surface failed."},
    {0x887602A8, kNotPageLocked},
    {0x887602B2, "There is more data available than the specified buffer size can hold."},
    {0x887602B3, "The data has expired and is therefore no longer valid."},
    {0x887602B7, "A video operation was requested on a video port that is not active."},
    {0x887602BB,
     "An attempt was made to use a surface that was created by a different DirectDraw device."},
    {0x8878000A,
     "The request failed because resources, such as a priority level, were already in use by "
     "another caller."},
    {0x8878001E,
     "The buffer control (volume, pan, and so on) requested by the caller is not available."},
    {0x88780032, "This function is not valid for the current state of this object."},
    {0x88780046,
     "The caller does not have the priority level required for the function to succeed."},
    {0x88780064, "The specified wave format is not supported."},
    {0x88780078, "No sound driver is available for use."},
    {0x88780082, "This object is already initialized."},
    {0x88780096, "The buffer memory has been lost and must be restored."},
    {0x887800A0,
     "Another application has a higher priority level, preventing this call from succeeding"},
    {0x887800AA,
     "The IDirectSound::Initialize method has not been called or has not been called successfully "
     "before other methods were called."},
};

}  // namespace

const char* describeResultCode(int32_t code) {
    for (const Row& row : kRows)
        if (row.code == uint32_t(code)) return row.description;
    return "No futher information";  // sic: the players' version of the text
}

int resultCodeCount() {
    return int(sizeof(kRows) / sizeof(kRows[0]));
}

std::string formatErrorText(const std::string& operation, const std::string& message,
                            int32_t code) {
    std::string text = "Function " + operation + ": '" + message + "'";
    if (code != -1) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08X", uint32_t(code));
        text += ", error code: 0x" + std::string(hex) + " (" + describeResultCode(code) + ")";
    }
    return text;
}
