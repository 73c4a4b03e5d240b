#pragma once
// The font object: a description that controls share, with a GDI font made from it on demand and
// a change notification for whoever listens (a control repaints when its font changes).
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "runtime/gdi.h"
#include "runtime/propbag.h"

namespace kelva::rt {

FontPtr createFont(const FontDesc& desc);

class Font {
public:
    explicit Font(FontDesc desc = {}) : desc_(std::move(desc)) {}

    const FontDesc& desc() const { return desc_; }
    void setDesc(const FontDesc& d);
    void setName(std::wstring name);
    void setSize(double size);
    void setBold(bool v);
    void setItalic(bool v);
    void setUnderline(bool v);
    void setStrikethrough(bool v);

    HFONT handle();  // made on first use after a change

    using Listener = std::function<void(const Font&)>;
    int listen(Listener l);
    void unlisten(int id);

private:
    void changed();
    FontDesc desc_;
    FontPtr handle_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextId_ = 1;
};

}  // namespace kelva::rt
