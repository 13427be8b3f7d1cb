#include "HeadlessProgressView.h"

#include "mainform/ProgressTexts.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#endif

#include <cmath>

namespace {

constexpr int kBarWidth = 369;  // the inner width of the window's bar, in pixels

// What a label does with an 8-bit text: decode it into its own UTF-16 string (the ANSI code
// page on Windows, UTF-8 elsewhere).
void StoreAsUtf16(const std::string& text, std::u16string& into) {
#ifdef _WIN32
    into.resize(text.size());
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                            reinterpret_cast<wchar_t*>(into.data()), static_cast<int>(into.size()));
    into.resize(static_cast<std::size_t>(length));
#else
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
#endif
}

}  // namespace

#ifdef _WIN32
HeadlessProgressView::HeadlessProgressView() = default;
HeadlessProgressView::~HeadlessProgressView() = default;
#else
HeadlessProgressView::HeadlessProgressView() : wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

HeadlessProgressView::~HeadlessProgressView() {
    if (wakeFd_ >= 0) close(wakeFd_);
}
#endif

void HeadlessProgressView::MirrorProgress(double copiedMB, double totalMB,
                                          const std::string& destinationFile) {
    FormatProgressText(text_, copiedMB, totalMB);
    StoreAsUtf16(text_, progressText_);
    FormatDestinationLine(text_, destinationFile);
    StoreAsUtf16(text_, destinationText_);
    const double maximum = totalMB;
    const double position = copiedMB;
    maximum_ = maximum;
    position_ = position;
    const double fraction = maximum > 0 ? std::fmin(std::fmax(position / maximum, 0.0), 1.0) : 0.0;
    const int pixels = static_cast<int>(std::lround(fraction * kBarWidth));
    if (pixels != barPixels_) {
        barPixels_ = pixels;
    }
}

void HeadlessProgressView::ProcessMessages() {
    if (!pace_.Due()) return;
    ++steps_;
    // One pass of the loop: take what is posted, without waiting.
#ifdef _WIN32
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
#else
    pollfd wake{wakeFd_, POLLIN, 0};
    if (poll(&wake, 1, 0) > 0 && (wake.revents & POLLIN)) {
        std::uint64_t posted = 0;
        [[maybe_unused]] const auto taken = read(wakeFd_, &posted, sizeof posted);
    }
#endif
}
