' The demo's user at the stand-in's command line: a few points ready for the palette's write button
' (the stand-in answers every point pick from this queue; with it empty, a pick is cancelled).
Option Explicit
Dim sim, i
Set sim = CreateObject("AcadSim.Control")
For i = 0 To 9
  sim.QueuePoint 10 + 20 * i, 50
Next
WScript.Echo "queued " & sim.PendingInputs & " points"
