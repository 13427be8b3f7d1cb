#include "HeadlessProgressView.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cmath>

namespace {

constexpr int kBarWidth = 400;  // pixels of the bar in the main window

// What a label does with an 8-bit text: decode it (UTF-8 here) into its own UTF-16 string.
void StoreAsUtf16(const std::string& text, std::u16string& into) {
    into.resize(text.size());  // never more UTF-16 units than UTF-8 bytes
    char16_t* out = into.data();
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = in + text.size();
    while (in < end) {
        const unsigned char lead = *in;
        if (lead < 0x80) {
            *out++ = lead;
            ++in;
            continue;
        }
        const std::ptrdiff_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (end - in < length) {
            *out++ = u'\uFFFD';
            break;
        }
        char32_t code = lead & (0x7F >> length);
        for (std::ptrdiff_t k = 1; k < length; ++k) code = (code << 6) | (in[k] & 0x3F);
        if (code >= 0x10000) {
            code -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (code >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(code);
        }
        in += length;
    }
    into.resize(static_cast<std::size_t>(out - into.data()));
}

}  // namespace

HeadlessProgressView::HeadlessProgressView() : wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

HeadlessProgressView::~HeadlessProgressView() {
    if (wakeFd_ >= 0) close(wakeFd_);
}

void HeadlessProgressView::SetProgressText(const std::string& text) {
    StoreAsUtf16(text, progressText_);
    repaintDue_ = true;
}

void HeadlessProgressView::SetDestinationText(const std::string& text) {
    StoreAsUtf16(text, destinationText_);
    repaintDue_ = true;
}

void HeadlessProgressView::SetProgressBar(std::uint32_t beginColor, double maximum,
                                          double position) {
    beginColor_ = beginColor;
    maximum_ = maximum;
    position_ = position;
    const double fraction = maximum > 0 ? std::fmin(std::fmax(position / maximum, 0.0), 1.0) : 0.0;
    const int pixels = static_cast<int>(std::lround(fraction * kBarWidth));
    if (pixels != barPixels_) {
        barPixels_ = pixels;
        repaintDue_ = true;
    }
}

void HeadlessProgressView::ProcessMessages() {
    ++steps_;
    // One pass of the loop: look at the wake-up descriptor without waiting, take what is posted.
    pollfd wake{wakeFd_, POLLIN, 0};
    if (poll(&wake, 1, 0) > 0 && (wake.revents & POLLIN)) {
        std::uint64_t posted = 0;
        if (read(wakeFd_, &posted, sizeof posted) == sizeof posted) handled_ += posted;
    }
    if (repaintDue_) {
        repaintDue_ = false;  // painting is the window's business, not the walk's
        ++handled_;
    }
}

void HeadlessProgressView::Wake() {
    const std::uint64_t one = 1;
    if (write(wakeFd_, &one, sizeof one) != sizeof one) return;
}
