' Helpers for scenarios that drive the AutoCAD stand-in (acadsim.exe, started by the "acadsim" ctest
' fixture). Wine's VBScript has no GetObject(, ProgID): CreateObject attaches to the running stand-in,
' which registered its class objects. Include after assert.vbs:   '#include "acadsim.vbs"
'   AcadAttach                  gSim (control), gAcad (application), gDoc (document), gMs (model space),
'                               gUtil (utility); the drawing, input queue, failures and log start empty
'   Pt(x, y, z)                 a point for AutoCAD's methods
'   PtText(v)                   "x,y,z" of a point or coordinate array AutoCAD returned (VBScript cannot
'                               index an array of doubles a server returns); PtX/PtY/PtZ one coordinate
'   AddLine / AddText / AddCircle  build a drawing as a macro would
' Scripting the user (answers are consumed in order; an empty queue cancels):
'   gSim.QueuePick entity, x, y [, z]   gSim.QueuePoint x, y [, z]   gSim.QueueSelection "2F,30"
'   gSim.QueueMiss (errno 7)   gSim.QueueCancel   gSim.QueueFailure [hresult [, errno]]
' Injected refusals: gSim.InjectFailure "Delete"|"Move"|"Layer"|"AddItems"|"RemoveItems" [, hresult [, times]]
' Watching: gSim.CommandLine, gSim.LastPrompt, gSim.SentCommands, gSim.Dump, gSim.EntityCount
Dim gSim, gAcad, gDoc, gMs, gUtil

Sub AcadAttach()
  Set gSim = CreateObject("AcadSim.Control")
  gSim.Reset
  Set gAcad = CreateObject("AutoCAD.Application")
  Set gDoc = gAcad.ActiveDocument
  Set gMs = gDoc.ModelSpace
  Set gUtil = gDoc.Utility
End Sub

Function Pt(x, y, z)
  Pt = Array(CDbl(x), CDbl(y), CDbl(z))
End Function

Function PtText(v)
  PtText = gSim.ArrayText(v)
End Function

Function PtX(v)
  PtX = gSim.Element(v, 0)
End Function

Function PtY(v)
  PtY = gSim.Element(v, 1)
End Function

Function PtZ(v)
  PtZ = gSim.Element(v, 2)
End Function

Function AddLine(x1, y1, x2, y2)
  Set AddLine = gMs.AddLine(Pt(x1, y1, 0), Pt(x2, y2, 0))
End Function

Function AddText(s, x, y, h)
  Set AddText = gMs.AddText(s, Pt(x, y, 0), h)
End Function

Function AddCircle(x, y, r)
  Set AddCircle = gMs.AddCircle(Pt(x, y, 0), r)
End Function
