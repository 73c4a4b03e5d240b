// clsFunc: the vtable implementation of _clsFunc. Members answer error 445 through pending() until
// their implementation lands; replace one member at a time (see kelvasub/class_support.h).
#include "kelvasub/class_support.h"

namespace kelva::sub {
namespace {

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

    STDMETHODIMP Pi(double *result) override { return pending(IID__clsFunc, L"clsFunc.Pi"); }
    STDMETHODIMP GetQuadrant(double dAng, short *result) override { return pending(IID__clsFunc, L"clsFunc.GetQuadrant"); }
    STDMETHODIMP GetOffsetPoint(VARIANT vIns, double dAng, double dOffset, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.GetOffsetPoint"); }
    STDMETHODIMP GetOffsetPointLR(VARIANT vIns, double dAng, double dOffset, VARIANT_BOOL bLeft, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.GetOffsetPointLR"); }
    STDMETHODIMP IsEqual(VARIANT dValue1, VARIANT dValue2, VARIANT dTol, VARIANT_BOOL *result) override { return pending(IID__clsFunc, L"clsFunc.IsEqual"); }
    STDMETHODIMP Length(VARIANT vSpnt, VARIANT vEpnt, double *result) override { return pending(IID__clsFunc, L"clsFunc.Length"); }
    STDMETHODIMP Length2D(VARIANT vSpnt, VARIANT vEpnt, double *result) override { return pending(IID__clsFunc, L"clsFunc.Length2D"); }
    STDMETHODIMP ClockWise(VARIANT vSpnt, VARIANT vEpnt, VARIANT vNpnt, short *result) override { return pending(IID__clsFunc, L"clsFunc.ClockWise"); }
    STDMETHODIMP GetEncloseAng(VARIANT vSpnt, VARIANT vIpnt, VARIANT vEpnt, double *result) override { return pending(IID__clsFunc, L"clsFunc.GetEncloseAng"); }
    STDMETHODIMP REPT(BSTR sNumber, short iNum, BSTR *result) override { return pending(IID__clsFunc, L"clsFunc.REPT"); }
    STDMETHODIMP ExMod(double dValue, double dDivide, double *result) override { return pending(IID__clsFunc, L"clsFunc.ExMod"); }
    STDMETHODIMP RoundUp(double dValue, short *iPlace, double *result) override { return pending(IID__clsFunc, L"clsFunc.RoundUp"); }
    STDMETHODIMP RoundDown(double dValue, short iPlace, double *result) override { return pending(IID__clsFunc, L"clsFunc.RoundDown"); }
    STDMETHODIMP FixByNumber(double dNumber, double dFix, double *result) override { return pending(IID__clsFunc, L"clsFunc.FixByNumber"); }
    STDMETHODIMP MultipleNumber(double dNumber, double dMultiple, double *result) override { return pending(IID__clsFunc, L"clsFunc.MultipleNumber"); }
    STDMETHODIMP PortionNumber(double dValue, double dDivide, short *iRound, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.PortionNumber"); }
    STDMETHODIMP R2D(double dRadian, double *result) override { return pending(IID__clsFunc, L"clsFunc.R2D"); }
    STDMETHODIMP D2R(double dDegree, double *result) override { return pending(IID__clsFunc, L"clsFunc.D2R"); }
    STDMETHODIMP SwapData(VARIANT *vFirst, VARIANT *vSecond, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SwapData"); }
    STDMETHODIMP SwapObj(IDispatch **oFirst, IDispatch **oSecond, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SwapObj"); }
    STDMETHODIMP SwapSort(SAFEARRAY **sArray, VARIANT_BOOL bCaps, short Direction, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SwapSort"); }
    STDMETHODIMP SortTextX(IDispatch **oSel, VARIANT_BOOL *bReverse, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortTextX"); }
    STDMETHODIMP SortTextY(IDispatch **oSel, VARIANT_BOOL *bReverse, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortTextY"); }
    STDMETHODIMP SortTextYX(IDispatch **oSel, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortTextYX"); }
    STDMETHODIMP SortTextXY(IDispatch **oSel, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortTextXY"); }
    STDMETHODIMP SortTextTable(IDispatch **oSel, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortTextTable"); }
    STDMETHODIMP SortTextZ(IDispatch **oSel, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortTextZ"); }
    STDMETHODIMP SortAlphanumSel(IDispatch **oSel, VARIANT_BOOL *bDesc, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortAlphanumSel"); }
    STDMETHODIMP RegionRULD(VARIANT *vFirst, VARIANT *vSecond, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.RegionRULD"); }
    STDMETHODIMP SortListZ(VARIANT *vList, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortListZ"); }
    STDMETHODIMP SortListN(VARIANT *vList, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortListN"); }
    STDMETHODIMP SortListIN(VARIANT *vList, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortListIN"); }
    STDMETHODIMP SortListX(VARIANT *vList, VARIANT_BOOL *bReverse, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortListX"); }
    STDMETHODIMP SortListY(VARIANT *vList, VARIANT_BOOL *bReverse, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortListY"); }
    STDMETHODIMP SortSelZ(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortSelZ"); }
    STDMETHODIMP SortSelZ_R(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortSelZ_R"); }
    STDMETHODIMP SortSelIZ_R(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortSelIZ_R"); }
    STDMETHODIMP SortSelN_R(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortSelN_R"); }
    STDMETHODIMP SortSelIN_R(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortSelIN_R"); }
    STDMETHODIMP SortSelIZ(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortSelIZ"); }
    STDMETHODIMP SortSelN(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortSelN"); }
    STDMETHODIMP SortSelIN(IDispatch **SelSet, double *dTol, double *dTWAng, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortSelIN"); }
    STDMETHODIMP SortCoordIX(VARIANT *vList, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortCoordIX"); }
    STDMETHODIMP SortCoordY(VARIANT *vList, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.SortCoordY"); }
    STDMETHODIMP GetRelativePath(BSTR sFromPath, BSTR sTargetPath, BSTR *result) override { return pending(IID__clsFunc, L"clsFunc.GetRelativePath"); }
    STDMETHODIMP GetAbsolutePath(BSTR sBasePath, BSTR sConvertPath, BSTR *result) override { return pending(IID__clsFunc, L"clsFunc.GetAbsolutePath"); }
    STDMETHODIMP FindFile(BSTR sFileName, BSTR *sPath, BSTR *result) override { return pending(IID__clsFunc, L"clsFunc.FindFile"); }
    STDMETHODIMP GetAzi(VARIANT vPnt1, VARIANT vPnt2, double *result) override { return pending(IID__clsFunc, L"clsFunc.GetAzi"); }
    STDMETHODIMP GetNumber(BSTR sText, BSTR *result) override { return pending(IID__clsFunc, L"clsFunc.GetNumber"); }
    STDMETHODIMP StrToPnt(BSTR sCoord, BSTR sDelim, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.StrToPnt"); }
    STDMETHODIMP GetAngleUnit(double dDeg, short iUnit, BSTR *result) override { return pending(IID__clsFunc, L"clsFunc.GetAngleUnit"); }
    STDMETHODIMP LaunchBrowser(BSTR *sURL, LONG *State) override { return pending(IID__clsFunc, L"clsFunc.LaunchBrowser"); }
    STDMETHODIMP PointRotateByBase(VARIANT *vBase, VARIANT *vPoint, double *dTheta, VARIANT *result) override { return pending(IID__clsFunc, L"clsFunc.PointRotateByBase"); }
    STDMETHODIMP AlphanumSort(SAFEARRAY **sArray, VARIANT_BOOL bSortDesc = 0) override { return pending(IID__clsFunc, L"clsFunc.AlphanumSort"); }
    STDMETHODIMP AlphanumSortMA(SAFEARRAY **sArray, unsigned char btColumn, VARIANT_BOOL bSortDesc = 0, LONG iMin = 0, LONG iMax = 0) override { return pending(IID__clsFunc, L"clsFunc.AlphanumSortMA"); }
    STDMETHODIMP ReverseArray(SAFEARRAY **sArray) override { return pending(IID__clsFunc, L"clsFunc.ReverseArray"); }
    STDMETHODIMP ReverseArrayMA(SAFEARRAY **sArray) override { return pending(IID__clsFunc, L"clsFunc.ReverseArrayMA"); }
    STDMETHODIMP DMS2DEG(BSTR *DMS, double *result) override { return pending(IID__clsFunc, L"clsFunc.DMS2DEG"); }
    STDMETHODIMP DEG2DMS(double *dDegree, short *iDecimal, short *iOpt, BSTR *result) override { return pending(IID__clsFunc, L"clsFunc.DEG2DMS"); }
    STDMETHODIMP IsNumber(BSTR sNumber, VARIANT_BOOL *result) override { return pending(IID__clsFunc, L"clsFunc.IsNumber"); }
    STDMETHODIMP RemoveNull(BSTR sValue, BSTR *result) override { return pending(IID__clsFunc, L"clsFunc.RemoveNull"); }

private:
    friend class com::RefCounted<ClsFunc>;
    ~ClsFunc() = default;
};

}  // namespace

HRESULT createClsFunc(REFIID iid, void** out) { return ClsFunc::create(iid, out); }

}  // namespace kelva::sub
