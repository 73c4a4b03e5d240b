#include "palette/win/acad_writer.h"

#include <windows.h>

#include "com/latebound.h"
#include "core/errors.h"
#include "core/values.h"
#include "palette/charmap_logic.h"
#include "palette/settings_logic.h"
#include "palette/write_logic.h"
#include "runtime/propbag.h"
#include "runtime/services.h"

namespace kelva::palette {

using com::Arg;
using com::ComPtr;
using com::Variant;

namespace {
const std::wstring kNewLine = L"\r\n";

double numberOf(const Variant& v) {
    Variant out;
    if (FAILED(VariantChangeType(out.get(), const_cast<VARIANT*>(&com::deref(*v.get())), 0, VT_R8)))
        throw VbError(err::TypeMismatch);
    return V_R8(out.get());
}

long longOf(const Variant& v) {
    Variant out;
    if (FAILED(VariantChangeType(out.get(), const_cast<VARIANT*>(&com::deref(*v.get())), 0, VT_I4)))
        throw VbError(err::TypeMismatch);
    return V_I4(out.get());
}

// Element i of a point AutoCAD returns (an array of doubles, or of variants holding them).
double pointElement(const Variant& point, LONG i) {
    const VARIANT& d = com::deref(*point.get());
    if (!(V_VT(&d) & VT_ARRAY)) throw VbError(err::TypeMismatch);
    SAFEARRAY* a = (V_VT(&d) & VT_BYREF) ? *V_ARRAYREF(&d) : V_ARRAY(&d);
    if (!a) throw VbError(err::TypeMismatch);
    LONG lo = 0;
    SafeArrayGetLBound(a, 1, &lo);
    LONG at = lo + i;
    if ((V_VT(&d) & VT_TYPEMASK) == VT_R8) {
        double value = 0;
        if (FAILED(SafeArrayGetElement(a, &at, &value))) throw VbError(err::SubscriptOutOfRange);
        return value;
    }
    Variant item;
    if (FAILED(SafeArrayGetElement(a, &at, item.get()))) throw VbError(err::SubscriptOutOfRange);
    return numberOf(item);
}

// A one-dimensional array of one element of the given type.
Variant singleArray(VARTYPE type, const VARIANT& element) {
    SAFEARRAYBOUND bound{1, 0};
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreate(type, 1, &bound));
    if (!a.get()) throw VbError(err::OutOfMemory);
    LONG at = 0;
    HRESULT hr;
    if (type == VT_VARIANT)
        hr = SafeArrayPutElement(a.get(), &at, const_cast<VARIANT*>(&element));
    else {
        short value = V_I2(&element);
        hr = SafeArrayPutElement(a.get(), &at, &value);
    }
    if (FAILED(hr)) throw VbError(err::OutOfMemory);
    Variant v;
    V_VT(v.put()) = VT_ARRAY | type;
    V_ARRAY(v.get()) = a.detach();
    return v;
}

std::wstring descriptionOf(const VbError& e) {
    return e.description().empty() ? standardDescription(e.number()) : e.description();
}

// AutoCAD's main window comes to the front as AppActivate would bring it: by its title.
void activateByCaption(const std::wstring& caption) {
    HWND window = FindWindowW(nullptr, caption.c_str());
    if (!window) return;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}
}  // namespace

ComPtr<IDispatch> GetAutoCAD() {
    for (const wchar_t* progId : {L"AutoCAD.Application", L"AutoCAD.Application.14", L"AutoCAD.Application.15",
                                  L"AutoCAD.Application.16", L"AutoCAD.Application.17", L"AutoCAD.Application.18"})
        if (auto app = com::runningObject(progId)) return app;
    return {};
}

bool AcadWriter::ConnectAutoCAD() {
    application = findRunning(L"AutoCAD.Application");
    document.reset();
    if (application) {
        // AutoCAD may run with every drawing closed: without a document there is nothing to write
        // into, and the user is told as when AutoCAD is not running.
        try {
            document = com::getObject(application.get(), L"ActiveDocument");
        } catch (const VbError&) {
        }
    }
    if (!document) {
        window_.message(kAcadNotRunning);
        return false;
    }
    try {
        activateByCaption(com::asString(com::get(application.get(), L"Caption")));
    } catch (const VbError&) {
    }
    return true;
}

