#include "layers.h"

#include <cmath>

#include "core/errors.h"
#include "core/values.h"
#include "pubtext.h"

namespace kelva::pub {

std::wstring layerStateText(LayerView& layer, bool bFirst) {
    std::wstring text;
    if (layer.freeze())
        text = layer.name() + L" 레이어는 동결되어 있습니다  ";
    else if (!layer.layerOn())
        text = layer.name() + L" 레이어는 꺼져 있습니다  ";
    else if (layer.lock())
        text = layer.name() + L" 레이어는 잠겨 있습니다  ";
    if (bFirst && !text.empty()) {
        text = L"이전 실행시 설정되었던 레이어가  \r\n"
               L"동결, 잠금, 또는 꺼져 있어       \r\n"
               L"레이어 0 으로 설정됩니다         ";
    }
    return text;
}

std::wstring layerQuestionText(std::wstring_view sLayer) {
    std::wstring text(sLayer);
    text += L" 도면층이 동결되었거나 꺼져있습니다  \r\n\r\n\r\n"
            L"'다시시도'를 누르면 도면층을 켜고\r\n"
            L"'취소'를 누르면 명령을 종료합니다";
    return text;
}

bool layerMessage(LayerView& layer, std::wstring_view sLayer, RetryQuestion& question) {
    if (!layer.freeze() && layer.layerOn()) return true;
    if (!question.askRetry(layerQuestionText(sLayer))) return false;
    layer.setFreeze(false);
    layer.setLayerOn(true);
    return true;
}

namespace {
int coordinatesPerVertex(std::wstring_view objectName) {
    if (equalsIgnoringCase(objectName, L"AcDbPolyline")) return 2;
    if (equalsIgnoringCase(objectName, L"AcDb2dPolyline") || equalsIgnoringCase(objectName, L"AcDb3dPolyline"))
        return 3;
    return 0;
}
}  // namespace

bool coordCountNeedsCoordinates(std::wstring_view objectName) { return coordinatesPerVertex(objectName) != 0; }

std::int16_t coordCount(std::wstring_view objectName, std::int32_t coordinatesUBound) {
    const int per = coordinatesPerVertex(objectName);
    if (per == 0) return 0;
    return toInt16((static_cast<double>(coordinatesUBound) - 1.0) / per);
}

double radiusFromBulge(double bulge, double chord) {
    const double s = std::sin(2.0 * std::atan(bulge));
    if (s == 0.0) raise(err::DivisionByZero);
    const double r = std::fabs((chord / 2.0) / s);
    if (!std::isfinite(r)) raise(err::Overflow);
    return r;
}

std::wstring lispEntityExpression(std::wstring_view handle) {
    std::wstring s = L"(handent \"";
    s += handle;
    s += L"\")";
    return s;
}

}  // namespace kelva::pub
