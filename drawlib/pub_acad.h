#pragma once
// AutoCAD objects, reached late-bound by member name, seen through the abstract views of the pick
// loop, the layer members and the duplicate removal. Windows builds only.
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "com/latebound.h"
#include "com/values.h"
#include "drawlib/dedupe.h"
#include "drawlib/layers.h"
#include "drawlib/pick.h"

namespace kelva::pub {

// The numbers of a point or coordinate array (any numeric element type, or Variants holding
// numbers); anything else is a type mismatch.
std::vector<double> doublesOf(const com::Variant& v);
double doubleOf(const com::Variant& v);
bool boolOf(const com::Variant& v);
std::int32_t longOf(const com::Variant& v);

// The name the object's type information gives its automation interface ("IAcadLine").
std::wstring automationTypeName(IDispatch* object);


class AcadPickHost final : public PickHost {
public:
    // `keepPoint` receives the pick point of an accepted pick.
    AcadPickHost(IDispatch* document, std::function<void(const com::Variant&)> keepPoint);

    void clearErrno() override;
    void pick(PickCall call, const std::wstring& prompt) override;
    std::int32_t readErrno() override;
    std::wstring typeName(TypeTest test) override;
    void writePrompt(const std::wstring& text) override;
    void keepPickPoint() override;

    com::ComPtr<IDispatch> entity() const { return entity_; }

private:
    com::ComPtr<IDispatch> document_;
    std::function<void(const com::Variant&)> keepPoint_;
    com::ComPtr<IDispatch> entity_;
    com::Variant point_;
};

class AcadLayer final : public LayerView {
public:
    explicit AcadLayer(com::ComPtr<IDispatch> layer) : layer_(std::move(layer)) {}
    std::wstring name() override;
    bool freeze() override;
    bool layerOn() override;
    bool lock() override;
    void setFreeze(bool value) override;
    void setLayerOn(bool value) override;

private:
    com::ComPtr<IDispatch> layer_;
};

class AcadEntity final : public SelectedEntity {
public:
    explicit AcadEntity(com::ComPtr<IDispatch> entity) : entity_(std::move(entity)) {}
    std::wstring text(Prop p) override;
    double number(Prop p) override;
    bool flag(Prop p) override;
    std::vector<double> numbers(Prop p) override;
    std::vector<double> coordinate(int index) override;
    std::pair<std::vector<double>, std::vector<double>> boundingBox() override;
    std::vector<AttributeText> attributes() override;
    void erase() override;
    void moveToLayer(const std::wstring& layer) override;

private:
    com::Variant read(Prop p);
    com::ComPtr<IDispatch> entity_;
};

class AcadSelection final : public SelectionView {
public:
    explicit AcadSelection(com::ComPtr<IDispatch> selection) : selection_(std::move(selection)) {}
    std::int32_t count() override;
    std::unique_ptr<SelectedEntity> item(std::int32_t index) override;

private:
    com::ComPtr<IDispatch> selection_;
};

// ----- the members of clsPub over a drawing document (all late-bound)

// A picker member: the picked entity, or nothing for a pick the user ended without a cancel;
// throws the cancel error otherwise. `keepPoint` receives the pick point of an accepted entity.
com::ComPtr<IDispatch> pickEntity(IDispatch* drawing, const PickerSpec& spec,
                                  const std::function<void(const com::Variant&)>& keepPoint);

bool checkLayer(IDispatch* drawing, std::wstring_view layerName);
std::wstring layerState(IDispatch* layer, bool bFirst);
bool askAboutLayer(IDispatch* drawing, std::wstring_view sLayer, RetryQuestion& question);
// Never fails: a missing set is no failure, a refused Add gives nothing.
com::ComPtr<IDispatch> createSelectionSet(IDispatch* drawing, std::wstring_view name);
std::int16_t lastVertexIndex(IDispatch* polyline);
std::wstring lispEntity(IDispatch* object);

// The Retry/Cancel box of LayerMessage as the user sees it, owned by the active window.
class MessageBoxQuestion final : public RetryQuestion {
public:
    explicit MessageBoxQuestion(std::wstring caption) : caption_(std::move(caption)) {}
    bool askRetry(const std::wstring& text) override;

private:
    std::wstring caption_;
};

std::int32_t deleteDuplicateEntities(IDispatch* selection, const DedupeRequest& request,
                                     const std::function<void()>& yieldToInput);

}  // namespace kelva::pub
