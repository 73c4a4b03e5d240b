#pragma once
// Layer texts and the layer question of clsPub, and the small polyline and handle helpers beside
// them. AutoCAD objects are reached through small abstract views so that the rules are tested
// without AutoCAD; every failure of a view passes through to the caller.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelva::pub {

// A layer as the layer members read and change it; properties are read only when needed and in
// the order frozen, on, locked.
class LayerView {
public:
    virtual ~LayerView() = default;
    virtual std::wstring name() = 0;
    virtual bool freeze() = 0;
    virtual bool layerOn() = 0;
    virtual bool lock() = 0;
    virtual void setFreeze(bool value) = 0;
    virtual void setLayerOn(bool value) = 0;
};

// The Korean text of a layer's first unusable state (frozen, off, locked), empty when none; with
// bFirst the three-line notice that the remembered layer gives way to layer 0.
std::wstring layerStateText(LayerView& layer, bool bFirst);

// The Retry/Cancel question of LayerMessage. The box is a seam: the COM class shows a real
// message box, tests answer it.
class RetryQuestion {
public:
    virtual ~RetryQuestion() = default;
    virtual bool askRetry(const std::wstring& text) = 0;  // true for Retry
};

std::wstring layerQuestionText(std::wstring_view sLayer);

// Asks about a frozen or switched-off layer; Retry thaws it and turns it on. A layer that is
// neither (a locked one too) answers true without a question.
bool layerMessage(LayerView& layer, std::wstring_view sLayer, RetryQuestion& question);

// The index of a polyline's last vertex from its ObjectName and the upper bound of its
// Coordinates array; 0 for other objects (whose coordinates are then not needed).
bool coordCountNeedsCoordinates(std::wstring_view objectName);
std::int16_t coordCount(std::wstring_view objectName, std::int32_t coordinatesUBound);

// Radius of a polyline arc segment with the given bulge and chord length; a bulge of 0 raises
// division by zero, a result beyond Double raises overflow.
double radiusFromBulge(double bulge, double chord);

// The AutoLISP expression that finds an entity by its handle.
std::wstring lispEntityExpression(std::wstring_view handle);

}  // namespace kelva::pub
