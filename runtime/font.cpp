#include "runtime/font.h"

#include <cmath>

namespace kelva::rt {

FontPtr createFont(const FontDesc& d) {
    LOGFONTW lf{};
    const int dpi = screenDpiY();
    lf.lfHeight = -static_cast<LONG>(std::lround(d.size * dpi / 72.0));
    lf.lfWeight = d.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = d.italic;
    lf.lfUnderline = d.underline;
    lf.lfStrikeOut = d.strikethrough;
    lf.lfCharSet = d.charset ? static_cast<BYTE>(d.charset) : DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, d.name.c_str(), LF_FACESIZE);
    return FontPtr(CreateFontIndirectW(&lf));
}

void Font::setDesc(const FontDesc& d) {
    desc_ = d;
    changed();
}
void Font::setName(std::wstring name) {
    desc_.name = std::move(name);
    changed();
}
void Font::setSize(double size) {
    desc_.size = size;
    changed();
}
void Font::setBold(bool v) {
    desc_.bold = v;
    changed();
}
void Font::setItalic(bool v) {
    desc_.italic = v;
    changed();
}
void Font::setUnderline(bool v) {
    desc_.underline = v;
    changed();
}
void Font::setStrikethrough(bool v) {
    desc_.strikethrough = v;
    changed();
}

HFONT Font::handle() {
    if (!handle_) handle_ = createFont(desc_);
    return handle_.get();
}

int Font::listen(Listener l) {
    listeners_.emplace_back(nextId_, std::move(l));
    return nextId_++;
}

void Font::unlisten(int id) {
    std::erase_if(listeners_, [id](const auto& p) { return p.first == id; });
}

void Font::changed() {
    handle_.reset();
    auto copy = listeners_;  // a listener may unlisten while notified
    for (auto& [id, l] : copy) l(*this);
}

}  // namespace kelva::rt