bool AcadWriter::TextStyleExists(const std::wstring& name) {
    rt::doEvents();
    auto styles = com::getObject(document.get(), L"TextStyles");
    const long count = longOf(com::get(styles.get(), L"Count"));
    for (long i = 0; i < count; ++i) {
        auto style = com::getObject(styles.get(), L"Item", {Variant::fromInt32(i)});
        // AutoCAD names its styles without regard to case: "arial" is the style ARIAL.
        if (rt::sameName(com::asString(com::get(style.get(), L"Name")), name)) return true;
    }
    return false;
}

void AcadWriter::MakeTextStyle(const std::wstring& name, const std::wstring& typeface) {
    try {
        auto styles = com::getObject(document.get(), L"TextStyles");
        auto style = com::getObject(styles.get(), L"Add", {Variant::fromString(name)});
        com::call(style.get(), L"SetFont",
                  {Variant::fromString(typeface), Variant::fromBool(false), Variant::fromBool(false),
                   Variant::fromInt32(0), Variant::fromInt32(0)});
    } catch (const VbError&) {
    }
}

ComPtr<IDispatch> AcadWriter::GetSelectionSet(const std::wstring& name) {
    auto sets = com::getObject(document.get(), L"SelectionSets");
    try {
        auto old = com::getObject(sets.get(), L"Item", {Variant::fromString(name)});
        com::call(old.get(), L"Delete");
    } catch (const VbError&) {
    }
    return com::getObject(sets.get(), L"Add", {Variant::fromString(name)});
}

ComPtr<IDispatch> AcadWriter::PickText(const std::wstring& prompt) {
    auto utility = com::getObject(document.get(), L"Utility");
    for (;;) {
        // errno keeps the code of an earlier miss until someone resets it; without the reset, an
        // Esc after a miss would read as another miss and the user could never leave the pick.
        try {
            com::call(document.get(), L"SetVariable", {Variant::fromString(L"errno"), Variant::fromInt16(0)});
        } catch (const VbError&) {
        }
        Variant entity, point;
        bool picked = true;
        try {
            com::call(utility.get(), L"GetEntity", {Arg::out(entity), Arg::out(point), Variant::fromString(kNewLine + prompt)});
        } catch (const VbError&) {
            picked = false;
        }
        ComPtr<IDispatch> object;
        std::wstring objectName;
        std::optional<int> errnoValue;
        if (picked) {
            object = com::asObject(entity);
            objectName = com::asString(com::get(object.get(), L"objectname"));
        } else {
            try {
                errnoValue = static_cast<int>(longOf(com::call(document.get(), L"GetVariable", {Variant::fromString(L"errno")})));
            } catch (const VbError&) {
            }
        }
        switch (afterPick(picked, objectName, errnoValue)) {
        case PickStep::Take: return object;
        case PickStep::NotAText:
            com::call(utility.get(), L"Prompt", {Variant::fromString(kNewLine + kNotAText)});
            break;
        case PickStep::AskAgain: break;
        case PickStep::End: return {};
        }
    }
}

void AcadWriter::errorPath(const std::wstring& description) {
    window_.restore();
    // The host may be gone by now (the failure may be that it went away): the message is then
    // lost, but the error path itself must end quietly.
    try {
        auto utility = com::getObject(document.get(), L"Utility");
        com::call(utility.get(), L"Prompt", {Variant::fromString(kNewLine + description)});
    } catch (const VbError&) {
    }
}

