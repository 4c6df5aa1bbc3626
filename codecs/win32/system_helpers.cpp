#include <cstring>

#include "codecs/modParsers.h"
#include "common/system_library.h"

namespace modParsers {

bool DllHasFunction(const char* libraryName, const char* functionName) {
    std::wstring name(libraryName, libraryName + std::strlen(libraryName));  // library names are ASCII
    win32::Library library = win32::LoadSystemLibrary(name.c_str());
    return library && GetProcAddress(library.get(), functionName) != nullptr;
}

win32::Handle GetFileHandle(const std::wstring& fileName, bool forReading) {
    constexpr DWORD kAnyReadableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                             FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL;
    if (forReading)
        return win32::Handle(CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         kAnyReadableAttributes, nullptr));
    DWORD attributes = GetFileAttributesW(fileName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) attributes = FILE_ATTRIBUTE_NORMAL;
    return win32::Handle(CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     attributes, nullptr));
}

bool DeleteFileForced(const std::wstring& fileName) {
    return SetFileAttributesW(fileName.c_str(), FILE_ATTRIBUTE_NORMAL) && DeleteFileW(fileName.c_str());
}

win32::ComPtr<IPicture> ArrayToPicture(std::span<const uint8_t> bytes) {
    win32::ComPtr<IPicture> picture;
    if (bytes.empty()) return picture;
    win32::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    void* target = memory ? GlobalLock(memory.get()) : nullptr;
    if (target == nullptr) return picture;
    std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory.get());
    win32::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, stream.put()))) return picture;
    memory.release();  // the stream frees it now
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                              picture.put_void())))
        picture.reset();
    return picture;
}

win32::ComPtr<IPicture> HandleToPicture(HANDLE handle, short pictureType) {
    win32::ComPtr<IPicture> picture;
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = pictureType;
    description.bmp.hbitmap = static_cast<HBITMAP>(handle);  // the handle shares one place in every variant
    if (FAILED(OleCreatePictureIndirect(&description, IID_IPicture, TRUE, picture.put_void()))) picture.reset();
    return picture;
}

}  // namespace modParsers
