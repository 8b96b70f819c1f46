#pragma once

namespace zobran {

class MgenWindow;
class TrsqlWindow;
class TrupdateWindow;
class MdeleteWindow;

// The program-wide instances of the working windows, each created the first time it is asked for.
MgenWindow& mgenWindow();
TrsqlWindow& trsqlWindow();
TrupdateWindow& trupdateWindow();
MdeleteWindow& mdeleteWindow();

// Each loads its window anew and shows it modally; returns when the window has been closed.
void openGenerateScript();
void openSingleDatabaseImport();
void openMultiDatabaseUpdate();
void openDeleteScript();

} // namespace zobran