void AcadWriter::cbWrite_Click() {
    const std::wstring text = window_.chars();
    if (trimBlanks(text).empty()) {
        window_.message(kNothingToWrite);
        window_.focusChars();
        return;
    }
    if (!ConnectAutoCAD()) return;
    window_.minimize();
    try {
        const std::wstring name = window_.fontName();
        const WriteMode mode = window_.writeMode();
        if (mode == WriteMode::New) {
            std::optional<ExistingStyle> existing;
            if (TextStyleExists(name)) {
                auto styles = com::getObject(document.get(), L"TextStyles");
                auto style = com::getObject(styles.get(), L"Item", {Variant::fromString(name)});
                ExistingStyle found{com::asString(com::get(style.get(), L"fontFile")), {}};
                if (isTrueTypeFile(found.fontFile)) {
                    Variant typeface, bold, italic, charset, pitch;
                    com::call(style.get(), L"GetFont",
                              {Arg::out(typeface), Arg::out(bold), Arg::out(italic), Arg::out(charset), Arg::out(pitch)});
                    found.typeface = com::asString(typeface);
                }
                existing = found;
            }
            const StyleChoice choice = chooseTextStyle(name, existing);
            // Adding a style that is already there hands back the drawing's own style, and setting
            // its font would re-font every text written in it: only a missing style is made.
            if (choice.create && (!existing || !TextStyleExists(*choice.create))) MakeTextStyle(*choice.create, name);
            auto utility = com::getObject(document.get(), L"Utility");
            const Variant picked =
                com::call(utility.get(), L"GetPoint", {Arg::omitted(), Variant::fromString(kNewLine + kPointPrompt)});
            const Variant point = Variant::fromDoubles({pointElement(picked, 0), pointElement(picked, 1), 0.0});
            const double height = parseDouble(window_.heightText());
            auto modelSpace = com::getObject(document.get(), L"ModelSpace");
            auto added = com::getObject(modelSpace.get(), L"AddText",
                                        {Variant::fromString(text), point, Variant::fromDouble(height)});
            com::put(added.get(), L"StyleName", Variant::fromString(choice.styleName));
            com::put(added.get(), L"Alignment", Variant::fromInt32(kMiddleCenter));
            com::put(added.get(), L"TextAlignmentPoint", point);
            window_.restore();
        } else {
            auto selection = GetSelectionSet(kSelectionSetName);
            VARIANT code;
            V_VT(&code) = VT_I2;
            V_I2(&code) = 0;
            VARIANT filter;
            VariantInit(&filter);
            com::Bstr filterText(kTextFilter);
            V_VT(&filter) = VT_BSTR;
            V_BSTR(&filter) = filterText.get();
            com::call(selection.get(), L"SelectOnScreen", {singleArray(VT_I2, code), singleArray(VT_VARIANT, filter)});
            const long count = longOf(com::get(selection.get(), L"Count"));
            if (count != 0) {
                for (long i = 0; i < count; ++i) {
                    auto entity = com::getObject(selection.get(), L"Item", {Variant::fromInt32(i)});
                    const std::wstring old = com::asString(com::get(entity.get(), L"TextString"));
                    com::put(entity.get(), L"TextString",
                             Variant::fromString(mode == WriteMode::Back ? old + text : text + old));
                }
                window_.restore();
            }
        }
    } catch (const VbError& e) {
        errorPath(descriptionOf(e));
    }
}

void AcadWriter::takeFromPick(bool height) {
    if (!ConnectAutoCAD()) return;
    window_.minimize();
    try {
        auto entity = PickText(height ? kHeightPrompt : kContentPrompt);
        if (!entity) return;  // cancelled: the palette stays minimised
        if (height)
            window_.setHeightText(formatHeight(numberOf(com::get(entity.get(), L"Height"))));
        else
            window_.setChars(com::asString(com::get(entity.get(), L"TextString")));
        window_.restore();
    } catch (const VbError& e) {
        errorPath(descriptionOf(e));
    }
}

void AcadWriter::imgGetText_Click() { takeFromPick(true); }
void AcadWriter::cbGet_Click() { takeFromPick(false); }

void AcadWriter::release() {
    document.reset();
    application.reset();
}

}  // namespace kelva::palette
