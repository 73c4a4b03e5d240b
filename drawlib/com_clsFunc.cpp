// clsFunc: the vtable implementation of _clsFunc, a stateless toolbox. Each member forwards to its
// implementation over the portable logic (drawlib/func_members.h) inside the interface's error frame.
#include "kelvasub/class_support.h"

#include "drawlib/func_members.h"
#include "drawlib/numeric.h"

namespace kelva::sub {
namespace {

namespace members = draw::members;

// Optional by-reference arguments arrive filled by the dispatcher; an early-bound caller may pass null.
double number(const double* p) { return p ? *p : 0.0; }
bool flag(const VARIANT_BOOL* p) { return p && *p != VARIANT_FALSE; }
IDispatch* object(IDispatch** p) { return p ? *p : nullptr; }

class ClsFunc final : public com::DualObject<ClsFunc, _clsFunc> {
public:
    // By-reference parameters the members write back, and the defaults of optional parameters.
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsFunc), {
            {L"RoundUp", {}, {{1, short{3}}}},
            {L"RoundDown", {}, {{1, short{3}}}},
            {L"SwapData", {0, 1}, {}},  // exchanges the caller's variables
            {L"SwapObj", {0, 1}, {}},   // exchanges the caller's references
            {L"SwapSort", {0}, {{1, true}, {2, short{1}}}},
            {L"RegionRULD", {0, 1}, {}},
            // The list, coordinate and array sorts work in place on the caller's data.
            {L"SortListZ", {0}, {}},
            {L"SortListN", {0}, {}},
            {L"SortListIN", {0}, {}},
            {L"SortListX", {0}, {}},
            {L"SortListY", {0}, {}},
            {L"SortCoordIX", {0}, {}},
            {L"SortCoordY", {0}, {}},
            {L"AlphanumSort", {0}, {}},
            {L"AlphanumSortMA", {0}, {}},
            {L"ReverseArray", {0}, {}},
            {L"ReverseArrayMA", {0}, {}},
            {L"FindFile", {}, {{1, std::wstring()}}},
            {L"LaunchBrowser", {}, {{1, long{3}}}},
            {L"DMS2DEG", {0}, {}},  // writes the text back
            {L"DEG2DMS", {}, {{1, short{2}}, {2, short{1}}}},
        });
        return table;
    }

    STDMETHODIMP Pi(double *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::pi(result); });
    }
    STDMETHODIMP GetQuadrant(double dAng, short *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::getQuadrant(dAng, result); });
    }
    STDMETHODIMP GetOffsetPoint(VARIANT vIns, double dAng, double dOffset, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::getOffsetPoint(vIns, dAng, dOffset, result); });
    }
    STDMETHODIMP GetOffsetPointLR(VARIANT vIns, double dAng, double dOffset, VARIANT_BOOL bLeft, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::getOffsetPointLR(vIns, dAng, dOffset, bLeft, result); });
    }
    STDMETHODIMP IsEqual(VARIANT dValue1, VARIANT dValue2, VARIANT dTol, VARIANT_BOOL *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::isEqual(dValue1, dValue2, dTol, result); });
    }
    STDMETHODIMP Length(VARIANT vSpnt, VARIANT vEpnt, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::length(vSpnt, vEpnt, result); });
    }
    STDMETHODIMP Length2D(VARIANT vSpnt, VARIANT vEpnt, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::length2D(vSpnt, vEpnt, result); });
    }
    STDMETHODIMP ClockWise(VARIANT vSpnt, VARIANT vEpnt, VARIANT vNpnt, short *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::clockWise(vSpnt, vEpnt, vNpnt, result); });
    }
    STDMETHODIMP GetEncloseAng(VARIANT vSpnt, VARIANT vIpnt, VARIANT vEpnt, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::getEncloseAng(vSpnt, vIpnt, vEpnt, result); });
    }
    STDMETHODIMP REPT(BSTR sNumber, short iNum, BSTR *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::rept(sNumber, iNum, result); });
    }
    STDMETHODIMP ExMod(double dValue, double dDivide, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = draw::exMod(dValue, dDivide); });
    }
    STDMETHODIMP RoundUp(double dValue, short *iPlace, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = draw::roundUp(dValue, iPlace ? *iPlace : 3); });
    }
    STDMETHODIMP RoundDown(double dValue, short iPlace, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = draw::roundDown(dValue, iPlace); });
    }
    STDMETHODIMP FixByNumber(double dNumber, double dFix, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = draw::fixByNumber(dNumber, dFix); });
    }
    STDMETHODIMP MultipleNumber(double dNumber, double dMultiple, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = draw::multipleNumber(dNumber, dMultiple); });
    }
    STDMETHODIMP PortionNumber(double dValue, double dDivide, short *iRound, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::portionNumber(dValue, dDivide, iRound ? *iRound : 0)); });
    }
    STDMETHODIMP R2D(double dRadian, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = draw::radToDeg(dRadian); });
    }
    STDMETHODIMP D2R(double dDegree, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = draw::degToRad(dDegree); });
    }
    STDMETHODIMP SwapData(VARIANT *vFirst, VARIANT *vSecond, VARIANT *result) override {
        if (!vFirst || !vSecond) return E_POINTER;
        return run([&] { members::swapData(vFirst, vSecond); });
    }
    STDMETHODIMP SwapObj(IDispatch **oFirst, IDispatch **oSecond, VARIANT *result) override {
        return run([&] { members::swapObj(oFirst, oSecond); });
    }
    STDMETHODIMP SwapSort(SAFEARRAY **sArray, VARIANT_BOOL bCaps, short Direction, VARIANT *result) override {
        return run([&] { members::swapSort(sArray, bCaps, Direction); });
    }
    STDMETHODIMP SortTextX(IDispatch **oSel, VARIANT_BOOL *bReverse, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortText(object(oSel), members::TextSort::X, flag(bReverse), 0, number(dTWAng)); });
    }
    STDMETHODIMP SortTextY(IDispatch **oSel, VARIANT_BOOL *bReverse, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortText(object(oSel), members::TextSort::Y, flag(bReverse), 0, number(dTWAng)); });
    }
    STDMETHODIMP SortTextYX(IDispatch **oSel, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortText(object(oSel), members::TextSort::YX, false, 0, number(dTWAng)); });
    }
    STDMETHODIMP SortTextXY(IDispatch **oSel, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortText(object(oSel), members::TextSort::XY, false, 0, number(dTWAng)); });
    }
    STDMETHODIMP SortTextTable(IDispatch **oSel, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortText(object(oSel), members::TextSort::Table, false, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortTextZ(IDispatch **oSel, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortText(object(oSel), members::TextSort::Z, false, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortAlphanumSel(IDispatch **oSel, VARIANT_BOOL *bDesc, VARIANT *result) override {
        return run([&] { members::sortAlphanumSel(object(oSel), flag(bDesc)); });
    }
    STDMETHODIMP RegionRULD(VARIANT *vFirst, VARIANT *vSecond, VARIANT *result) override {
        return run([&] { members::regionRULD(vFirst, vSecond); });
    }
    STDMETHODIMP SortListZ(VARIANT *vList, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortList(vList, members::ListSort::Z, false, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortListN(VARIANT *vList, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortList(vList, members::ListSort::N, false, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortListIN(VARIANT *vList, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortList(vList, members::ListSort::IN_, false, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortListX(VARIANT *vList, VARIANT_BOOL *bReverse, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortList(vList, members::ListSort::X, flag(bReverse), 0, number(dTWAng)); });
    }
    STDMETHODIMP SortListY(VARIANT *vList, VARIANT_BOOL *bReverse, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortList(vList, members::ListSort::Y, flag(bReverse), 0, number(dTWAng)); });
    }
    STDMETHODIMP SortSelZ(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortSel(object(SelSet), members::SelSort::Z, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortSelZ_R(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortSel(object(SelSet), members::SelSort::Z_R, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortSelIZ_R(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortSel(object(SelSet), members::SelSort::IZ_R, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortSelN_R(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortSel(object(SelSet), members::SelSort::N_R, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortSelIN_R(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortSel(object(SelSet), members::SelSort::IN_R, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortSelIZ(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortSel(object(SelSet), members::SelSort::IZ, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortSelN(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortSel(object(SelSet), members::SelSort::N, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortSelIN(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override {
        return run([&] { members::sortSel(object(SelSet), members::SelSort::IN_, number(dTol), number(dTWAng)); });
    }
    STDMETHODIMP SortCoordIX(VARIANT *vList, VARIANT *result) override {
        return run([&] { members::sortList(vList, members::ListSort::CoordIX, false, 0, 0); });
    }
    STDMETHODIMP SortCoordY(VARIANT *vList, VARIANT *result) override {
        return run([&] { members::sortList(vList, members::ListSort::CoordY, false, 0, 0); });
    }
    STDMETHODIMP GetRelativePath(BSTR sFromPath, BSTR sTargetPath, BSTR *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::getRelativePath(sFromPath, sTargetPath, result); });
    }
    STDMETHODIMP GetAbsolutePath(BSTR sBasePath, BSTR sConvertPath, BSTR *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::getAbsolutePath(sBasePath, sConvertPath, result); });
    }
    STDMETHODIMP FindFile(BSTR sFileName, BSTR *sPath, BSTR *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::findFile(sFileName, sPath ? *sPath : nullptr, result); });
    }
    STDMETHODIMP GetAzi(VARIANT vPnt1, VARIANT vPnt2, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::getAzi(vPnt1, vPnt2, result); });
    }
    STDMETHODIMP GetNumber(BSTR sText, BSTR *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::getNumber(sText, result); });
    }
    STDMETHODIMP StrToPnt(BSTR sCoord, BSTR sDelim, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::strToPnt(sCoord, sDelim, result); });
    }
    STDMETHODIMP GetAngleUnit(double dDeg, short iUnit, BSTR *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::getAngleUnit(dDeg, iUnit, result); });
    }
    STDMETHODIMP LaunchBrowser(BSTR *sURL, LONG *State) override {
        return run([&] { members::launchBrowser(sURL ? *sURL : nullptr, State ? *State : 3); });
    }
    STDMETHODIMP PointRotateByBase(VARIANT *vBase, VARIANT *vPoint, double *dTheta, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::pointRotateByBase(vBase, vPoint, number(dTheta), result); });
    }
    STDMETHODIMP AlphanumSort(SAFEARRAY **sArray, VARIANT_BOOL bSortDesc = 0) override {
        return run([&] { members::alphanumSort(sArray, bSortDesc); });
    }
    STDMETHODIMP AlphanumSortMA(SAFEARRAY **sArray, unsigned char btColumn, VARIANT_BOOL bSortDesc = 0, LONG iMin = 0, LONG iMax = 0) override {
        return run([&] { members::alphanumSortMA(sArray, btColumn, bSortDesc, iMin, iMax); });
    }
    STDMETHODIMP ReverseArray(SAFEARRAY **sArray) override {
        return run([&] { members::reverseArray(sArray); });
    }
    STDMETHODIMP ReverseArrayMA(SAFEARRAY **sArray) override {
        return run([&] { members::reverseArrayMA(sArray); });
    }
    STDMETHODIMP DMS2DEG(BSTR *DMS, double *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::dms2deg(DMS, result); });
    }
    STDMETHODIMP DEG2DMS(double *dDegree, short *iDecimal, short *iOpt, BSTR *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::deg2dms(number(dDegree), iDecimal ? *iDecimal : 2, iOpt ? *iOpt : 1, result); });
    }
    STDMETHODIMP IsNumber(BSTR sNumber, VARIANT_BOOL *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::isNumber(sNumber, result); });
    }
    STDMETHODIMP RemoveNull(BSTR sValue, BSTR *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::removeNull(sValue, result); });
    }

private:
    friend class com::RefCounted<ClsFunc>;
    ~ClsFunc() = default;
};

}  // namespace

HRESULT createClsFunc(REFIID iid, void** out) { return ClsFunc::create(iid, out); }

}  // namespace kelva::sub
