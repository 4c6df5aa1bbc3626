#include <algorithm>
#include <cstring>
#include <vector>

#include "codecs/modParsers.h"
#include "imagecore/c32bppDIB.h"

namespace modParsers {
namespace {

constexpr size_t kRectsPerBlock = 2000;

win32::Region RegionFromRects(std::span<const RegionRect> rects, int32_t width) {
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(rects.size());
    header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    int32_t top = rects.front().top, bottom = rects.front().bottom;
    for (const RegionRect& r : rects) {
        top = std::min(top, r.top);
        bottom = std::max(bottom, r.bottom);
    }
    header.rcBound = {0, top, width, bottom};
    std::memcpy(data.data(), &header, sizeof header);
    for (size_t i = 0; i < rects.size(); ++i) {
        RECT r{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
        std::memcpy(data.data() + sizeof header + i * sizeof(RECT), &r, sizeof r);
    }
    return win32::Region(
        ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
}

}  // namespace

win32::Region CreateShapedRegion(const c32bppDIB& host, int style) {
    if (host.Handle() == 0) return {};
    std::vector<RegionRect> rects = ShapedRegionRects(host.Pixels(), host.Alpha(), style);
    if (rects.empty()) return {};
    if (!host.Alpha() || (style != 1 && style != 2)) {
        const RegionRect& r = rects.front();
        return win32::Region(CreateRectRgn(r.left, r.top, r.right, r.bottom));
    }
    win32::Region whole = RegionFromRects(rects, host.Width());
    if (whole || rects.size() <= kRectsPerBlock) return whole;

    // Some systems refuse very large region data: merge it in blocks.
    win32::Region merged;
    for (size_t start = 0; start < rects.size(); start += kRectsPerBlock) {
        size_t count = std::min(kRectsPerBlock, rects.size() - start);
        win32::Region part = RegionFromRects(std::span(rects).subspan(start, count), host.Width());
        if (!part) return {};
        if (!merged) {
            merged = std::move(part);
        } else if (CombineRgn(merged.get(), merged.get(), part.get(), RGN_OR) == ERROR) {
            return {};
        }
    }
    return merged;
}

}  // namespace modParsers
