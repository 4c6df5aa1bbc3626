// The area that answers hit tests: the whole control, the drawn picture's
// bounding box, or the exact shape of its visible pixels.
#include <algorithm>
#include <cmath>

#include "imagecontrol/aicAlphaImage.h"

void aicAlphaImage::pvDropHitRegion() {
    hitRegion_.clear();
    hasHitRegion_ = false;
}

void aicAlphaImage::pvWholeControlHitRect() {
    hitRect_ = {0, 0, static_cast<int32_t>(std::nearbyint(site_.ScaleWidth())),
                static_cast<int32_t>(std::nearbyint(site_.ScaleHeight()))};
}

void aicAlphaImage::pvUpdateHitArea() {
    if (!site_.Enabled() || !site_.UserMode()) {
        pvWholeControlHitRect();  // a region made before still answers
        return;
    }
    if (image_->Handle() == 0 || hitTestStyle_ == 0) {
        pvDropHitRegion();
        pvWholeControlHitRect();
        return;
    }
    pvDropHitRegion();
    std::vector<modParsers::RegionRect> rects;
    if (bufferImage_) {
        rects = modParsers::ShapedRegionRects(bufferImage_->Pixels(), bufferImage_->Alpha(), hitTestStyle_ - 1);
    } else {
        // The drawn picture as pixels the size of the control: for this once,
        // or kept when AutoRedraw wants a buffer that is not drawn yet.
        const bool wanted = Flag(kBufferInUse);
        propsFlags_ |= kBufferInUse;
        makingHitBuffer_ = !wanted;
        if (pvRenderBuffer(true, false))
            rects = modParsers::ShapedRegionRects(bufferImage_->Pixels(), bufferImage_->Alpha(), hitTestStyle_ - 1);
        makingHitBuffer_ = false;
        if (!wanted) {
            propsFlags_ &= ~kBufferInUse;
            bufferImage_.reset();
        }
    }
    hitRegion_ = std::move(rects);
    hasHitRegion_ = true;  // an empty region: nothing visible, nothing hit
    if (hitTestStyle_ == 1) {
        hitRect_ = pvHitRegionBox();
        pvDropHitRegion();
    }
}

PixelRect aicAlphaImage::pvHitRegionBox() const {
    if (hitRegion_.empty()) return {};
    PixelRect box{hitRegion_.front().left, hitRegion_.front().top, hitRegion_.front().right,
                  hitRegion_.front().bottom};
    for (const auto& r : hitRegion_) {
        box.left = std::min(box.left, r.left);
        box.top = std::min(box.top, r.top);
        box.right = std::max(box.right, r.right);
        box.bottom = std::max(box.bottom, r.bottom);
    }
    return box;
}

void aicAlphaImage::pvMoveHitArea(int32_t dx, int32_t dy) {
    auto shift = [dx, dy](auto& r) {
        r.left += dx, r.right += dx;
        r.top += dy, r.bottom += dy;
    };
    // With a region, HitRect is its bounding box and moves with it.
    if (hasHitRegion_) hitRect_ = pvHitRegionBox();
    for (auto& r : hitRegion_) shift(r);
    shift(hitRect_);
}

bool aicAlphaImage::HitTestPoint(float x, float y) const {
    if (!(std::fabs(x) < 2e9f && std::fabs(y) < 2e9f)) return false;
    const auto px = static_cast<int32_t>(std::nearbyint(x)), py = static_cast<int32_t>(std::nearbyint(y));
    if (!hasHitRegion_) return hitRect_.Contains(px, py);
    return std::any_of(hitRegion_.begin(), hitRegion_.end(), [px, py](const modParsers::RegionRect& r) {
        return px >= r.left && px < r.right && py >= r.top && py < r.bottom;
    });
}
