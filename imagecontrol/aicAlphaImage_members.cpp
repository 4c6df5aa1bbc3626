#include "imagecontrol/aicAlphaImage_members.h"

namespace {

constexpr int32_t kEnabledDispatchId = -514;
constexpr int32_t kFirstMethodId = 0x6003001D;

constexpr MemberDescription kProperties[] = {
    {"ImageType", 0, "Returns/sets the image format contained by the control."},
    {"AutoRedraw", 0, "Returns/sets the output from a graphics method to a persistent bitmap"},
    {"HitTest", 0, "Returns/Sets method used to determine whether control responds to mouse events"},
    {"MaskColor", 0, "Returns/sets the color that specifies transparent areas in the image"},
    {"MaskUsed", 0, "Returns/Sets whether the mask is to be applied to the image"},
    {"InversedImage", 0, "Returns/Sets whether the image colors are inverted"},
    {"AutoSize", 0, "Determines whether a control is automatically resized to display its entire contents"},
    {"ScaleMethod", 0, "Returns/sets a value that determines how a graphic resizes to fit the size of an Image control"},
    {"StretchQuality", 0, "Returns/sets whether a graphic will be resized using the best sizing algorithms"},
    {"Opacity", 0, "Returns/Sets the level of translucency for the control. 100 is fully opaque and 0 is transparent"},
    {"Mirror", 0, "Returns/Sets the current mirroring effect for the image"},
    {"KeepOriginalFormat", 0, "Returns/Sets whether control will maintain original image data"},
    {"grayScale", 0, "Returns/Sets gray scale formula used when rendering image"},
    {"RotateEnabled", 0, "Enables/disables the Rotation property."},
    {"Rotation", 0, "The angle of rotation for the image when RotateEnabled is True",
     "Returns/sets angle of rotation for the image from 0 to 360 degrees"},
    {"Enabled", kEnabledDispatchId,
     "Returns/sets a value that determines whether an object can respond to user-generated events"},
    {"ShadowEnabled", 0, "Returns/sets whether shadow will be displayed"},
    {"ShadowColor", 0, "Color to be applied to shadow when ShadowEnabled is True"},
    {"ShadowOffsetX", 0, "Sets/Returns horizontal offset to be applied to shadow when ShadowEnabled is True"},
    {"ShadowOffsetY", 0, "Sets/returns vertical offset to be applied to shadow when ShadowEnabled is True"},
    {"ShadowDepth", 0, "Blur depth to be applied to shadow when ShadowEnabled is True"},
    {"ShadowOpacity", 0, "Sets/returns the opacity to be applied to shadow when ShadowEnabled is True"},
    {"MousePointer", 0, "Returns/sets the type of mouse pointer displayed when over part of an object"},
    {"MouseIcon", 0, "Sets a custom mouse icon"},
    {"OLEDropMode", 0, "Returns/Sets whether this object can act as an OLE drop target"},
    {"GDIplusInitialized", 0, "Returns true if control initialized GDI+"},
    {"GDIplusEnabled", 0, "Returns true if GDI+ installed on the system"},
    {"IntensityOffset", 0,
     "Adds/Subtracts lightness. Negative values make image darker, positive values make image lighter"},
};

constexpr MemberDescription kMethods[] = {
    {"ClearImage", kFirstMethodId + 0, "Removes image from control"},
    {"Refresh", kFirstMethodId + 1, "Forces a complete repaint of a object"},
    {"LoadImage_FromArray", kFirstMethodId + 2, "Option to load an image from a stream of data"},
    {"LoadImage_FromFile", kFirstMethodId + 3, "Option to load an image from a file"},
    {"LoadImage_FromStdPicture", kFirstMethodId + 4, "Option to load an image from a standard picture object"},
    {"LoadImage_FromClipboard", kFirstMethodId + 5, "Option to load an image from the clipboard"},
    {"LoadImage_FromHandle", kFirstMethodId + 6, "Option to load an image from an existing memory handle"},
    {"LoadImage_FromResource", kFirstMethodId + 7, "Option to load an image from a resource file"},
    {"LoadImage_FromOrignalBytes", kFirstMethodId + 8,
     "Option to load image from bytes maintained by setting KeepOriginal format to True"},
    {"GetImageBytes", kFirstMethodId + 9,
     "Function returns the pixels of a source image as a byte array. Parameters allow bytes to be returned in file "
     "format."},
    {"SetImageBytes", kFirstMethodId + 10, "Function sets the pixels of a source image from a passed  byte array"},
    {"GetImageScales", kFirstMethodId + 11,
     "Function returns scaled image width and height relative to passed target width and height"},
    {"FadeInOut", kFirstMethodId + 12, "Automatically fades an image to a requested opacity"},
    {"OffsetShadow", kFirstMethodId + 13, "Places the shadow to a desired X,Y coordinate"},
    {"OffsetImage", kFirstMethodId + 14, "Places the image and shadow to a position other than 0,0"},
    {"isMouseOver", kFirstMethodId + 15, "Returns whether or not the mouse is currently over the control"},
};

constexpr MemberDescription kEvents[] = {
    {"Click", 1, "Occurs when the mouse is pressed and released over the control"},
    {"DblClick", 2, "Occurs when the mouse is double clicked over the control"},
    {"MouseExit", 3, "Occurs when the user first moves the mouse cursor out of the control"},
    {"MouseEnter", 4, "Occurs when the user first moves the mouse cursor into the control"},
    {"MouseUp", 5, "Occurs when the user releases the mouse button while an object has the focus"},
    {"MouseMove", 6, "Occurs when the user moves the mouse"},
    {"MouseDown", 7, "Occurs when the user presses the mouse button while an object has the focus"},
    {"KeyDown", 8, "Occurs when the user presses a key while an object has the focus"},
    {"KeyPress", 9, "Occurs when the user presses and releases an ANSI key"},
    {"KeyUp", 10, "Occurs when the user releases a key while an object has the focus"},
    {"OLEDragDrop", 11,
     "Occurs when data is dropped onto the control via an OLE drag/drop operation, and OLEDropMode is set to manual"},
    {"OLEDragOver", 12,
     "Occurs when the mouse is moved over the control during an OLE drag/drop operation, if its OLEDropMode property "
     "is set to manual"},
    {"FadeTerminated", 13, "Callback event that occurs when a fade request completes"},
};

}  // namespace

std::span<const MemberDescription> aicAlphaImageProperties() { return kProperties; }
std::span<const MemberDescription> aicAlphaImageMethods() { return kMethods; }
std::span<const MemberDescription> aicAlphaImageEvents() { return kEvents; }
