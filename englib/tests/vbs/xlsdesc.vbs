' Writes the description of a sheet that xlrd_check.py compares with what xlrd reads from it.
' Quotes are written as ' and turned into " on saving, which keeps the scenario texts readable.
Sub SaveSheetDescription(folder, name, cells, fonts, flags, widths, heights, margins, breaks, defaultHeight, header, footer)
  Dim fso, f, q
  q = Chr(34)
  Set fso = CreateObject("Scripting.FileSystemObject")
  Set f = fso.CreateTextFile(folder & "\" & name & ".json", True)
  f.WriteLine Replace("{'file': '" & name & ".xls', 'absent': false, 'cells': [" & cells & "], 'fonts': [" & fonts & _
    "], 'flags': [" & flags & "], 'widths': [" & widths & "], 'heights': [" & heights & "], 'margins': [" & margins & _
    "], 'breaks': [" & breaks & "], 'default_height': " & defaultHeight & ", 'header': " & header & ", 'footer': " & footer & "}", "'", q)
  f.Close
End Sub

Function OutputFolder()
  Dim fso
  Set fso = CreateObject("Scripting.FileSystemObject")
  OutputFolder = WScript.Arguments(0)
  If Not fso.FolderExists(OutputFolder) Then fso.CreateFolder OutputFolder
End Function
