#pragma once

#include <QString>
#include <QTemporaryDir>

namespace zobran::test {

// A temporary folder that is the program folder (AppPath) while the object lives: Export, LOG and
// the other sub-folders the program writes land in it. When the object goes, the folder and all in
// it are removed and AppPath gets back the value it had before, whatever a test set in between.
//
//   test::ProgramFolder home;              AppPath() == home.path()
//   appendErrLog(...);                     writes home.filePath("LOG/Err_....Log")
//
class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // False when no temporary folder could be made (AppPath is then empty).
    bool isValid() const { return folder_.isValid(); }
    QString path() const { return folder_.path(); }
    // The path of a file or folder inside ("LOG/a.Log").
    QString filePath(const QString& name) const { return folder_.filePath(name); }

private:
    QTemporaryDir folder_;
    QString savedAppPath_;
};

} // namespace zobran::test
