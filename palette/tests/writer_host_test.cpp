// The write routines when AutoCAD goes away in the middle of an operation: the error path's own
// write to the command line fails too, and must not escape the click.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "com/latebound.h"
#include "com/object.h"
#include "palette/win/acad_writer.h"

using namespace kelva;
using namespace kelva::palette;
using com::ComPtr;

namespace {

constexpr HRESULT kServerGone = static_cast<HRESULT>(0x800706BA);  // RPC server unavailable

// An automation object with members given by name; every member not given fails as a dead server.
class ScriptedObject final : public com::Object<ScriptedObject, IDispatch> {
public:
    using Member = std::function<HRESULT(VARIANT* result)>;
    std::vector<std::pair<std::wstring, Member>> members;
    std::vector<std::wstring> calls;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        const std::wstring name(names[0]);
        for (std::size_t i = 0; i < members.size(); ++i)
            if (_wcsicmp(members[i].first.c_str(), name.c_str()) == 0) {
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        members.emplace_back(name, nullptr);
        ids[0] = static_cast<DISPID>(members.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
        auto& m = members.at(static_cast<std::size_t>(id - 1));
        calls.push_back(m.first);
        return m.second ? m.second(result) : kServerGone;
    }
};

class FakeWindow : public WriterWindow {
public:
    std::wstring log;
    std::wstring chars() override { return L"㎡"; }
    void setChars(const std::wstring&) override {}
    void focusChars() override {}
    std::wstring fontName() override { return L"Arial"; }
    std::wstring heightText() override { return L"3"; }
    void setHeightText(const std::wstring&) override {}
    WriteMode writeMode() override { return WriteMode::New; }
    void minimize() override { log += L"min;"; }
    void restore() override { log += L"restore;"; }
    void message(const std::wstring& t) override { log += L"message;"; }
};

}  // namespace

TEST(WriterHostGone, TheErrorPathEndsQuietlyWhenTheCommandLineIsGoneToo) {
    const auto app = ComPtr<ScriptedObject>::attach(new ScriptedObject());
    const auto doc = ComPtr<ScriptedObject>::attach(new ScriptedObject());
    app->members.emplace_back(L"ActiveDocument", [&](VARIANT* r) {
        V_VT(r) = VT_DISPATCH;
        V_DISPATCH(r) = doc.get();
        doc->AddRef();
        return S_OK;
    });
    app->members.emplace_back(L"Caption", [](VARIANT* r) {
        V_VT(r) = VT_BSTR;
        V_BSTR(r) = SysAllocString(L"no such window");
        return S_OK;
    });
    FakeWindow window;
    AcadWriter writer(window);
    writer.findRunning = [&](const wchar_t*) { return ComPtr<IDispatch>(app.get()); };
    EXPECT_NO_THROW(writer.cbWrite_Click());
    EXPECT_NO_THROW(writer.cbGet_Click());
    EXPECT_EQ(window.log, L"min;restore;min;restore;");
    // The command line was tried: the description had somewhere to go until the host went.
    EXPECT_NE(std::find(doc->calls.begin(), doc->calls.end(), L"Utility"), doc->calls.end());
    writer.release();
    EXPECT_EQ(app->references(), 1u) << "the writer keeps no reference after release";
    EXPECT_EQ(doc->references(), 1u);
}
