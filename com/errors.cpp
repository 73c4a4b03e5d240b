#include "errors.h"

#include "com_ptr.h"
#include "values.h"

namespace kelva::com {

HRESULT reportError(const VbError& e, REFIID iid) noexcept {
    const HRESULT hr = static_cast<HRESULT>(errorToHresult(e.number()));
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
        create->SetGUID(iid);
        create->SetDescription(const_cast<LPOLESTR>(e.description().c_str()));
        create->SetSource(const_cast<LPOLESTR>(e.source().c_str()));
        if (auto info = create.query<IErrorInfo>()) SetErrorInfo(0, info.get());
    }
    return hr;
}

std::wstring systemMessage(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text;
    if (n && buffer) {
        text.assign(buffer, n);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    }
    LocalFree(buffer);
    return text;
}

namespace {
std::wstring textFor(std::int32_t number, HRESULT hr) {
    std::wstring text = standardDescription(number);
    if (text.empty()) text = systemMessage(hr);
    return text;
}

struct ThreadErrorInfo {
    std::wstring description, source;
    bool present = false;
};

ThreadErrorInfo takeThreadErrorInfo() {
    ThreadErrorInfo out;
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) == S_OK && info) {
        Bstr d, s;
        info->GetDescription(d.put());
        info->GetSource(s.put());
        out.description = d.str();
        out.source = s.str();
        out.present = true;
    }
    return out;
}
}  // namespace

VbError errorFromCall(HRESULT hr, EXCEPINFO* info) {
    if (hr == DISP_E_EXCEPTION && info) {
        if (info->pfnDeferredFillIn) {
            info->pfnDeferredFillIn(info);
            info->pfnDeferredFillIn = nullptr;
        }
        std::int32_t number;
        if (info->scode != 0)
            number = hresultToError(info->scode);
        else if (info->wCode != 0)
            number = info->wCode;
        else
            number = hresultToError(hr);
        std::wstring description = toWString(info->bstrDescription);
        std::wstring source = toWString(info->bstrSource);
        SysFreeString(std::exchange(info->bstrDescription, nullptr));
        SysFreeString(std::exchange(info->bstrSource, nullptr));
        SysFreeString(std::exchange(info->bstrHelpFile, nullptr));
        if (description.empty()) description = textFor(number, errorToHresult(number));
        return VbError(number, std::move(description), std::move(source));
    }
    const std::int32_t number = hresultToError(hr);
    ThreadErrorInfo thread = takeThreadErrorInfo();
    std::wstring description = thread.description.empty() ? textFor(number, hr) : thread.description;
    return VbError(number, std::move(description), std::move(thread.source));
}

void fillExcepInfo(HRESULT hr, EXCEPINFO* info) noexcept {
    ThreadErrorInfo thread;
    try {
        thread = takeThreadErrorInfo();
    } catch (...) {
    }
    if (!info) return;
    *info = EXCEPINFO{};
    info->scode = hr;
    try {
        std::wstring description = thread.description;
        if (description.empty()) description = textFor(hresultToError(hr), hr);
        info->bstrDescription = Bstr(description).detach();
        info->bstrSource = Bstr(thread.source).detach();
    } catch (...) {
    }
}

}  // namespace kelva::com
